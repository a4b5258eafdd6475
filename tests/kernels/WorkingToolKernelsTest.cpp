// The kernels of the towel, the sander, turpentine and the fluffy mop on small windows: what one
// sample does to one cell, and what each blur moves across one edge.

#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>
#include <optional>

#include "ToolModelKernelFixture.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

constexpr std::uint32_t kMop = 14, kTurpentine = 15, kTowel = 34, kSander = 39;
constexpr float kUpright = std::numbers::pi_v<float> / 2;

// One sample's paint pass with the head shaped by `descriptor`, read from headA and written to
// headB (a copy of it, as the step's composite makes, unless the sander's, which makes none).
void paintOnce(StrokeStep& step, const std::string& kernel, const Bytes& descriptor, Touch touch) {
  if (kernel != "Sander_paint") {
    std::memcpy(step.headB->texels().texel(0, 0, 0), step.headA->texels().texel(0, 0, 0), contents(*step.headA).size());
  }
  auto textures = step.windowTextures();
  textures[TEXTURE_TOOL_READ] = step.headA, textures[TEXTURE_TOOL_WRITE] = step.headB;
  textures[TEXTURE_MAP_WRITE] = step.grid1;  // the sander's map; the others do not use it
  auto buffers = sampleBuffers({touch});
  buffers[BUFFER_DAE_DESCRIPTOR] = descriptor;
  run({kernel, textures, buffers, step.grid0});
}

// The towel's cloth soaks 32 bytes into each paint cell; the body cell's red byte says how many
// the lowest one lacks. A lone sample counts as one cell travelled.
TEST(WorkingToolKernels, LiftsWetPaintIntoTheHeadByPressAndWetnessAsFarAsTheColumnHasRoom) {
  const struct {
    float tipZ;
    std::uint8_t thickness, wetness;
    float force;
    int lifted;
  } cases[] = {{12, 20, 252, 1.0f, 10},  // 20 x 12 / 24, lying flat at force 1
               {12, 63, 128, 1.0f, 16},  // less wet, less lifted: 63 x 128 / 252 x 12 / 24
               {12, 20, 252, 0.5f, 5},
               {1, 200, 252, 2.0f, 32},  // all of it at a press of 24, but one cell of cloth holds 32
               {12, 20, 252, 0.0f, 0}};  // no press, no touch
  for (const auto& c : cases) {
    StrokeStep step(16, 8, 8, 16);
    const Bytes head = descriptorRecord(4, 4, c.tipZ, 4, 4, 3, kTowel);
    step.initialize(head);
    set(*step.wet0, 8, 8, {200, 40, 40, c.thickness});
    set(*step.grid0, 8, 8, {c.wetness, 0, 0, TOOL_FLUID});
    paintOnce(step, "DAEToolModel_towel_paint", head, {8.2f, 8.2f, c.force, 0});
    const int cells = (c.lifted + 31) / 32;
    EXPECT_EQ(headPaint(*step.headB), cells) << c.tipZ << " " << int(c.wetness) << " " << c.force;
    if (c.lifted == 0) {
      EXPECT_EQ(at(*step.grid1, 8, 8)[2], 0) << "not met, not marked";
      continue;
    }
    EXPECT_EQ(at(*step.wet1, 8, 8), (Texel{200, 40, 40, static_cast<std::uint8_t>(c.thickness - c.lifted)}));
    EXPECT_EQ(at(*step.grid1, 8, 8), (Texel{c.wetness, 0, 3, TOOL_FLUID})) << "marked, held under the head";
    // The lifted paint hangs right under the body of the column over the sample, colour and wetness kept.
    const auto body = static_cast<std::size_t>(c.tipZ);
    EXPECT_EQ(at(*step.headB, 4, 4, body), (Texel{static_cast<std::uint8_t>(cells * 32 - c.lifted), 0, 0, kSolid}));
    EXPECT_EQ(at(*step.headB, 4, 4, body - 1), (Texel{200, 40, 40, c.wetness}));
  }
}

