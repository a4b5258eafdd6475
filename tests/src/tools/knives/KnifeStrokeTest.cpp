// The six knives dragged through wet paint on a real canvas with undo: each moves the paint along
// the drag without making or losing any, each leaves a mark of its own blade, and undo gives the
// layer back byte for byte.

#include <gtest/gtest.h>

#include <functional>

#include "ConsoleCapture.h"
#include "StrokeCanvas.h"
#include "gpu/Gpu.h"
#include "tools/knives/KnifeTools.h"

namespace tessivarium {
namespace {

TEST(KnifeStroke, EachKnifeDragsTheWetPaintOnInAMarkOfItsOwnAndUndoTakesItBack) {
  testsupport::ConsoleCapture console;
  testsupport::StrokeCanvas paint;
  const std::function<std::shared_ptr<AbstractKnifeTool>()> knives[] = {
      [] { return std::make_shared<Knife1Tool>(); }, [] { return std::make_shared<Knife2Tool>(); },
      [] { return std::make_shared<Knife3Tool>(); }, [] { return std::make_shared<Knife4Tool>(); },
      [] { return std::make_shared<Knife5Tool>(); }, [] { return std::make_shared<Knife6Tool>(); }};
  std::vector<testsupport::StrokeCanvas::Bytes> marks;
  bool first = true;
  for (const auto& make : knives) {
    const auto knife = make();
    paint.use(knife);
    if (first) paint.layWet({50, 80, 90, 120}, 200, 60, 30, 40);
    first = false;
    const auto before = paint.layerBytes();
    const long amount = paint.wetPaint();
    const double centre = paint.wetCentreX();

    gpu::commandTrace().start();
    paint.drag({60, 100}, {200, 100}, 30);
    const auto kernels = gpu::commandTrace().kernelNames();
    gpu::commandTrace().stop();
    const char* name = describe(knife->toolType());
    EXPECT_NE(std::find(kernels.begin(), kernels.end(), "DAEToolModel_knife_paint"), kernels.end()) << name;
    const long after = paint.wetPaint() + testsupport::StrokeCanvas::headPaint(*knife);
    EXPECT_NEAR(static_cast<double>(after), static_cast<double>(amount), 0.005 * static_cast<double>(amount)) << name;
    // The paint goes along with the drag: some of it now lies past the blob's right edge.
    EXPECT_GT(paint.wetCentreX(), centre) << name;
    EXPECT_GT(paint.wetPaint({{90, 0, 300, 200}}), 100) << name;
    marks.push_back(paint.layerBytes());

    ASSERT_TRUE(paint.undo()) << name;
    EXPECT_EQ(paint.layerBytes(), before) << name;
  }
  for (std::size_t i = 0; i < marks.size(); ++i)
    for (std::size_t j = i + 1; j < marks.size(); ++j) EXPECT_NE(marks[i], marks[j]) << "knife" << i + 1 << " and knife" << j + 1;
}

}  // namespace
}  // namespace tessivarium
