#pragma once
// Small makers shared by the GPU kit's tests.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gpu/Gpu.h"

namespace gputest {

inline std::shared_ptr<gpu::Device> device() { return gpu::systemDefaultDevice(); }

inline std::shared_ptr<gpu::Texture> texture2D(std::size_t width, std::size_t height,
                                               gpu::PixelFormat format = gpu::PixelFormat::RGBA8Unorm) {
  return device()->makeTexture(gpu::TextureDescriptor::texture2D(format, width, height, false));
}

inline std::shared_ptr<gpu::Texture> texture3D(std::size_t width, std::size_t height, std::size_t depth) {
  auto d = gpu::TextureDescriptor::make();
  d->textureType = gpu::TextureType::Type3D;
  d->width = width, d->height = height, d->depth = depth;
  return device()->makeTexture(d);
}

// Bytes where texel i of an RGBA8 texture holds (i, i >> 8, i >> 16, 255 - i) truncated to bytes.
inline std::vector<std::uint8_t> numberedTexels(std::size_t count) {
  std::vector<std::uint8_t> bytes(count * 4);
  for (std::size_t i = 0; i < count; ++i) {
    bytes[i * 4 + 0] = static_cast<std::uint8_t>(i);
    bytes[i * 4 + 1] = static_cast<std::uint8_t>(i >> 8);
    bytes[i * 4 + 2] = static_cast<std::uint8_t>(i >> 16);
    bytes[i * 4 + 3] = static_cast<std::uint8_t>(255 - i);
  }
  return bytes;
}

// Fills a whole texture (level 0) with numberedTexels.
inline void fillNumbered(gpu::Texture& t) {
  const std::size_t n = t.width() * t.height() * t.depth();
  auto bytes = numberedTexels(n);
  t.writeRegion(gpu::Region::make3D(0, 0, 0, t.width(), t.height(), t.depth()), 0, 0, bytes, t.width() * 4,
                t.width() * t.height() * 4);
}

// Level 0 of a texture in the raw layout.
inline std::vector<std::uint8_t> rawBytes(const gpu::Texture& t) {
  std::vector<std::uint8_t> bytes(t.width() * t.height() * t.depth() * gpu::bytesPerPixel(t.pixelFormat()));
  const std::size_t row = t.width() * gpu::bytesPerPixel(t.pixelFormat());
  t.readRegion(gpu::Region::make3D(0, 0, 0, t.width(), t.height(), t.depth()), 0, 0, bytes, row, row * t.height());
  return bytes;
}

inline std::uint32_t texelWord(const gpu::Texture& t, std::size_t x, std::size_t y, std::size_t z = 0) {
  const std::uint8_t* p = t.texels().texel(x, y, z);
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// Registers a kernel for one test and removes it when the test ends.
class ScopedKernel {
 public:
  ScopedKernel(std::string name, gpu::Kernel kernel, std::optional<gpu::WrittenSlots> writes = std::nullopt)
      : name_(std::move(name)) {
    gpu::registerKernel(name_, std::move(kernel), writes);
  }
  ~ScopedKernel() { gpu::unregisterKernel(name_); }
  ScopedKernel(const ScopedKernel&) = delete;
  ScopedKernel& operator=(const ScopedKernel&) = delete;

  std::shared_ptr<gpu::ComputePipelineState> pipeline() const {
    return device()->makeComputePipelineState(device()->makeDefaultLibrary()->makeFunction(name_));
  }

 private:
  std::string name_;
};

}  // namespace gputest
