// The roller rolled across two bands of wet paint on a real canvas with undo: each step runs the
// tool-model chain with the roller's pass on the head it measured, the drum carries the first
// band's colour on into the second in a level film and lays the second's past it, none is made or
// lost, masked cells keep every byte, the thread count changes nothing, and undo gives the layer
// back.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "ConsoleCapture.h"
#include "StrokeCanvas.h"
#include "gpu/Gpu.h"
#include "gpu/Parallel.h"
#include "tools/ApplicationManager.h"
#include "tools/roller/RollerTool.h"
#include "utils/TextureUtil.h"

namespace tessivarium {
namespace {

using testsupport::StrokeCanvas;

constexpr std::size_t kWidth = StrokeCanvas::kWidth, kHeight = StrokeCanvas::kHeight;
constexpr std::uint8_t kFilm = 26;
// The drum's rows lie from the sample's row down, its middle row 7 below.
constexpr std::size_t kMiddleRow = 97, kMaskedFromRow = 100;

// Band A (red) over x 40 to 150, band B (green) over 150 to 260, rolled across from left to right
// at 0.9 of the largest force; with the mask clear (alpha 0) from row kMaskedFromRow down.
struct Rolled {
  StrokeCanvas::Bytes before, after, wet;
  long amountBefore = 0, amountAfter = 0;
};

Rolled roll(std::size_t threads, bool masked, bool undo = false, int perFrame = 3) {
  gpu::setWorkerThreadCount(threads);
  testsupport::ConsoleCapture console;
  StrokeCanvas paint;
  const auto roller = std::make_shared<RollerTool>();
  paint.use(roller);
  if (masked) {
    const auto mask = AppManager().makeTexture(kWidth, kHeight);
    StrokeCanvas::Bytes bytes(kWidth * kHeight * 4, 255);
    for (std::size_t i = kMaskedFromRow * kWidth; i < kWidth * kHeight; ++i) bytes[i * 4 + 3] = 0;
    mask->writeRegion(gpu::Region::make2D(0, 0, kWidth, kHeight), 0, bytes, kWidth * 4);
    paint.canvas->setMaskTexture(mask);
  }
  paint.layWet(40, 60, 150, 140, {200, 40, 40, kFilm});
  paint.layWet(150, 60, 260, 140, {40, 160, 60, kFilm});
  const auto total = [](const StrokeCanvas::Bytes& cells) { return std::accumulate(cells.begin(), cells.end(), 0L); };
  Rolled r;
  r.before = paint.layerBytes(), r.amountBefore = total(paint.wet());
  paint.drag({20, 90}, {280, 90}, 86, 3.6, perFrame);
  r.after = paint.layerBytes(), r.wet = TextureUtil::toRawData(*paint.layer().wetTexture());
  r.amountAfter = total(paint.wet()) + StrokeCanvas::headPaint(*roller);
  if (undo) {
    EXPECT_TRUE(paint.undo());
    EXPECT_EQ(paint.layerBytes(), r.before);
  }
  gpu::setWorkerThreadCount(0);
  return r;
}

// Band B's columns along the drum's middle that show band A's red mixed in.
int carriedColumns(const Rolled& r) {
  int carried = 0;
  for (std::size_t x = 150; x < 260; ++x) carried += r.wet[(kMiddleRow * kWidth + x) * 4] > 40 + 12;
  return carried;
}

TEST(RollerStroke, CarriesTheFirstBandsColourIntoTheSecondInALevelFilm) {
  gpu::commandTrace().start();
  const Rolled one = roll(1, false, true);
  const auto kernels = gpu::commandTrace().kernelNames();
  gpu::commandTrace().stop();
  const std::vector<std::string> chain{"pic_flip_texture_reset2D", "Roller_paint", "DAEToolModel_overlay_map",
                                       "DAEToolModel_blur_image", "DAEToolModel_blur_image"};
  EXPECT_NE(std::search(kernels.begin(), kernels.end(), chain.begin(), chain.end()), kernels.end());
  EXPECT_EQ(one.amountAfter, one.amountBefore);
  const auto wet = [&](std::size_t x, std::size_t y) { return one.wet.data() + (y * kWidth + x) * 4; };
  // Along the drum's middle, band B shows band A's red mixed in over many columns, however many
  // samples a frame brings (one a frame: a slow stroke)...
  EXPECT_GE(carriedColumns(one), 20);
  EXPECT_GE(carriedColumns(roll(8, false, false, 1)), 20) << "one sample a frame";
  // ...in a film that keeps its thickness: the band's inside, more than a drum's length from where
  // the paint ends, stays level within a few bytes...
  for (std::size_t y = kMiddleRow - 4; y <= kMiddleRow + 4; ++y)
    for (std::size_t x = 160; x < 210; ++x) EXPECT_NEAR(wet(x, y)[3], kFilm, 4) << x << ", " << y;
  // ...and past band B the drum lays the green it rolled through last, not the red it met first.
  int laidBeyond = 0;
  for (std::size_t x = 262; x < kWidth; ++x) {
    if (wet(x, kMiddleRow)[3] == 0) continue;
    ++laidBeyond;
    EXPECT_GT(wet(x, kMiddleRow)[1], wet(x, kMiddleRow)[0]) << x;
  }
  EXPECT_GT(laidBeyond, 0);

  EXPECT_EQ(roll(8, false).after, one.after) << "eight threads";

  const Rolled masked = roll(8, true);
  EXPECT_EQ(masked.amountAfter, masked.amountBefore);
  const std::size_t plane = kWidth * kHeight * 4, unmasked = kMaskedFromRow * kWidth * 4;
  for (std::size_t texture = 0; texture < 3; ++texture)
    EXPECT_TRUE(std::equal(masked.after.begin() + texture * plane + unmasked, masked.after.begin() + (texture + 1) * plane,
                           masked.before.begin() + texture * plane + unmasked))
        << "texture " << texture << " changed under the mask";
  EXPECT_NE(masked.after, masked.before);
}

}  // namespace
}  // namespace tessivarium
