#pragma once
// Makers shared by the picture composition's tests: textures filled with one texel, texel reads,
// a shading ramp, a canvas ready to compose and command buffers of the manager's queue.

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "TestCanvas.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/Texture.h"
#include "graphics/Color.h"
#include "imaging/Image.h"
#include "tools/ApplicationManager.h"

namespace compositiontest {

using Texel = std::array<std::uint8_t, 4>;

// Every texel of level 0 replaced by `value`.
inline void fill(gpu::Texture& texture, Texel value) {
  const std::size_t w = texture.width(), h = texture.height();
  std::vector<std::uint8_t> bytes(w * h * 4);
  for (std::size_t i = 0; i < w * h; ++i) std::copy(value.begin(), value.end(), bytes.begin() + 4 * i);
  texture.writeRegion(gpu::Region::make2D(0, 0, w, h), 0, bytes, w * 4);
}

// A texture of the manager's, filled with `value`.
inline std::shared_ptr<gpu::Texture> filledTexture(std::size_t w, std::size_t h, Texel value) {
  auto texture = tessivarium::AppManager().makeTexture(static_cast<std::int64_t>(w), static_cast<std::int64_t>(h));
  fill(*texture, value);
  return texture;
}

inline Texel texelAt(const gpu::Texture& texture, std::size_t x, std::size_t y) {
  Texel t{};
  texture.readRegion(gpu::Region::make2D(x, y, 1, 1), 0, t, 4);
  return t;
}

// An 8 x 8 shading image that changes across and down, so that any slope the relief seems to have
// shows in the colour.
inline std::shared_ptr<gpu::Texture> shadingRamp() {
  auto ramp = filledTexture(8, 8, {0, 0, 0, 255});
  for (std::size_t j = 0; j < 8; ++j) {
    for (std::size_t i = 0; i < 8; ++i) {
      const Texel t{static_cast<std::uint8_t>(30 * i), static_cast<std::uint8_t>(30 * j), 128, 255};
      ramp->writeRegion(gpu::Region::make2D(i, j, 1, 1), 0, t, 4);
    }
  }
  return ramp;
}

// A canvas ready to compose: background colour, ground, a uniform shading image, made the
// current paint.
inline std::shared_ptr<testsupport::TestCanvas> composableCanvas(std::int64_t w, std::int64_t h, double scale,
                                                                 std::size_t layers) {
  auto canvas = testsupport::makeCanvas(w, h, scale, layers);
  testsupport::useFakeTool();
  canvas->setBackgroundColor(graphics::Color::fromRGBA(0.9, 0.85, 0.8, 1.0));
  canvas->setGroundTexture(filledTexture(4, 4, {128, 128, 128, 255}));
  canvas->setShadingImage(imaging::Image::fromTexture(filledTexture(8, 8, {200, 180, 160, 255})));
  tessivarium::AppManager().setCurrentPaint(canvas);
  return canvas;
}

inline std::shared_ptr<gpu::CommandBuffer> newBuffer() {
  return tessivarium::AppManager().commandQueue()->makeCommandBuffer();
}

}  // namespace compositiontest
