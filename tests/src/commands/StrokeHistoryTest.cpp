// Whole strokes of a real tool on a canvas with undo: each stroke's step keeps the layer as the
// stroke found it, so undoing the second of two overlapping strokes gives back the first's result.

#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "StrokeCanvas.h"
#include "tools/knives/KnifeTools.h"

namespace tessivarium {
namespace {

TEST(StrokeHistory, TwoStrokesThenOneUndoLeaveTheFirstStrokesResult) {
  testsupport::ConsoleCapture console;
  testsupport::StrokeCanvas paint;
  paint.use(std::make_shared<Knife1Tool>());
  paint.layWet(40, 40, 160, 160, {200, 60, 30, 40});
  const auto untouched = paint.layerBytes();

  paint.drag({50, 100}, {200, 100}, 30);
  const auto first = paint.layerBytes();
  ASSERT_NE(first, untouched);
  paint.drag({100, 50}, {100, 190}, 30);  // across the first stroke's mark
  ASSERT_NE(paint.layerBytes(), first);

  ASSERT_TRUE(paint.undo());
  EXPECT_EQ(paint.layerBytes(), first) << "the second stroke's step holds the layer as the first left it";
  ASSERT_TRUE(paint.undo());
  EXPECT_EQ(paint.layerBytes(), untouched);
}

}  // namespace
}  // namespace tessivarium
