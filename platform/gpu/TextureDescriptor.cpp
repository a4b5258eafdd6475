#include "gpu/TextureDescriptor.h"

#include <algorithm>

namespace gpu {

std::shared_ptr<TextureDescriptor> TextureDescriptor::make() { return std::make_shared<TextureDescriptor>(); }

std::shared_ptr<TextureDescriptor> TextureDescriptor::texture2D(PixelFormat format, std::size_t width,
                                                                std::size_t height, bool mipmapped) {
  auto descriptor = make();
  descriptor->pixelFormat = format;
  descriptor->width = width;
  descriptor->height = height;
  descriptor->mipmapLevelCount = mipmapped ? fullMipLevelCount(width, height) : 1;
  return descriptor;
}

std::size_t fullMipLevelCount(std::size_t width, std::size_t height, std::size_t depth) {
  std::size_t largest = std::max({width, height, depth, std::size_t{1}});
  std::size_t levels = 1;
  while (largest > 1) {
    largest >>= 1;
    ++levels;
  }
  return levels;
}

}  // namespace gpu
