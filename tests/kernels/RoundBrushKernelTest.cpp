// The round brush's paint kernel: the size and thickness of its tip, and how its paint lands.

#include <gtest/gtest.h>

#include <cmath>

#include "ToolModelKernelFixture.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

constexpr std::uint8_t kMark = 1;

// The thickness the row y = 20 takes from one sample at (20.0, 20.5) (so cell x lies |x + 0.5 - 20|
// from it), by force and altitude: lying flat (0) the tip is 2 + 6 x force cells wide, upright
// (π/2) half that; it lays 16 x force bytes, the rim's last cell its share.
TEST(RoundBrushKernel, TheTipGrowsWithTheForceAndAsTheBrushLiesFlatter) {
  const struct {
    float force, altitude;
    std::vector<std::pair<std::size_t, std::uint8_t>> laid;  // cell x, thickness
  } cases[] = {
      {1.0f, 0.0f, {{20, 16}, {26, 16}, {27, 8}, {12, 8}, {28, 0}}},  // radius 8
      {0.5f, 1.5707964f, {{20, 8}, {21, 8}, {22, 0}}},                // radius 2.5
      {0.0f, 0.0f, {{20, 0}}},                                        // no force, no paint
      {std::nanf(""), 0.0f, {{20, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.force << " at " << c.altitude);
    StrokeStep step(48, 1, 1, 1);
    run({"DAEToolModel_brush_bristle_paint", step.windowTextures(), sampleBuffers({{20.0f, 20.5f, c.force, c.altitude}}),
         step.grid0});
    for (const auto& [x, thickness] : c.laid) {
      EXPECT_EQ(at(*step.wet1, x, 20), (Texel{0, 0, 0, thickness})) << x;
      const Texel cell = thickness > 0 ? Texel{252, 0, kMark, TOOL_FLUID} : Texel{0, 0, 0, 0};
      EXPECT_EQ(at(*step.grid1, x, 20), cell) << x;
    }
  }
}

// The tips of one step join as one stroke (a cell takes the thickest tip over it, not their sum),
// laid on the cell's paint, colour and wetness mixed by amount; a masked cell gets nothing.
TEST(RoundBrushKernel, TipsJoinAsOneStrokeOverTheCellsPaintAndOffTheMask) {
  StrokeStep step(48, 1, 1, 1);
  set(*step.wet0, 20, 20, {0, 0, 255, 16});
  set(*step.grid0, 20, 20, {100, 7, 0, TOOL_FLUID});
  const auto mask = texture(48, 48);
  fill(*mask, {0, 0, 0, 255});
  set(*mask, 23, 20, {0, 0, 0, 0});
  auto textures = step.windowTextures();
  textures[TEXTURE_MASK_IMAGE] = mask;
  run({"DAEToolModel_brush_bristle_paint", textures, sampleBuffers({{20.5f, 20.5f, 1, 0}, {21.5f, 20.5f, 1, 0}}),
       step.grid0});
  EXPECT_EQ(at(*step.wet1, 20, 20), (Texel{0, 0, 128, 32}));
  EXPECT_EQ(at(*step.grid1, 20, 20), (Texel{176, 7, kMark, TOOL_FLUID}));
  EXPECT_EQ(at(*step.wet1, 21, 20)[3], 16) << "the thickest tip, not the sum";
  EXPECT_EQ(at(*step.wet1, 23, 20), (Texel{0, 0, 0, 0})) << "masked";
  EXPECT_EQ(at(*step.wet1, 24, 20)[3], 16);
}

}  // namespace
