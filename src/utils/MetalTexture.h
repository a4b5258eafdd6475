#pragma once
// Loads an image file of the application's main bundle into a 2-D RGBA8 texture, optionally with a
// full mip chain generated on the GPU, and turns the texture or one of its levels back into bytes or
// an image. Offered to the host; the system itself does not use it.
//
// Level L of a W x H texture measures max(1, W / 2^L) x max(1, H / 2^L); its bytes are 4 per
// texel, rows tightly packed, row 0 first. The textures it loads are counted by AppManager and
// given back, to the manager that counted them, when a load replaces them and when the object
// goes; once that manager is gone there is nothing to give back to. A copy made by textureCopy
// belongs to its caller.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "gpu/Types.h"
#include "graphics/Image.h"

namespace gpu {
class CommandBuffer;
class CommandQueue;
class Device;
class Texture;
}  // namespace gpu

namespace tessivarium {

class ApplicationManager;

class MetalTexture {
 public:
  // Looks the resource up in the main bundle; nothing is loaded yet.
  MetalTexture(std::string_view resourceName, std::string_view ext, bool mipmaped);
  ~MetalTexture();
  MetalTexture(const MetalTexture&) = delete;
  MetalTexture& operator=(const MetalTexture&) = delete;

  const std::shared_ptr<gpu::Texture>& texture() const { return texture_; }
  gpu::TextureType target() const { return target_; }
  // 0 before loading; the image's pixel size after; absent when the file could not be read.
  std::optional<std::int64_t> width() const { return width_; }
  std::optional<std::int64_t> height() const { return height_; }
  std::int64_t depth() const { return 1; }
  gpu::PixelFormat format() const { return gpu::PixelFormat::RGBA8Unorm; }
  // Nothing sets it.
  std::optional<bool> hasAlpha() const { return std::nullopt; }
  // The file in the main bundle; absent when there is none.
  const std::optional<std::filesystem::path>& path() const { return path_; }
  bool isMipmaped() const { return isMipmaped_; }
  std::int64_t bytesPerPixel() const { return 4; }
  std::int64_t bitsPerComponent() const { return 8; }

  // Reads the file and makes the texture (replacing, and giving back, any earlier one). Byte row 0
  // of the texture is the image's top row with `flip`, its bottom row without. With mipmapping the
  // other levels are generated on `commandQ` ("mips generated" once done). Prints "mipCount:<n>".
  // A missing resource, an unreadable file or no texture is a fatal stop. A texture smaller than the
  // image (reported by the manager) is given back and the object keeps its earlier texture and sizes.
  // The device plays no part.
  void loadTexture(const std::shared_ptr<gpu::Device>& device, const std::shared_ptr<gpu::CommandQueue>& commandQ,
                   bool flip);

  // A new BGRA8 texture of the source's size holding level 0 of the source byte for byte (its
  // other levels unwritten), or null when the manager makes none. The device plays no part.
  static std::shared_ptr<gpu::Texture> textureCopy(const std::shared_ptr<gpu::Texture>& source,
                                                   const std::shared_ptr<gpu::Device>& device, bool mipmaped);
  // Copies one level of the source into the same level of the destination; false (nothing copied)
  // for a level either texture lacks or a destination level smaller than the source's.
  static bool copyMipLayer(const gpu::Texture& source, gpu::Texture& destination, std::int64_t mipLvl);

  // A level as an image (premultiplied, byte row 0 at the top); null for a level the texture lacks.
  std::shared_ptr<graphics::Image> image(std::int64_t mipLevel) const;
  std::shared_ptr<graphics::Image> image() const { return image(0); }
  // A level's bytes, its size taken from this object's width and height; absent for a level the
  // texture lacks. Before loading, both are fatal stops.
  std::optional<std::vector<std::uint8_t>> bytesForMipLevel(std::int64_t mipLevel) const;
  std::optional<std::vector<std::uint8_t>> bytes() const { return bytesForMipLevel(0); }

  // Fills the texture's levels above 0 from level 0 on a new command buffer of `commandQ`, which
  // calls `block` when done and is committed without waiting. The device plays no part.
  void generateMipMapLayersUsingSystemFunc(const std::shared_ptr<gpu::Texture>& texture,
                                           const std::shared_ptr<gpu::Device>& device,
                                           const std::shared_ptr<gpu::CommandQueue>& commandQ,
                                           std::function<void(gpu::CommandBuffer&)> block);

 private:
  void releaseTexture();

  std::shared_ptr<gpu::Texture> texture_;
  std::weak_ptr<ApplicationManager> countedBy_;  // the manager that counted texture_
  gpu::TextureType target_ = gpu::TextureType::Type2D;
  std::optional<std::int64_t> width_ = 0;
  std::optional<std::int64_t> height_ = 0;
  std::optional<std::filesystem::path> path_;
  bool isMipmaped_;
};

}  // namespace tessivarium
