#pragma once
// Dispatches one kernel of the library straight through the GPU kit, as a pass would: bindings at
// their slots, groups of 4 x 4 (x 8 for a 3-D grid) rounded up over a texture.

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gpu/Gpu.h"

namespace kerneltest {

using Bytes = std::vector<std::uint8_t>;
using Texel = std::array<std::uint8_t, 4>;

inline std::shared_ptr<gpu::Texture> texture(std::size_t w, std::size_t h, std::size_t d = 1) {
  gpu::TextureDescriptor descriptor;
  descriptor.textureType = d == 1 ? gpu::TextureType::Type2D : gpu::TextureType::Type3D;
  descriptor.width = w, descriptor.height = h, descriptor.depth = d;
  return gpu::systemDefaultDevice()->makeTexture(descriptor);
}

inline void fill(const gpu::Texture& t, Texel value) {
  const gpu::TexelView v = t.texels();
  for (std::size_t z = 0; z < t.depth(); ++z)
    for (std::size_t y = 0; y < t.height(); ++y)
      for (std::size_t x = 0; x < t.width(); ++x) std::memcpy(v.texel(x, y, z), value.data(), 4);
}

inline void set(const gpu::Texture& t, std::size_t x, std::size_t y, Texel value, std::size_t z = 0) {
  std::memcpy(t.texels().texel(x, y, z), value.data(), 4);
}

inline Texel at(const gpu::Texture& t, std::size_t x, std::size_t y, std::size_t z = 0) {
  Texel out;
  std::memcpy(out.data(), t.texels().texel(x, y, z), 4);
  return out;
}

inline Bytes contents(const gpu::Texture& t) {
  const gpu::TexelView v = t.texels();
  const std::uint8_t* first = v.texel(0, 0, 0);
  return Bytes(first, first + v.bytesPerImage() * t.depth());
}

template <typename T>
Bytes bytesOf(const T& value) {
  Bytes out(sizeof value);
  std::memcpy(out.data(), &value, sizeof value);
  return out;
}

inline Bytes offsetRecord(std::uint32_t x, std::uint32_t y, std::uint32_t z = 0) {
  return bytesOf(std::array<std::uint32_t, 4>{x, y, z, 0});
}
inline Bytes flag(bool value) { return Bytes{static_cast<std::uint8_t>(value ? 1 : 0)}; }

struct KernelRun {
  std::string kernel;
  std::map<std::int64_t, std::shared_ptr<gpu::Texture>> textures;
  std::map<std::int64_t, Bytes> buffers;
  std::shared_ptr<gpu::Texture> gridOver;  // the texture the grid spans
  bool threeD = false;                     // a 3-D grid over its depth, or 2-D
  int dispatches = 1;
};

inline std::shared_ptr<gpu::Buffer> bufferOf(const Bytes& bytes) {
  return gpu::systemDefaultDevice()->makeBuffer(bytes.data(), bytes.size());
}

inline Bytes floatRecord(std::initializer_list<float> values) {
  Bytes out(values.size() * sizeof(float));
  std::memcpy(out.data(), values.begin(), out.size());
  return out;
}

inline void run(const KernelRun& r) {
  const auto device = gpu::systemDefaultDevice();
  const auto pipeline = device->makeComputePipelineState(device->makeDefaultLibrary()->makeFunction(r.kernel));
  const auto buffer = device->makeCommandQueue()->makeCommandBuffer();
  const auto encoder = buffer->makeComputeCommandEncoder();
  encoder->setComputePipelineState(pipeline);
  for (const auto& [slot, t] : r.textures) encoder->setTexture(t, slot);
  for (const auto& [slot, bytes] : r.buffers) encoder->setBuffer(bufferOf(bytes), 0, slot);
  const gpu::Size threads{4, 4, r.threeD ? 8u : 1u};
  const gpu::Size groups{(r.gridOver->width() + 3) / 4, (r.gridOver->height() + 3) / 4,
                         r.threeD ? (r.gridOver->depth() + 7) / 8 : 1};
  for (int i = 0; i < r.dispatches; ++i) encoder->dispatchThreadgroups(groups, threads);
  encoder->endEncoding();
  buffer->commit();
}

}  // namespace kerneltest
