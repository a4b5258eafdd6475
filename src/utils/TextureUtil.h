#pragma once
// Moves pixels between images, byte arrays and GPU textures.
//
// Raw texture bytes (a storage format: the host keeps each layer's data this way, and
// loadRawData is the only way back): width x height x depth x 4 bytes, the texel's four bytes in
// the texture's own channel order (R, G, B, A for DefaultPixelFormat), x fastest, then rows, then
// slices, row 0 first, level 0 and slice 0 only, no header. Texel (x, y, z) begins at byte
// ((z x height + y) x width + x) x 4.
//
// CPU copies happen at once and do not wait for GPU work; loadImage and the resizing branch of
// loadRawData encode into a command buffer of their own and commit it without waiting. Main
// thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/Image.h"

namespace gpu {
class CommandQueue;
class Device;
class Texture;
struct TextureDescriptor;
}  // namespace gpu

namespace imaging {
class Context;
}

namespace tessivarium {

class TextureUtil {
 public:
  // A texture made by AppManager from `descriptor` (the device plays no part) holding the image's
  // pixels, premultiplied, byte row 0 the image's top row, from the origin. A texture smaller than
  // the image gets what fits. Null when the manager makes no texture.
  static std::shared_ptr<gpu::Texture> createTexture(const std::shared_ptr<graphics::Image>& image,
                                                     const std::shared_ptr<gpu::Device>& device,
                                                     const gpu::TextureDescriptor& descriptor);

  // The source redrawn in an image context of its size in points: orientations 0 to 3 give it upside
  // down, 4 and 5 mirrored left to right, 6 and 7 turned by 180 degrees.
  static std::shared_ptr<graphics::Image> flipImage(const std::shared_ptr<graphics::Image>& sourceImage,
                                                    graphics::ImageOrientation orientation);

  // Renders the image upright (texture row 0 = the image's top row) through `context`, tiling the
  // texture with copies one image size (in points) apart from the origin. Only the copies that hold
  // some texel's centre are rendered, at most 64 to a new command buffer of `commandQueue`, each
  // buffer committed when full and the last when done. An image without area does nothing.
  static void loadImage(const std::shared_ptr<graphics::Image>& image,
                        const std::shared_ptr<imaging::Context>& context,
                        const std::shared_ptr<gpu::CommandQueue>& commandQueue,
                        const std::shared_ptr<gpu::Texture>& texture);

  // The texture's raw bytes.
  static std::vector<std::uint8_t> toRawData(const gpu::Texture& texture);
  // The same into the caller's array, which must have exactly the raw length ("Not same size").
  static void toRawData(const gpu::Texture& texture, std::vector<std::uint8_t>& data);

  // Writes raw bytes into the texture. An array of the texture's own raw length goes straight in
  // (the stated dimensions play no part). Other data is copied through a temporary 2-D texture of
  // the stated size: the common extent lands at the origin, the rest of the texture keeps its
  // contents. Data whose length is not width x height x depth x 4, or that is deeper than 1, is
  // refused (reported as TextureFormatIncompatible) and the texture is left as it was. Returns
  // whether the data was written or its copy committed (false when refused or when the temporary
  // texture could not be made).
  static bool loadRawData(const std::shared_ptr<gpu::Texture>& texture, const std::vector<std::uint8_t>& data,
                          std::int64_t width, std::int64_t height, std::int64_t depth);
};

}  // namespace tessivarium