// A column of cloth already holding blue paint in its lowest cell, 12 bytes short of full (its
// body's red byte), wipes a fully wet red cell at the full press: it fills that lack first, mixing
// 20 blue bytes with 12 red by amount to {75, 15, 174}, and only then hangs a new cell, as far as
// its room (the lack and 32 for each free cell under it) goes.
TEST(WorkingToolKernels, FillsWhatTheLowestCellOfClothLacksFirstMixingByAmount) {
  const Texel mixed{75, 15, 174, 252}, red{200, 40, 40, 252};
  const struct {
    const char* what;
    float tipZ;  // the body of the column over the sample; its one cell of paint lies right under it
    std::uint8_t thickness, thicknessAfter, lackAfter;
    int cells;
  } cases[] = {{"no free cell: only the lack", 1, 20, 8, 0, 1},
               {"then a new cell, filled 28 of 32", 2, 40, 0, 4, 2}};
  for (const auto& c : cases) {
    StrokeStep step(16, 8, 8, 16);
    const Bytes head = descriptorRecord(4, 4, c.tipZ, 4, 4, 3, kTowel);
    step.initialize(head);
    const auto body = static_cast<std::size_t>(c.tipZ);
    set(*step.headA, 4, 4, {12, 0, 0, kSolid}, body);
    set(*step.headA, 4, 4, {0, 0, 255, 252}, body - 1);
    set(*step.wet0, 8, 8, {200, 40, 40, c.thickness});
    set(*step.grid0, 8, 8, {252, 0, 0, TOOL_FLUID});
    paintOnce(step, "DAEToolModel_towel_paint", head, {8.2f, 8.2f, 2.0f, 0});
    EXPECT_EQ(at(*step.wet1, 8, 8)[3], c.thicknessAfter) << c.what;
    EXPECT_EQ(headPaint(*step.headB), c.cells) << c.what;
    EXPECT_EQ(at(*step.headB, 4, 4, body), (Texel{c.lackAfter, 0, 0, kSolid})) << c.what;
    EXPECT_EQ(at(*step.headB, 4, 4, body - 1), mixed) << c.what;
    if (c.cells == 2) {
      EXPECT_EQ(at(*step.headB, 4, 4, body - 2), red) << c.what;
    }
  }
}

TEST(WorkingToolKernels, GrindsTheDryPaintUnderTheHeadInPlaceMarksItAndCarriesTheHead) {
  StrokeStep step(16, 8, 8, 16);
  const Bytes head = descriptorRecord(4, 4, 8, 4, 4, 3, kSander);
  step.initialize(head);
  fill(*step.dry0, {120, 80, 60, 50});
  fill(*step.headB, {9, 9, 9, 9});  // not a copy: the pass must carry the head itself
  paintOnce(step, "Sander_paint", head, {8.5f, 8.5f, 1.0f, kUpright});
  EXPECT_EQ(contents(*step.headB), contents(*step.headA));
  EXPECT_EQ(at(*step.dry0, 8, 8), (Texel{120, 80, 60, 47})) << "a press of 24 grinds 3 off";
  EXPECT_EQ(at(*step.grid1, 8, 8)[2], 1);
  EXPECT_EQ(at(*step.dry0, 1, 1)[3], 50) << "out of reach";
  EXPECT_EQ(at(*step.grid1, 1, 1)[2], 0);
  EXPECT_EQ(windowPaint(*step.wet1), 0) << "no wet paint made";
}

// A marked cell among lower neighbours, with the sander's thickness.
TEST(WorkingToolKernels, GrindsAMarkedPeakDownToItsLowestNeighbourPlusTheThickness) {
  const struct {
    std::uint8_t own;
    std::optional<float> thickness;
    std::uint8_t after;
  } cases[] = {{60, 7.0f, 17}, {60, 3.0f, 13}, {60, std::nullopt, 17}, {15, 7.0f, 15}, {60, -5.0f, 10}};
  for (const auto& c : cases) {
    const auto dry = texture(8, 8), map = texture(8, 8);
    fill(*dry, {120, 80, 60, 55});
    set(*dry, 3, 3, {120, 80, 60, c.own});
    set(*dry, 2, 3, {120, 80, 60, 10});
    set(*dry, 6, 6, {120, 80, 60, 90});  // unmarked: never touched
    set(*map, 3, 3, {0, 0, 1, 0});
    std::map<std::int64_t, Bytes> buffers;
    if (c.thickness) buffers[BUFFER_THICKNESS] = floatRecord({*c.thickness});
    run({"Sander_blur_image", {{TEXTURE_DRY_READ, dry}, {TEXTURE_DRY_WRITE, dry}, {TEXTURE_MAP_READ, map}}, buffers, map});
    EXPECT_EQ(at(*dry, 3, 3), (Texel{120, 80, 60, c.after})) << int(c.own);
    EXPECT_EQ(at(*dry, 6, 6)[3], 90);
    EXPECT_EQ(at(*dry, 2, 3)[3], 10) << "a neighbour is never raised";
  }
}

