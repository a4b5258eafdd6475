// The tool-model kernels that shape, load and preview a head, on heads of a few cells.

#include <gtest/gtest.h>

#include "ToolModelKernelFixture.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

constexpr Texel kAir{0, 0, 0, 0}, kBody{0, 0, 0, kSolid};

// A brush tip 4 cells up in a circle of radius 3 round (5, 4): column (7, 4) lies 2.55 cells from
// the centre, so its body rises by 6.5 / 6 to begin at slice 5; column (8, 4) is outside. A
// knife's blade is flat: its body begins at slice 4 throughout.
TEST(ToolModelHeadKernels, ShapesEveryCellAndKeepsTheWindowGrid) {
  struct Case {
    std::uint32_t toolType;
    std::size_t bodyAt74;
  } cases[] = {{9, 5}, {17, 4}};
  for (const Case& c : cases) {
    StrokeStep step(6, 10, 8, 12);
    fill(*step.headA, {0x77, 0x77, 0x77, 0x77});
    fill(*step.grid1, {1, 1, 1, 1});
    set(*step.grid0, 3, 2, {252, 4, 0, TOOL_FLUID});
    const auto descriptor = descriptorRecord(5, 4, 4, 5, 4, 3, c.toolType);
    run({"DAEToolModel_initialize",
         {{TEXTURE_TOOL_READ, step.headB}, {TEXTURE_TOOL_WRITE, step.headA}, {TEXTURE_GRID_READ, step.grid0},
          {TEXTURE_GRID_WRITE, step.grid1}},
         {{BUFFER_DAE_DESCRIPTOR, descriptor}}, step.headA, true});
    std::size_t untouched = 0;
    for (std::size_t z = 0; z < 12; ++z)
      for (std::size_t y = 0; y < 8; ++y)
        for (std::size_t x = 0; x < 10; ++x) untouched += at(*step.headA, x, y, z) == Texel{0x77, 0x77, 0x77, 0x77};
    EXPECT_EQ(untouched, 0u) << c.toolType;
    EXPECT_EQ(at(*step.headA, 5, 4, 3), kAir);
    EXPECT_EQ(at(*step.headA, 5, 4, 4), kBody);
    EXPECT_EQ(at(*step.headA, 7, 4, c.bodyAt74 - 1), kAir) << c.toolType;
    EXPECT_EQ(at(*step.headA, 7, 4, c.bodyAt74), kBody) << c.toolType;
    EXPECT_EQ(at(*step.headA, 8, 4, 11), kAir);
    EXPECT_EQ(contents(*step.grid1), contents(*step.grid0));
  }
}

