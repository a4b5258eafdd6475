// The roller rolled through wet paint on a real canvas with undo: each step runs the tool-model
// chain with the roller's pass on the head it measured, the blob's paint goes on as an even band
// that ends where the roller runs dry, none is made or lost, and undo gives the layer back.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "ConsoleCapture.h"
#include "StrokeCanvas.h"
#include "gpu/Gpu.h"
#include "tools/roller/RollerTool.h"

namespace tessivarium {
namespace {

TEST(RollerStroke, RollsABlobIntoAnEvenBandThatUndoTakesBack) {
  testsupport::ConsoleCapture console;
  testsupport::StrokeCanvas paint;
  const auto roller = std::make_shared<RollerTool>();
  paint.use(roller);
  paint.layWet(80, 20, 120, 50, {30, 90, 200, 40});
  const auto before = paint.layerBytes();
  const auto total = [](const auto& cells) { return std::accumulate(cells.begin(), cells.end(), 0L); };
  const long amount = total(paint.wet());

  gpu::commandTrace().start();
  paint.drag({100, 25}, {100, 190}, 30);
  const auto kernels = gpu::commandTrace().kernelNames();
  gpu::commandTrace().stop();
  const std::vector<std::string> chain{"pic_flip_texture_reset2D", "Roller_paint", "DAEToolModel_overlay_map",
                                       "DAEToolModel_blur_image", "DAEToolModel_blur_image"};
  EXPECT_NE(std::search(kernels.begin(), kernels.end(), chain.begin(), chain.end()), kernels.end());
  const auto wet = paint.wet();
  EXPECT_EQ(total(wet) + testsupport::StrokeCanvas::headPaint(*roller), amount);
  // Past the blob one film of 6 across the band, nothing thicker, nothing beside it.
  const auto at = [&](std::size_t x, std::size_t y) { return wet[y * testsupport::StrokeCanvas::kWidth + x]; };
  for (std::size_t x = 86; x < 114; ++x) EXPECT_EQ(at(x, 52), 6) << x;
  for (std::size_t y = 51; y < 200; ++y)
    for (std::size_t x = 0; x < 300; ++x) ASSERT_LE(at(x, y), x >= 80 && x < 120 ? 6 : 0) << x << ", " << y;
  EXPECT_EQ(at(100, 150), 0) << "run dry before the drag's end";

  ASSERT_TRUE(paint.undo());
  EXPECT_EQ(paint.layerBytes(), before);
}

}  // namespace
}  // namespace tessivarium
