// The six knives dragged through wet paint on a real canvas with undo: each drags the paint on
// without making or losing any, each in a mark of its own blade, and undo gives the layer back
// byte for byte.

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "ConsoleCapture.h"
#include "StrokeCanvas.h"
#include "gpu/Gpu.h"
#include "tools/knives/KnifeTools.h"

namespace tessivarium {
namespace {

long sum(const testsupport::StrokeCanvas::Bytes& cells, std::size_t fromX = 0) {
  long n = 0;
  for (std::size_t i = 0; i < cells.size(); ++i) n += i % testsupport::StrokeCanvas::kWidth >= fromX ? cells[i] : 0;
  return n;
}

TEST(KnifeStroke, EachKnifeDragsTheWetPaintOnInAMarkOfItsOwnAndUndoTakesItBack) {
  testsupport::ConsoleCapture console;
  testsupport::StrokeCanvas paint;
  const std::function<std::shared_ptr<AbstractKnifeTool>()> knives[] = {
      [] { return std::make_shared<Knife1Tool>(); }, [] { return std::make_shared<Knife2Tool>(); },
      [] { return std::make_shared<Knife3Tool>(); }, [] { return std::make_shared<Knife4Tool>(); },
      [] { return std::make_shared<Knife5Tool>(); }, [] { return std::make_shared<Knife6Tool>(); }};
  std::vector<testsupport::StrokeCanvas::Bytes> marks;
  for (const auto& make : knives) {
    const auto knife = make();
    paint.use(knife);
    if (marks.empty()) paint.layWet(50, 80, 90, 120, {200, 60, 30, 40});
    const auto before = paint.layerBytes();
    const long amount = sum(paint.wet());

    gpu::commandTrace().start();
    paint.drag({60, 100}, {200, 100}, 30);
    const auto kernels = gpu::commandTrace().kernelNames();
    gpu::commandTrace().stop();
    const char* name = describe(knife->toolType());
    EXPECT_NE(std::find(kernels.begin(), kernels.end(), "DAEToolModel_knife_paint"), kernels.end()) << name;
    const auto wet = paint.wet();
    EXPECT_NEAR(sum(wet) + testsupport::StrokeCanvas::headPaint(*knife), amount, amount / 200) << name;
    EXPECT_GT(sum(wet, 90), 100) << name << ": paint dragged past the blob's right edge";
    marks.push_back(wet);

    ASSERT_TRUE(paint.undo()) << name;
    EXPECT_EQ(paint.layerBytes(), before) << name;
  }
  for (std::size_t i = 0; i < marks.size(); ++i)
    for (std::size_t j = i + 1; j < marks.size(); ++j) {
      EXPECT_NE(marks[i], marks[j]) << "knife" << i + 1 << ", knife" << j + 1;
    }
}

}  // namespace
}  // namespace tessivarium
