#pragma once
// Makers shared by the imaging kit's tests: textures filled from a function of the texel, texel
// reads as colours, and a tolerant colour comparison.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "gpu/Gpu.h"
#include "imaging/RGBA.h"

namespace imagingtest {

using TexelFunction = std::function<imaging::RGBA(std::size_t i, std::size_t j)>;

inline std::shared_ptr<gpu::Texture> texture(std::size_t width, std::size_t height,
                                             const TexelFunction& value,
                                             gpu::PixelFormat format = gpu::PixelFormat::RGBA32Float) {
  auto t = gpu::systemDefaultDevice()->makeTexture(
      gpu::TextureDescriptor::texture2D(format, width, height, false));
  const gpu::TexelView view = t->texels();
  for (std::size_t j = 0; j < height; ++j) {
    for (std::size_t i = 0; i < width; ++i) {
      const imaging::RGBA v = value(i, j);
      view.write({v.r, v.g, v.b, v.a}, i, j);
    }
  }
  return t;
}

inline std::shared_ptr<gpu::Texture> filled(std::size_t width, std::size_t height, imaging::RGBA v,
                                            gpu::PixelFormat format = gpu::PixelFormat::RGBA8Unorm) {
  return texture(width, height, [v](std::size_t, std::size_t) { return v; }, format);
}

inline imaging::RGBA texel(const gpu::Texture& t, std::size_t i, std::size_t j) {
  const gpu::float4 v = t.texels().read(i, j);
  return {v.x, v.y, v.z, v.w};
}

inline ::testing::AssertionResult near(const imaging::RGBA& actual, const imaging::RGBA& expected,
                                       float tolerance = 1e-5f) {
  const float d[4] = {actual.r - expected.r, actual.g - expected.g, actual.b - expected.b,
                      actual.a - expected.a};
  for (float x : d) {
    if (!(x <= tolerance && x >= -tolerance)) {
      return ::testing::AssertionFailure()
             << "(" << actual.r << ", " << actual.g << ", " << actual.b << ", " << actual.a
             << ") is not (" << expected.r << ", " << expected.g << ", " << expected.b << ", "
             << expected.a << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace imagingtest
