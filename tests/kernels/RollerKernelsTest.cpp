// "Roller_paint": the roller rolls the wet paint it meets into an even band, which thins where its
// load runs out; it brings no paint of its own.

#include <gtest/gtest.h>

#include "ToolModelKernelFixture.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

// A 12 x 12 x 32 roller head (tool type 37), a disc of radius 5, rolled along y = 16.
const Bytes kRoller = descriptorRecord(6, 6, 16, 6, 6, 5, 37, 0);

std::vector<Touch> rollAlongTheWindow() {
  std::vector<Touch> stroke;
  for (float x = 6; x < 60; x += 2) stroke.push_back({x, 16});
  return stroke;
}

TEST(RollerPaint, RollsABlobIntoAnEvenBandThatThinsAsTheRollerRunsDry) {
  StrokeStep step(64, 12, 12, 32);
  step.initialize(kRoller);
  for (std::size_t y = 10; y < 22; ++y)
    for (std::size_t x = 2; x < 12; ++x) {
      set(*step.wet0, x, y, {200, 40, 30, 40});
      set(*step.grid0, x, y, {252, 0, 0, TOOL_FLUID});
    }
  const long before = windowPaint(*step.wet0);
  step.paintStep("Roller_paint", rollAlongTheWindow(), kRoller);
  EXPECT_EQ(windowPaint(*step.wet0) + headPaint(*step.headA), before);

  // Past the blob every cell of the band's middle holds the same film, in the blob's colour.
  for (std::size_t y = 12; y < 20; ++y)
    for (std::size_t x = 14; x < 30; ++x) EXPECT_EQ(at(*step.wet0, x, y), (Texel{200, 40, 30, 6})) << x << ", " << y;
  // Further on the roller runs dry: the band thins, then ends.
  bool thinner = false;
  for (std::size_t x = 30; x < 40; ++x) thinner |= at(*step.wet0, x, 16)[3] > 0 && at(*step.wet0, x, 16)[3] < 6;
  EXPECT_TRUE(thinner);
  EXPECT_EQ(at(*step.wet0, 50, 16)[3], 0);
}

TEST(RollerPaint, AnEmptyRollerOnABareWindowLaysNothing) {
  StrokeStep step(64, 12, 12, 32);
  step.initialize(kRoller);
  const Bytes head = contents(*step.headA);
  step.paintStep("Roller_paint", rollAlongTheWindow(), kRoller);
  EXPECT_EQ(windowPaint(*step.wet0), 0);
  EXPECT_EQ(contents(*step.headA), head);
}

}  // namespace
