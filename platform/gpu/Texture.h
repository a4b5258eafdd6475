#pragma once
// A texture: 2-D or 3-D texels of one pixel format, with its mip levels, in CPU memory. New textures
// are all zero. CPU copies into and out of a region happen at once (the caller makes sure no GPU work
// on the texture is pending; with synchronous commits nothing ever is).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "gpu/TexelView.h"
#include "gpu/TextureDescriptor.h"
#include "gpu/Types.h"
#include "gpu/ZeroedMemory.h"

namespace gpu {

class Device;

class Texture {
 public:
  // Made by Device::makeTexture, which checks the descriptor.
  Texture(std::shared_ptr<Device> device, const TextureDescriptor& descriptor);

  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  std::size_t width() const { return width_; }
  std::size_t height() const { return height_; }
  std::size_t depth() const { return depth_; }
  TextureType textureType() const { return type_; }
  PixelFormat pixelFormat() const { return format_; }
  std::size_t mipmapLevelCount() const { return levels_.size(); }
  std::size_t arrayLength() const { return 1; }
  std::size_t sampleCount() const { return 1; }
  TextureUsage usage() const { return usage_; }
  StorageMode storageMode() const { return storageMode_; }
  const std::shared_ptr<Device>& device() const { return device_; }

  // The extent of a mip level (each level halves every dimension, down to 1). Fatal for a level
  // beyond the texture's.
  Size levelSize(std::size_t level) const;

  // Copies bytes into `region` of one level and slice. The bytes are laid out x fastest, then rows
  // `bytesPerRow` apart, then slices `bytesPerImage` apart (ignored when the region's depth is 1).
  // The region must lie inside the level, the strides must hold a row and an image, and `bytes` must
  // hold the whole region; anything else is a fatal stop.
  void writeRegion(const Region& region, std::size_t level, std::size_t slice,
                   std::span<const std::uint8_t> bytes, std::size_t bytesPerRow, std::size_t bytesPerImage);
  // The same for level 0, slice 0, with bytes per image = bytes per row x the region's height.
  void writeRegion(const Region& region, std::size_t level, std::span<const std::uint8_t> bytes,
                   std::size_t bytesPerRow);

  // Copies `region` of one level and slice out into `bytes`, in the layout of writeRegion, with the
  // same checks. Bytes between the rows and images of the layout are left as they were.
  void readRegion(const Region& region, std::size_t level, std::size_t slice, std::span<std::uint8_t> bytes,
                  std::size_t bytesPerRow, std::size_t bytesPerImage) const;
  void readRegion(const Region& region, std::size_t level, std::span<std::uint8_t> bytes,
                  std::size_t bytesPerRow) const;

  // Texel access to one level, for kernels, blits and tests.
  TexelView texels(std::size_t level = 0) const;

 private:
  Size levelExtent(std::size_t level) const;  // levelSize without the check
  void checkCopy(const Region& region, std::size_t level, std::size_t slice, std::size_t byteCount,
                 std::size_t bytesPerRow, std::size_t bytesPerImage, const char* what) const;

  std::shared_ptr<Device> device_;
  TextureType type_;
  PixelFormat format_;
  std::size_t width_, height_, depth_;
  TextureUsage usage_;
  StorageMode storageMode_;
  // One tightly packed block per mip level (kernels write through const views).
  std::vector<ZeroedMemory> levels_;
};

}  // namespace gpu
