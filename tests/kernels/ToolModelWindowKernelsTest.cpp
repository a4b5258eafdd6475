// The kernels that finish a stroke step in the window: the overlay map, the blur and the mask.

#include <gtest/gtest.h>

#include "ToolModelKernelFixture.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

constexpr std::uint8_t kMark = 1;

// The paint pass changed cell (2, 2) of a 5 x 5 window: the overlay map takes it (and only it) from
// the changes, whose other cells are stale, and clears an earlier step's mark. The blur then lets
// an eighth of the 80 bytes flow to each neighbour (80 x 252 / (8 x 252) = 10), colour and
// wetness going with it; cells not next to the mark keep theirs.
TEST(ToolModelWindowKernels, OverlayMapMergesTheChangesAndTheBlurSpreadsThem) {
  StrokeStep step(5, 1, 1, 1);
  fill(*step.wet1, {1, 2, 3, 4});
  set(*step.grid1, 2, 2, {252, 0, kMark, TOOL_FLUID});
  set(*step.wet1, 2, 2, {100, 20, 0, 80});
  set(*step.grid0, 0, 0, {0, 8, kMark, TOOL_AIR});
  set(*step.wet0, 4, 4, {9, 9, 9, 30});
  run({"DAEToolModel_overlay_map",
       {{TEXTURE_GRID_READ, step.grid1}, {TEXTURE_GRID_WRITE, step.grid0}, {TEXTURE_WET_READ, step.wet1},
        {TEXTURE_WET_WRITE, step.wet0}},
       {}, step.wet0});
  EXPECT_EQ(at(*step.wet0, 2, 2), (Texel{100, 20, 0, 80}));
  EXPECT_EQ(at(*step.grid0, 2, 2), (Texel{252, 0, kMark, TOOL_FLUID}));
  EXPECT_EQ(at(*step.grid0, 0, 0), (Texel{0, 8, 0, TOOL_AIR}));
  EXPECT_EQ(at(*step.wet0, 1, 1), (Texel{0, 0, 0, 0}));
  EXPECT_EQ(at(*step.wet0, 4, 4), (Texel{9, 9, 9, 30}));

  run({"DAEToolModel_blur_image",
       {{TEXTURE_GRID_READ, step.grid0}, {TEXTURE_GRID_WRITE, step.grid0}, {TEXTURE_WET_READ, step.wet0},
        {TEXTURE_WET_WRITE, step.wet0}, {TEXTURE_MAP_READ, step.grid1}},
       {}, step.grid1});
  EXPECT_EQ(at(*step.wet0, 2, 2), (Texel{100, 20, 0, 40}));
  for (auto [x, y] : {std::pair{1, 2}, {3, 2}, {2, 1}, {2, 3}}) {
    EXPECT_EQ(at(*step.wet0, x, y), (Texel{100, 20, 0, 10})) << x << "," << y;
    EXPECT_EQ(at(*step.grid0, x, y), (Texel{252, 0, 0, TOOL_FLUID})) << x << "," << y;
  }
  EXPECT_EQ(at(*step.wet0, 1, 1), (Texel{0, 0, 0, 0}));
  EXPECT_EQ(at(*step.wet0, 4, 4), (Texel{9, 9, 9, 30}));
  EXPECT_EQ(windowPaint(*step.wet0), 80 + 30);
}

// The mask carries every cell of the head from slot 9 to slot 10, also a head deeper and wider
// than the window it is dispatched over, and ends the step: every mark goes, and every cell keeps
// its paint, under the mask as elsewhere (the passes before it kept the step off masked cells).
TEST(ToolModelWindowKernels, MaskCarriesTheWholeHeadAndClearsTheMarks) {
  StrokeStep step(8, 20, 10, 40);
  for (std::size_t z = 0; z < 40; ++z)
    for (std::size_t y = 0; y < 10; ++y)
      for (std::size_t x = 0; x < 20; ++x)
        set(*step.headA, x, y, {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(z), 7}, z);
  fill(*step.headB, {0, 0, 0, 0});
  const auto mask = texture(12, 12);
  fill(*mask, {255, 255, 255, 255});
  set(*mask, 5, 4, {0, 0, 0, 0});  // over window cell (2, 1) with the offset (3, 3)
  for (auto [x, y] : {std::pair{2, 1}, {3, 1}, {7, 7}}) {
    set(*step.grid0, x, y, {252, 6, kMark, TOOL_FLUID});
    set(*step.wet0, x, y, {50, 60, 70, 20});
  }
  run({"DAEToolModel_mask",
       {{TEXTURE_GRID_READ, step.grid0}, {TEXTURE_GRID_WRITE, step.grid0}, {TEXTURE_WET_WRITE, step.wet0},
        {TEXTURE_DRY_WRITE, step.dry0}, {TEXTURE_MASK_IMAGE, mask}, {TEXTURE_TOOL_READ, step.headA},
        {TEXTURE_TOOL_WRITE, step.headB}},
       {{BUFFER_OFFSET, offsetRecord(3, 3)}}, step.grid0});
  EXPECT_EQ(contents(*step.headB), contents(*step.headA));
  for (auto [x, y] : {std::pair{2, 1}, {3, 1}, {7, 7}}) {
    EXPECT_EQ(at(*step.wet0, x, y), (Texel{50, 60, 70, 20})) << x << ", " << y;
    EXPECT_EQ(at(*step.grid0, x, y), (Texel{252, 6, 0, TOOL_FLUID})) << x << ", " << y;
  }
}

}  // namespace