// A marked peak of 60 among cells of 55, one of them (or a diagonal cell, which is no neighbour)
// at 10: the peak is ground to 10 plus the thickness, whichever side the low cell lies on.
TEST(SanderBlur, LevelsAMarkedPeakAgainstEachOfItsFourNeighbours) {
  const struct {
    int dx, dy;
    std::uint8_t after;
  } cases[] = {{-1, 0, 17}, {1, 0, 17}, {0, -1, 17}, {0, 1, 17}, {1, 1, 60}};
  for (const auto& c : cases) {
    const auto dry = texture(8, 8), map = texture(8, 8);
    fill(*dry, {120, 80, 60, 55});
    set(*dry, 3, 3, {120, 80, 60, 60});
    set(*dry, static_cast<std::size_t>(3 + c.dx), static_cast<std::size_t>(3 + c.dy), {120, 80, 60, 10});
    set(*map, 3, 3, {0, 0, 1, 0});
    run({"Sander_blur_image", {{TEXTURE_DRY_READ, dry}, {TEXTURE_DRY_WRITE, dry}, {TEXTURE_MAP_READ, map}},
         {{BUFFER_THICKNESS, floatRecord({7.0f})}}, map});
    EXPECT_EQ(at(*dry, 3, 3)[3], c.after) << c.dx << ", " << c.dy;
  }
}

// Wet paint of wetness 40 under an upright sponge: it gains 252 x press / 48 (a force of 1 presses
// 24 bytes), stored to the nearest level and at most fully wet; amount and colour stay.
TEST(TurpentinePaint, WetsThePaintItMeetsByItsPress) {
  const struct {
    float force;
    std::uint8_t wetness;
  } cases[] = {{1.0f, 168}, {0.5f, 104}, {0.25f, 72}, {2.0f, 252}};
  for (const auto& c : cases) {
    StrokeStep step(16, 8, 8, 16);
    const Bytes head = descriptorRecord(4, 4, 12, 4, 4, 3, kTurpentine);
    step.initialize(head);
    set(*step.wet0, 8, 8, {200, 40, 40, 20});
    set(*step.grid0, 8, 8, {40, 0, 0, TOOL_FLUID});
    paintOnce(step, "Turpentine_paint", head, {8.2f, 8.2f, c.force, kUpright});
    EXPECT_EQ(at(*step.grid1, 8, 8), (Texel{c.wetness, 0, 3, TOOL_FLUID})) << c.force << ": marked, held under the head";
    EXPECT_EQ(at(*step.wet1, 8, 8), (Texel{200, 40, 40, 20})) << c.force;
  }
}

