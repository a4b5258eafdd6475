// The round brush end to end on a real canvas with undo: a stroke through the canvas's touch
// methods, the same stroke on a canvas with a mask, and a colour picker's pick it refuses.

#include <gtest/gtest.h>

#include <cmath>

#include "RecordedErrors.h"
#include "StrokeCanvas.h"
#include "gpu/Gpu.h"
#include "tools/ApplicationManager.h"
#include "tools/colorPicker/AbstractPaintPicker.h"
#include "tools/colorPicker/ColorPickerManager.h"
#include "ui/TouchSet.h"

namespace tessivarium {
namespace {

using testsupport::StrokeCanvas;

constexpr std::size_t kWidth = StrokeCanvas::kWidth;

// Cell (x, y)'s texel in a texture's bytes.
const std::uint8_t* texelAt(const StrokeCanvas::Bytes& bytes, std::size_t x, std::size_t y) {
  return bytes.data() + (y * kWidth + x) * 4;
}

// A mask over the canvas, clear (alpha 0) on the cells left of x = `clearLeftOf`.
void maskLeftOf(DrawingPaint& canvas, std::size_t clearLeftOf) {
  const auto mask = AppManager().makeTexture(kWidth, StrokeCanvas::kHeight);
  StrokeCanvas::Bytes bytes(kWidth * StrokeCanvas::kHeight * 4, 255);
  for (std::size_t y = 0; y < StrokeCanvas::kHeight; ++y)
    for (std::size_t x = 0; x < clearLeftOf; ++x) bytes[(y * kWidth + x) * 4 + 3] = 0;
  mask->writeRegion(gpu::Region::make2D(0, 0, kWidth, StrokeCanvas::kHeight), 0, bytes, kWidth * 4);
  canvas.setMaskTexture(mask);
}

TEST(RoundBrushStroke, LaysItsBlackPaintAlongThePathAndUndoes) {
  StrokeCanvas canvas;
  canvas.use(AppManager().roundBrush());
  const auto before = canvas.layerBytes();
  canvas.drag({60, 100}, {240, 100}, 30);

  const auto wet = canvas.wet();
  const auto wetTexels = TextureUtil::toRawData(*canvas.layer().wetTexture());
  for (std::size_t x = 62; x < 238; x += 11) {
    ASSERT_GT(wet[100 * kWidth + x], 0) << "no paint on the path at x = " << x;
    const std::uint8_t* texel = texelAt(wetTexels, x, 100);
    EXPECT_EQ(texel[0] + texel[1] + texel[2], 0) << "the round brush's paint is black";
  }
  for (std::size_t i = 0; i < wet.size(); ++i) {
    const double y = static_cast<double>(i / kWidth), x = static_cast<double>(i % kWidth);
    if (wet[i] == 0) continue;
    EXPECT_LT(std::abs(y - 100) + std::max({0.0, 60 - x, x - 240}), 12) << x << ", " << y;
  }
  EXPECT_TRUE(TextureUtil::toRawData(*canvas.layer().dryTexture()) ==
              StrokeCanvas::Bytes(before.begin() + 2 * kWidth * StrokeCanvas::kHeight * 4, before.end()))
      << "laid wet";

  ASSERT_TRUE(canvas.undo());
  EXPECT_TRUE(canvas.layerBytes() == before);
}

// Across the mask's edge and over old wet paint under it: the stroke completes, the masked cells
// keep every byte, and the cells the mask lets through take the brush's paint.
TEST(RoundBrushStroke, OnAMaskedCanvasKeepsOffTheMaskedCells) {
  StrokeCanvas canvas;
  canvas.use(AppManager().roundBrush());
  maskLeftOf(*canvas.canvas, 150);
  canvas.layWet(90, 90, 210, 110, {40, 200, 90, 30});
  const auto before = canvas.layerBytes();
  canvas.drag({60, 100}, {240, 100}, 30);

  const auto after = canvas.layerBytes();
  const std::size_t plane = kWidth * StrokeCanvas::kHeight * 4;
  for (std::size_t texture = 0; texture < 3; ++texture) {
    for (std::size_t y = 0; y < StrokeCanvas::kHeight; ++y) {
      for (std::size_t x = 0; x < 150; ++x) {
        const std::size_t at = texture * plane + (y * kWidth + x) * 4;
        ASSERT_TRUE(std::equal(after.begin() + at, after.begin() + at + 4, before.begin() + at))
            << "texture " << texture << " changed under the mask at " << x << ", " << y;
      }
    }
  }
  EXPECT_GT(canvas.wet()[100 * kWidth + 200], 30) << "no paint beyond the mask";
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
}

}  // namespace
}  // namespace tessivarium
