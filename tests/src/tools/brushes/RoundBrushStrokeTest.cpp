// The round brush end to end on a real canvas with undo: a stroke through the canvas's touch
// methods, with and without a mask, and a colour picker's pick it refuses.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <utility>

#include "RecordedErrors.h"
#include "StrokeCanvas.h"
#include "gpu/Gpu.h"
#include "tools/ApplicationManager.h"
#include "tools/brushes/RoundBrushTool.h"
#include "tools/colorPicker/AbstractPaintPicker.h"
#include "tools/colorPicker/ColorPickerManager.h"
#include "ui/TouchSet.h"

namespace tessivarium {
namespace {

using testsupport::StrokeCanvas;

constexpr std::size_t kWidth = StrokeCanvas::kWidth, kHeight = StrokeCanvas::kHeight;

// Across old wet paint, and, on the masked canvas, across the mask's edge at x = 150 (clear to its
// left): the masked cells keep every byte, the others take the brush's black paint along the path
// and nowhere else, and undo gives the layer back.
TEST(RoundBrushStroke, LaysItsPaintAlongThePathOffTheMaskAndUndoes) {
  for (const bool masked : {false, true}) {
    SCOPED_TRACE(masked ? "masked" : "no mask");
    StrokeCanvas canvas;
    canvas.use(AppManager().roundBrush());
    if (masked) {
      const auto mask = AppManager().makeTexture(kWidth, kHeight);
      StrokeCanvas::Bytes bytes(kWidth * kHeight * 4, 255);
      for (std::size_t i = 0; i < kWidth * kHeight; ++i) bytes[i * 4 + 3] = i % kWidth < 150 ? 0 : 255;
      mask->writeRegion(gpu::Region::make2D(0, 0, kWidth, kHeight), 0, bytes, kWidth * 4);
      canvas.canvas->setMaskTexture(mask);
    }
    canvas.layWet(90, 90, 210, 110, {40, 200, 90, 30});
    const auto before = canvas.layerBytes();
    canvas.drag({60, 100}, {240, 100}, 30);
    const auto after = canvas.layerBytes();

    const std::size_t plane = kWidth * kHeight * 4;
    for (std::size_t at = 0; at < after.size(); at += 4) {
      const std::size_t x = at % plane / 4 % kWidth, y = at % plane / 4 / kWidth;
      const bool changed = !std::equal(after.begin() + at, after.begin() + at + 4, before.begin() + at);
      if (!changed) continue;
      ASSERT_FALSE(masked && x < 150) << "texture " << at / plane << " changed under the mask at " << x << ", " << y;
      ASSERT_LT(at / plane, 2u) << "the dry paint changed: laid wet";
      ASSERT_LT(std::abs(static_cast<double>(y) - 100) + std::max({0.0, 60.0 - x, x - 240.0}), 12) << x << ", " << y;
    }
    for (std::size_t x = masked ? 152 : 62; x < 238; x += 11) {
      const std::uint8_t* wet = after.data() + plane + (100 * kWidth + x) * 4;
      const int old = x >= 90 && x < 210 ? 30 : 0;
      EXPECT_TRUE(wet[3] > old && wet[0] < 40 && wet[2] < 90) << "no black paint at x = " << x;
    }
    ASSERT_TRUE(canvas.undo());
    EXPECT_TRUE(canvas.layerBytes() == before);
  }
}

// The same stroke, 100 samples 2 points apart, coalesced 1 or 4 to a display frame against all in
// one but the last, which lifts the stylus, on a bare canvas and across old wet paint: the bristle lays its paint by the distance it
// travels, so the paint laid is the same within 2%, and at most 5% of the cells the stroke changed
// differ by more than 8 bytes.
TEST(RoundBrushStroke, LaysTheSamePaintHoweverItsSamplesFallIntoFrames) {
  const auto drawn = [](bool overPaint, int perFrame) {
    StrokeCanvas canvas;
    canvas.use(std::make_shared<RoundBrushTool>());
    if (overPaint) canvas.layWet(90, 80, 180, 120, {40, 200, 90, 30});
    const auto before = canvas.wet();
    canvas.drag({50, 100}, {248, 106}, 100, 1.0, perFrame);
    return std::pair{before, canvas.wet()};
  };
  const struct {
    bool overPaint;
    int perFrame;
  } cases[] = {{false, 1}, {false, 4}, {true, 1}, {true, 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.perFrame << " a frame" << (c.overPaint ? ", over wet paint" : ""));
    const auto [before, oneFrame] = drawn(c.overPaint, 99);
    const auto framed = drawn(c.overPaint, c.perFrame).second;
    long laidOnce = 0, laid = 0;
    std::size_t changed = 0, differing = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
      laidOnce += oneFrame[i] - before[i], laid += framed[i] - before[i];
      if (oneFrame[i] == before[i] && framed[i] == before[i]) continue;
      ++changed;
      differing += std::abs(oneFrame[i] - framed[i]) > 8;
    }
    ASSERT_GT(laidOnce, 10000);
    EXPECT_NEAR(static_cast<double>(laid), static_cast<double>(laidOnce), 0.02 * static_cast<double>(laidOnce));
    EXPECT_LE(differing * 20, changed) << differing << " of " << changed << " cells";
  }
}

// A colour pick over paint, with the round brush current.
TEST(RoundBrushStroke, RefusesAColourPickAndChangesNothing) {
  StrokeCanvas canvas;
  const auto& brush = AppManager().roundBrush();
  canvas.use(brush);
  canvas.layWet(90, 90, 110, 110, {40, 200, 90, 30});
  const auto errors = std::make_shared<testsupport::RecordedErrors>();
  Application().setDelegateHandler(errors);
  const auto before = canvas.layerBytes();
  const auto manager = std::make_shared<ColorPickerManager>();
  manager->pick({canvas.canvas});
  gpu::commandTrace().start();
  manager->pickers().at(0)->touchesEnded(ui::TouchSet{testsupport::stylusTouch(100, 100)}, nullptr);
  gpu::commandTrace().stop();

  EXPECT_EQ(errors->errors, std::vector<ErrorMessage>{ErrorMessage::CannotFillColor});
  EXPECT_TRUE(gpu::commandTrace().dispatches().empty());
  EXPECT_TRUE(canvas.layerBytes() == before);
  EXPECT_FALSE(brush->toolViewer()->toolModel());
  EXPECT_FALSE(brush->canFillColor()) << "refused by the tool itself, not for want of a head";
  EXPECT_TRUE(brush->getInitializers().empty());
}

}  // namespace
}  // namespace tessivarium
