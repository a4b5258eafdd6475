// The pixels the picture composition writes: the seams of a layer composed tile by tile.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CompositionTestHelpers.h"
#include "tools/SurfaceWorkingTextures.h"
#include "utils/CoreImageUtil.h"

namespace tessivarium {
namespace {

using namespace compositiontest;

// Every cell of the working region holds the same wet and dry paint (colour, thickness).
void paintUniformly(Texel wet, Texel dry) {
  SurfaceWorkingTextures& working = AppManager().surfaceTextures();
  fill(*working.wetTexture0(), wet);
  fill(*working.dryTexture0(), dry);
}

// An 8 x 8 shading image that changes across and down, so that any slope the relief seems to have
// shows in the colour.
std::shared_ptr<gpu::Texture> shadingRamp() {
  auto ramp = filledTexture(8, 8, {0, 0, 0, 255});
  for (std::size_t j = 0; j < 8; ++j) {
    for (std::size_t i = 0; i < 8; ++i) {
      const Texel t{static_cast<std::uint8_t>(30 * i), static_cast<std::uint8_t>(30 * j), 128, 255};
      ramp->writeRegion(gpu::Region::make2D(i, j, 1, 1), 0, t, 4);
    }
  }
  return ramp;
}

struct TilingCase {
  double scale;
  std::int64_t width, height;
};

class TiledComposition : public ::testing::TestWithParam<TilingCase> {};

// The whole-layer redraw composes a layer in working regions 254 cells apart, each without its
// one-cell border; a layer of one paint then shows one colour throughout, where tiles meet too
// (at scale 2, column and row 127).
TEST_P(TiledComposition, AUniformLayerShowsNoSeam) {
  const TilingCase& c = GetParam();
  auto canvas = composableCanvas(c.width, c.height, c.scale, 1);
  canvas->setShowBackground(false);
  canvas->setShadingImage(imaging::Image::fromTexture(shadingRamp()));
  paintUniformly({180, 60, 40, 3}, {40, 90, 200, 2});
  const auto painting = canvas->layer(0).paintingTexture();
  for (double y = 0; y < static_cast<double>(c.height) * c.scale; y += 254) {
    for (double x = 0; x < static_cast<double>(c.width) * c.scale; x += 254) {
      auto buffer = newBuffer();
      CoreImageUtil::render(*canvas, painting, buffer, x, y);
      buffer->commit();
    }
  }
  // Row and column 0 lie in the first region's border at scale 1 and stay unwritten.
  const auto w = static_cast<std::size_t>(c.width), h = static_cast<std::size_t>(c.height);
  std::vector<std::uint8_t> bytes(w * h * 4);
  painting->readRegion(gpu::Region::make2D(0, 0, w, h), 0, bytes, w * 4);
  const auto texel = [&](std::size_t x, std::size_t y) {
    const std::uint8_t* p = &bytes[4 * (y * w + x)];
    return Texel{p[0], p[1], p[2], p[3]};
  };
  const Texel expected = texel(w / 2, h / 2);
  for (std::size_t y = 1; y < h; ++y) {
    for (std::size_t x = 1; x < w; ++x) {
      if (texel(x, y) != expected) {
        ADD_FAILURE() << "texel (" << x << ", " << y << ") differs from the layer's colour";
        return;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, TiledComposition,
                         ::testing::Values(TilingCase{1.0, 300, 280}, TilingCase{2.0, 160, 140}),
                         [](const ::testing::TestParamInfo<TilingCase>& info) {
                           return "Scale" + std::to_string(static_cast<int>(info.param.scale));
                         });

}  // namespace
}  // namespace tessivarium