// A fill works on the head it writes (slot 10), whatever slot 9 holds, and replaces the paint under
// each body: force 0.5 gives a brush 16 cells and a knife 4; the colour's alpha (200) is the
// paint's wetness. The height preview then shows how far each column reaches down.
TEST(ToolModelHeadKernels, LoadsThePaintUnderTheBodyInPlace) {
  struct Case {
    const char* kernel;
    int cells;
  } cases[] = {{"DAEToolModel_brush_fill", 16}, {"DAEToolModel_knife_fill", 4}};
  for (const Case& c : cases) {
    StrokeStep step(4, 3, 2, 24);
    fill(*step.headB, kBody);  // slot 9: a head that a fill must not read
    for (std::size_t z = 0; z < 24; ++z) {
      set(*step.headA, 0, 0, z >= 20 ? kBody : z >= 17 ? Texel{9, 9, 9, 100} : kAir, z);
      set(*step.headA, 1, 0, z == 22 ? kBody : kAir, z);  // a bristle the fill keeps
    }
    step.fillHead(c.kernel, {0.2f, 0.4f, 0.6f, 200.0f / 255}, 0.5f, descriptorRecord(1, 1, 20, 1, 1, 2));
    const Texel paint{51, 102, 153, 200};
    for (std::size_t z = 0; z < 20; ++z)
      EXPECT_EQ(at(*step.headA, 0, 0, z), static_cast<int>(z) >= 20 - c.cells ? paint : kAir) << c.kernel << " " << z;
    EXPECT_EQ(at(*step.headA, 0, 0, 20), kBody);
    EXPECT_EQ(at(*step.headA, 1, 0, 22), kBody);
    EXPECT_EQ(at(*step.headA, 1, 0, 21), paint);
    EXPECT_EQ(at(*step.headA, 2, 1, 5), kAir);  // no body: no part of the tool

    const auto preview = texture(3, 2);
    run({"DAEToolModel_paint_height", {{TEXTURE_TOOL_READ, step.headA}, {TEXTURE_HEIGHT_IMAGE_WRITE, preview}}, {}, preview});
    const std::uint8_t reach = static_cast<std::uint8_t>((24 - (20 - c.cells)) * 255 / 24);
    EXPECT_EQ(at(*preview, 0, 0), (Texel{reach, reach, reach, 255})) << c.kernel;
    EXPECT_EQ(at(*preview, 2, 1), (Texel{0, 0, 0, 255}));
  }

  // The wide brushes' flat head has no body: every column's load well takes force x 255 bytes
  // (0.6 x 255 = 153), the tip is emptied and the ledger counts them; the preview shows the load's
  // slice, one up. A head too shallow for the wells is left alone.
  const auto flat = texture(4, 2, 3), shallow = texture(4, 2, 2);
  fill(*flat, {9, 9, 9, 9});
  for (const auto& head : {flat, shallow})
    run({"DAEToolModel_wide_brush_fill", {{TEXTURE_TOOL_WRITE, head}},
         {{BUFFER_COLOR, floatRecord({1, 0, 0, 1})}, {BUFFER_FORCE, floatRecord({0.6f})}}, head, true});
  EXPECT_EQ(at(*flat, 3, 1, 0), kAir);
  EXPECT_EQ(at(*flat, 3, 1, 1), (Texel{255, 0, 0, 252}));
  // The ledger: no tip, the load's bytes; B is the fractions the fill starts the column at.
  Texel ledger = at(*flat, 3, 1, 2);
  ledger[2] = 0;
  EXPECT_EQ(ledger, (Texel{0, 153, 0, kSolid}));
  EXPECT_EQ(contents(*shallow), Bytes(4 * 2 * 2 * 4, 0));
  const auto preview = texture(4, 2);
  run({"DAEToolModel_paint_height", {{TEXTURE_TOOL_READ, flat}, {TEXTURE_HEIGHT_IMAGE_WRITE, preview}}, {}, preview});
  EXPECT_EQ(at(*preview, 3, 1), (Texel{170, 170, 170, 255}));
}

// The knives (case indices 16 to 21) have a flat blade; every other tool's body curves up by
// d^2 / 2r off the centre: column (8, 6) of a radius-5 head, d^2 = 6.5, sits at 16 + 0.65 -> 17.
TEST(ToolModelHeadKernels, KnivesAreFlatToTheLastCaseIndex) {
  const std::pair<std::uint32_t, int> cases[] = {{15, 17}, {16, 16}, {20, 16}, {21, 16}, {22, 17}};
  for (const auto& [type, body] : cases) {
    StrokeStep step(16, 12, 12, 32);
    step.initialize(descriptorRecord(6, 6, 16, 6, 6, 5, type));
    int lowest = 32;
    for (int z = 31; z >= 0; --z)
      if (at(*step.headA, 8, 6, static_cast<std::size_t>(z))[3] == kSolid) lowest = z;
    EXPECT_EQ(lowest, body) << "type " << type;
  }
}

// A fill's load is its force (held to [0, 1]) times the tool's full load, to nearest: the centre
// column's body is at 40, so nothing reaches the bottom of the head.
TEST(ToolModelHeadKernels, FillLoadFollowsTheHeldForce) {
  struct Case {
    const char* kernel;
    float force;
    int cells;
  } cases[] = {{"DAEToolModel_brush_fill", 0.3f, 10},  // 9.6
               {"DAEToolModel_brush_fill", 1.7f, 32},
               {"DAEToolModel_knife_fill", 0.7f, 6},  // 5.6
               {"DAEToolModel_knife_fill", 2.5f, 8}};
  for (const Case& c : cases) {
    const Bytes descriptor = descriptorRecord(6, 6, 40, 6, 6, 5);
    StrokeStep step(16, 12, 12, 64);
    step.initialize(descriptor);
    step.fillHead(c.kernel, {0.8f, 0.3f, 0.1f, 1}, c.force, descriptor);
    int cells = 0;
    for (std::size_t z = 0; z < 64; ++z) {
      const std::uint8_t a = at(*step.headA, 6, 6, z)[3];
      cells += a != 0 && a != kSolid;
    }
    EXPECT_EQ(cells, c.cells) << c.kernel << " force " << c.force;
  }
}

}  // namespace
