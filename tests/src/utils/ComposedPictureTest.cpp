// The pixels the picture composition writes: the value chain from paint data to picture on a
// region of one paint, hand-computed, and the seams of a layer composed tile by tile.

#include <cstdlib>
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

::testing::AssertionResult within1(Texel actual, Texel expected) {
  for (std::size_t i = 0; i < 4; ++i) {
    if (std::abs(int{actual[i]} - int{expected[i]}) > 1) {
      return ::testing::AssertionFailure() << "(" << int{actual[0]} << ", " << int{actual[1]} << ", "
                                           << int{actual[2]} << ", " << int{actual[3]} << ") is not ("
                                           << int{expected[0]} << ", " << int{expected[1]} << ", "
                                           << int{expected[2]} << ", " << int{expected[3]} << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

// Background (51, 102, 153), a uniform shading image S = (204, 153, 102), wet paint (255, 51, 0)
// of thickness 2 over dry paint (0, 204, 102) of thickness 1 (coverages 102 and 51 of 255). The
// colour images hold the paint's own colours; the alpha images say how much of them shows:
//   colour image    C  = wet over dry                           = (102, 143, 61), opaque
//   alpha image        = 255 - (255 - 102)(255 - 51) / 255     = 133
//   dry colour      CD = the dry paint's                        = (0, 204, 102), opaque
//   dry alpha          = 51
//   a flat relief shows S, the source of the hard light over C and over CD (per channel: S <= 0.5
//   multiplies, above it screens; here every channel of S but blue screens):
//   paint picture   P  = (0.7600, 0.6486, 0.1914) with alpha 133 / 255 = 0.5216
//   dry picture     Q  = (0.6000, 0.8400, 0.3200) with alpha 0.2
//   P over Q by the linear merge, Q (1 - 0.5216) + P 0.5216 on all four channels:
//                      = (0.6835, 0.7402, 0.2529, 0.3677)      = (174, 189, 64, 94)
// The background colour shows nowhere: the picture's alpha lets what lies below show instead.
TEST(ComposedPicture, FollowsTheValueChainFromPaintToPicture) {
  auto canvas = composableCanvas(300, 280, 1.0, 1);
  canvas->setShowBackground(false);
  canvas->setBackgroundColor(graphics::Color::fromRGBA(0.2, 0.4, 0.6, 1.0));
  canvas->setShadingImage(imaging::Image::fromTexture(filledTexture(8, 8, {204, 153, 102, 255})));
  paintUniformly({255, 51, 0, 2}, {0, 204, 102, 1});
  const auto painting = canvas->layer(0).paintingTexture();
  auto buffer = newBuffer();
  CoreImageUtil::render(*canvas, painting, buffer, 0, 0);
  buffer->commit();
  EXPECT_TRUE(within1(texelAt(*painting, 100, 100), {174, 189, 64, 94}));
}

struct TilingCase {
  double scale;
  std::int64_t width, height;
};

class ComposedPictureTiling : public ::testing::TestWithParam<TilingCase> {};

// The whole-layer redraw composes a layer in working regions 253 cells apart (the step at which
// their exact pixels meet at every scale); a layer of one paint then shows one colour throughout,
// where tiles meet too.
TEST_P(ComposedPictureTiling, AUniformLayerShowsNoSeam) {
  const TilingCase& c = GetParam();
  auto canvas = composableCanvas(c.width, c.height, c.scale, 1);
  canvas->setShowBackground(false);
  canvas->setShadingImage(imaging::Image::fromTexture(shadingRamp()));
  paintUniformly({180, 60, 40, 3}, {40, 90, 200, 2});
  const auto painting = canvas->layer(0).paintingTexture();
  const auto cellsX = static_cast<std::size_t>(static_cast<double>(c.width) * c.scale);
  const auto cellsY = static_cast<std::size_t>(static_cast<double>(c.height) * c.scale);
  for (std::size_t y = 0; y < cellsY; y += 253) {
    for (std::size_t x = 0; x < cellsX; x += 253) {
      auto buffer = newBuffer();
      CoreImageUtil::render(*canvas, painting, buffer, static_cast<double>(x), static_cast<double>(y));
      buffer->commit();
    }
  }
  // What one composition of the whole layer writes: all but its one-cell border.
  const auto across = CoreImageUtil::regionPixels(0, cellsX, cellsX, c.scale);
  const auto down = CoreImageUtil::regionPixels(0, cellsY, cellsY, c.scale);
  const auto w = static_cast<std::size_t>(c.width), h = static_cast<std::size_t>(c.height);
  std::vector<std::uint8_t> bytes(w * h * 4);
  painting->readRegion(gpu::Region::make2D(0, 0, w, h), 0, bytes, w * 4);
  const auto texel = [&](std::int64_t x, std::int64_t y) {
    const std::uint8_t* p = &bytes[4 * (static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x))];
    return Texel{p[0], p[1], p[2], p[3]};
  };
  const Texel expected = texel(c.width / 2, c.height / 2);
  for (std::int64_t y = down.first; y < down.end; ++y) {
    for (std::int64_t x = across.first; x < across.end; ++x) {
      if (texel(x, y) != expected) {
        ADD_FAILURE() << "texel (" << x << ", " << y << ") differs from the layer's colour";
        return;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, ComposedPictureTiling,
                         ::testing::Values(TilingCase{1.0, 300, 280}, TilingCase{2.0, 160, 140}),
                         [](const ::testing::TestParamInfo<TilingCase>& info) {
                           return "Scale" + std::to_string(static_cast<int>(info.param.scale));
                         });

}  // namespace
}  // namespace tessivarium