// The mop's hairs at one sample, its small head pressed down so far that every column meets its
// cell: the cells it sweeps over a film one byte thick, red left of the head's middle and blue
// right of it, stir their colours together, though the film is too thin for any gift; and paint
// left of or above the cells it sweeps, none of it swept, trades with them across the edge between.
TEST(FluffyMopPaint, StirsTheCellsItSweepsAndTradesWithTheCellsBesideThem) {
  const Bytes head = descriptorRecord(4, 4, 12, 4, 4, 3, kMop);
  const Touch touch{16.2f, 16.2f, 2.0f};
  // The cells the head sweeps: the ones a pass over a bare canvas marks.
  std::size_t x0 = 32, y0 = 32, x1 = 0, y1 = 0;
  {
    StrokeStep bare(32, 8, 8, 16);
    bare.initialize(head);
    paintOnce(bare, "FluffyMop_paint", head, touch);
    for (std::size_t y = 0; y < 32; ++y)
      for (std::size_t x = 0; x < 32; ++x)
        if (changedByPass(at(*bare.grid1, x, y))) x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
  }
  ASSERT_LT(x0, x1);
  ASSERT_LT(y0, y1);
  const Texel red{255, 0, 0, 1}, blue{0, 0, 255, 1};
  const struct {
    const char* what;
    bool film;         // the film over the whole window; else paint 40 thick beside the swept cells
    bool left, above;  // where that paint lies
  } cases[] = {{"a film of one byte", true, false, false}, {"paint left of them", false, true, false},
               {"paint above them", false, false, true}};
  for (const auto& c : cases) {
    StrokeStep step(32, 8, 8, 16);
    step.initialize(head);
    for (std::size_t y = 0; y < 32; ++y)
      for (std::size_t x = 0; x < 32; ++x) {
        Texel paint = x < 16 ? red : blue;
        if (!c.film) paint[3] = (c.left && x < x0) || (c.above && y < y0) ? 40 : 0;
        if (paint[3] > 0) set(*step.wet0, x, y, paint), set(*step.grid0, x, y, {252, 0, 0, TOOL_FLUID});
      }
    const long before = windowPaint(*step.wet0);
    paintOnce(step, "FluffyMop_paint", head, touch);
    long after = 0, beside = 0, swept = 0;
    int stirred = 0;
    for (std::size_t y = 0; y < 32; ++y)
      for (std::size_t x = 0; x < 32; ++x) {
        const Texel wet = wetAfter(step, x, y);
        after += wet[3];
        const bool inside = x >= x0 && x <= x1 && y >= y0 && y <= y1;
        if (inside) swept += wet[3], stirred += wet[0] > 0 && wet[2] > 0;
        if ((c.left && x + 1 == x0 && y >= y0 && y <= y1) || (c.above && y + 1 == y0 && x >= x0 && x <= x1)) beside += 40 - wet[3];
      }
    EXPECT_EQ(after, before) << c.what;
    if (c.film) {
      EXPECT_GT(stirred, 0) << c.what << ": red and blue stirred together";
    } else {
      EXPECT_GT(swept, 0) << c.what << ": the swept cells took paint from beside them";
      EXPECT_GT(beside, 0) << c.what << ": the cells beside them gave it";
    }
  }
}

// Two neighbours, the left one red and marked (the right one marked too, or held back, where a row
// says so), the right one blue or bare, both fully wet; between equally thick cells only the mop
// mixes the colours, and two marked cells too thin for any gift it leaves as they are (its hairs
// stirred them as they swept them). No blur carries paint to a held cell: that edge is left to the
// step that levels it.
TEST(WorkingToolKernels, EachMovesItsShareAcrossAMarkedEdgeAndKeepsThePaint) {
  const struct {
    const char* kernel;
    std::uint8_t left, right;
    int intoRight;  // paint the right cell gains
    bool reddened;  // the right cell takes some of the left one's red
    std::uint8_t rightMark = 0;
  } cases[] = {{"DAEToolModel_blur_image", 100, 0, 12, true}, {"Towel_blur_image", 100, 0, 6, true},
               {"Turpentine_blur_image", 100, 0, 25, true},   {"FluffyMop_blur_image", 100, 0, 12, true},
               {"Towel_blur_image", 100, 100, 0, false},       {"FluffyMop_blur_image", 100, 100, 0, true},
               {"FluffyMop_blur_image", 6, 6, 0, false, 1},      {"DAEToolModel_blur_image", 100, 0, 0, false, 3},
               {"FluffyMop_blur_image", 100, 100, 0, false, 3}};
  for (const auto& c : cases) {
    const auto grid = texture(4, 4), wet = texture(4, 4), map = texture(4, 4);
    set(*wet, 1, 1, {255, 0, 0, c.left});
    set(*grid, 1, 1, {252, 0, 0, TOOL_FLUID});
    if (c.right > 0) set(*wet, 2, 1, {0, 0, 255, c.right}), set(*grid, 2, 1, {252, 0, 0, TOOL_FLUID});
    set(*map, 1, 1, {0, 0, 1, 0});
    if (c.rightMark != 0) set(*map, 2, 1, {0, 0, c.rightMark, 0});
    const long total = windowPaint(*wet);
    run({c.kernel,
         {{TEXTURE_GRID_READ, grid}, {TEXTURE_GRID_WRITE, grid}, {TEXTURE_WET_READ, wet}, {TEXTURE_WET_WRITE, wet},
          {TEXTURE_MAP_READ, map}},
         {}, map});
    EXPECT_EQ(windowPaint(*wet), total) << c.kernel;
    EXPECT_EQ(at(*wet, 2, 1)[3], c.right + c.intoRight) << c.kernel << " " << int(c.right);
    EXPECT_EQ(at(*wet, 2, 1)[0] > 0, c.reddened) << c.kernel << " " << int(c.right);
  }
}

}  // namespace
