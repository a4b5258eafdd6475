#pragma once
// The description a device makes a texture from. Descriptors are shared, mutable objects: the system
// keeps one, changes a field and makes the next texture from it.

#include <cstddef>
#include <memory>

#include "gpu/Types.h"

namespace gpu {

struct TextureDescriptor {
  TextureType textureType = TextureType::Type2D;
  PixelFormat pixelFormat = PixelFormat::RGBA8Unorm;
  std::size_t width = 1;
  std::size_t height = 1;
  std::size_t depth = 1;
  std::size_t mipmapLevelCount = 1;
  std::size_t sampleCount = 1;  // only 1 is supported
  std::size_t arrayLength = 1;  // only 1 is supported
  TextureUsage usage = TextureUsage::ShaderRead;
  StorageMode storageMode = StorageMode::Shared;

  // A new descriptor with the defaults above.
  static std::shared_ptr<TextureDescriptor> make();

  // A 2-D descriptor; when `mipmapped`, its level count is the full chain,
  // floor(log2(max(width, height))) + 1, otherwise 1.
  static std::shared_ptr<TextureDescriptor> texture2D(PixelFormat format, std::size_t width,
                                                      std::size_t height, bool mipmapped);
};

// The number of levels of a full mip chain for the given extent (1 for 1 x 1).
std::size_t fullMipLevelCount(std::size_t width, std::size_t height, std::size_t depth = 1);

}  // namespace gpu
