// The four wide brushes, each painting a stroke on a real canvas with undo through the canvas's
// touch methods: a band as wide as the head, the paint the head loses on the canvas, undo giving
// the layer back byte for byte, and a clean emptying the head.

#include <gtest/gtest.h>

#include <algorithm>

#include "ConsoleCapture.h"
#include "StrokeCanvas.h"
#include "tools/brushes/WideBrushToolViewer.h"
#include "tools/brushes/WideBrushTools.h"

namespace tessivarium {
namespace {

using Bytes = testsupport::StrokeCanvas::Bytes;

// Each size on its own canvas: the viewer's scale, the spacing of a first step of two samples 30
// points apart (17 samples at 3, 9 at 5), the measured model, then the stroke.
TEST(WideBrushStroke, EachSizeLaysABandAsWideAsItsHeadConservesItsPaintAndUndoes) {
  testsupport::ConsoleCapture console;
  const std::tuple<std::shared_ptr<AbstractWideBrushTool>, float, std::size_t> cases[] = {
      {std::make_shared<SmallWideBrushTool>(), 0.3f, 17}, {std::make_shared<WideBrushTool>(), 0.6f, 17},
      {std::make_shared<BigWideBrushTool>(), 1.0f, 9}, {std::make_shared<ExtraWideBrushTool>(), 3.0f, 9}};
  for (const auto& [brush, scale, samples] : cases) {
    testsupport::StrokeCanvas paint;
    paint.use(brush);
    const char* name = describe(brush->toolType());
    EXPECT_FLOAT_EQ(dynamic_cast<WideBrushToolViewer&>(*brush->toolViewer()).scale(), scale * 0.7f) << name;
    auto& surface = *brush->toolSurface();
    surface.reset({std::make_shared<TouchInput>(graphics::Point(100, 80), 1.0f, 1.0f, 0.0f),
                   std::make_shared<TouchInput>(graphics::Point(130, 80), 1.0f, 1.0f, 0.0f)});
    EXPECT_EQ(surface.touchInputData().count(), samples) << name;
    surface.touchEnd();

    auto& model = *brush->toolViewer()->toolModel();
    const std::size_t width = static_cast<std::size_t>(model.width());
    EXPECT_TRUE(model.height() == 12 && model.depth() == 3 && width % 8 == 0) << name;
    EXPECT_EQ(console.linesStartingWith("Box: ").back().rfind("Box: " + std::to_string(width) + " ", 0), 0u) << name;
    const auto fill = [&] { brush->fillColor(graphics::Color::fromRGBA(0.2, 0.5, 0.8, 1.0), 1.0f, 1.0f); };
    fill();
    const long loaded = testsupport::StrokeCanvas::headPaint(*brush);
    const auto before = paint.layerBytes();
    EXPECT_EQ(loaded, static_cast<long>(width) * 12 * 3) << name << ": every cell of the three slices filled";

    paint.drag({150, 40}, {150, 160}, 30);
    const Bytes wet = paint.wet();
    long laid = 0;
    std::size_t left = 300, right = 0, top = 200, bottom = 0;
    for (std::size_t i = 0; i < wet.size(); ++i) {
      if (wet[i] == 0) continue;
      laid += wet[i];
      left = std::min(left, i % 300), right = std::max(right, i % 300), top = std::min(top, i / 300), bottom = i / 300;
    }
    EXPECT_NEAR(static_cast<double>(loaded - testsupport::StrokeCanvas::headPaint(*brush)), static_cast<double>(laid),
                0.005 * static_cast<double>(laid)) << name;
    EXPECT_EQ(std::pair(left, right + 1), std::pair(150 - width / 2, 150 + width / 2)) << name << ": the head's width";
    EXPECT_TRUE(top >= 40 - 6 && bottom + 1 - top >= 12) << name << ": from the first sample on, a head long at least";

    ASSERT_TRUE(paint.undo()) << name;
    EXPECT_EQ(paint.layerBytes(), before) << name;

    // A clean empties every texel of the current pattern and leaves the other copy.
    fill();
    const Bytes other(width * 12 * 3 * 4, 7);
    TextureUtil::loadRawData(model.colorTexture1(), other, model.width(), 12, 3);
    brush->clean();
    EXPECT_EQ(TextureUtil::toRawData(*model.colorTexture0()), Bytes(other.size(), 0)) << name;
    EXPECT_EQ(TextureUtil::toRawData(*model.colorTexture1()), other) << name;
  }
}

}  // namespace
}  // namespace tessivarium
