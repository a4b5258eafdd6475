// How a tool lays paint: the descriptor's mode (dry or wet drawing) and thickness in the fills and
// paints, and a head column with more kinds of paint than it keeps apart.

#include <gtest/gtest.h>

#include "ToolModelKernelFixture.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

const std::vector<Touch> kStroke = {{8, 16, 0.9f}, {10.5f, 16.2f, 0.7f}, {13, 16.6f}, {15.5f, 17, 1.2f}, {18, 17.3f}, {21, 17.5f, 0.5f}};
constexpr std::array<float, 4> kRed = {0.8f, 0.3f, 0.1f, 1};

Bytes headRecord(std::uint32_t toolType, std::int32_t mode = 0, float thickness = 1) {
  return descriptorRecord(6, 6, 16, 6, 6, 5, toolType, 0.4f, mode, thickness);
}

// A 32 x 32 window with wet blue paint over the left half of the stroke's path, and a loaded head.
StrokeStep loadedOverWetPaint(const Bytes& descriptor) {
  StrokeStep step(32, 12, 12, 32);
  step.initialize(descriptor);
  step.fillHead("DAEToolModel_brush_fill", kRed, 1, headRecord(9));
  for (std::size_t y = 8; y < 26; ++y)
    for (std::size_t x = 0; x < 14; ++x) {
      set(*step.wet0, x, y, {30, 90, 200, 40});
      set(*step.grid0, x, y, {252, 0, 0, TOOL_FLUID});
    }
  return step;
}

// Dry drawing (mode 1) lays the head's paint as dry paint and leaves the wet paint byte for byte as
// it was, even where it passes over it; wet drawing (mode 0) lays wet paint and leaves the dry paint.
// Either way the head, wet and dry paint together are conserved.
TEST(ToolModelDrawing, DryDrawingLaysDryPaintAndWetDrawingWetPaint) {
  for (const char* kernel : {"DAEToolModel_brush_paint", "DAEToolModel_knife_paint"}) {
    const std::uint32_t type = std::string(kernel).find("knife") != std::string::npos ? 17 : 9;
    for (const std::int32_t mode : {1, 0}) {
      const Bytes descriptor = headRecord(type, mode);
      StrokeStep step = loadedOverWetPaint(descriptor);
      const Bytes wet = contents(*step.wet0), dry = contents(*step.dry0);
      const long total = headPaint(*step.headA) + windowPaint(*step.wet0) + windowPaint(*step.dry0);
      step.paintStep(kernel, kStroke, descriptor);
      const long laidDry = windowPaint(*step.dry0);
      EXPECT_EQ(headPaint(*step.headA) + windowPaint(*step.wet0) + laidDry, total) << kernel << " mode " << mode;
      if (mode == 1) {
        EXPECT_EQ(contents(*step.wet0), wet) << kernel << ": dry drawing changed the wet paint";
        EXPECT_GT(laidDry, 0) << kernel;
        for (std::size_t y = 0; y < 32; ++y)
          for (std::size_t x = 0; x < 32; ++x) {
            const Texel d = at(*step.dry0, x, y);
            if (d[3] > 0) {
              EXPECT_EQ(d, (Texel{204, 77, 26, d[3]})) << kernel << ": not the head's colour at " << x << ", " << y;
            }
          }
      } else {
        EXPECT_EQ(contents(*step.dry0), dry) << kernel << ": wet drawing changed the dry paint";
        EXPECT_NE(contents(*step.wet0), wet) << kernel;
      }
    }
  }
}

// The thickness scales what a fill loads and what a stroke lays: at a quarter the fill loads a
// quarter of the cells and the same stroke lays about a quarter of the paint, wet or dry.
TEST(ToolModelDrawing, ThicknessScalesTheFillAndTheStroke) {
  struct Case {
    const char *kernel, *fill;
    std::uint32_t type;
    std::int32_t mode;
  };
  const Case cases[] = {{"DAEToolModel_brush_paint", "DAEToolModel_brush_fill", 9, 0},
                        {"DAEToolModel_knife_paint", "DAEToolModel_knife_fill", 17, 0},
                        {"DAEToolModel_brush_paint", "DAEToolModel_brush_fill", 9, 1}};
  for (const Case& c : cases) {
    const auto laidAt = [&](float thickness) {
      StrokeStep step(32, 12, 12, 32);
      step.initialize(headRecord(c.type));
      step.fillHead(c.fill, kRed, 1, headRecord(c.type, c.mode, thickness));
      step.paintStep(c.kernel, kStroke, headRecord(c.type, c.mode, thickness));
      return static_cast<double>(windowPaint(*step.wet0) + windowPaint(*step.dry0));
    };
    const double full = laidAt(1.0f), quarter = laidAt(0.25f);
    ASSERT_GT(full, 40) << c.kernel;
    EXPECT_NEAR(quarter / full, 0.25, 0.05) << c.kernel << " mode " << c.mode;
  }

  for (const char* fill : {"DAEToolModel_brush_fill", "DAEToolModel_knife_fill"}) {
    const auto loadedAt = [&](float thickness) {
      StrokeStep step(8, 12, 12, 32);
      step.initialize(headRecord(9));
      step.fillHead(fill, kRed, 1, headRecord(9, 0, thickness));
      return static_cast<double>(headPaint(*step.headA));
    };
    EXPECT_NEAR(loadedAt(0.25f) / loadedAt(1.0f), 0.25, 0.02) << fill;
    EXPECT_EQ(loadedAt(std::nanf("")), loadedAt(1.0f)) << fill << ": not a number counts as 1";
  }
}

// A head column keeps 16 kinds of paint apart. Here the column, its 18 cells of paint hanging under
// a body that stands 40 over the unpressed canvas, presses none of them out and smears up some of
// the canvas's 255 bytes, a 17th kind: it merges with the three cells of the bottom run into one
// run, all of its cells of the colour mixed by amount; the runs above it keep theirs.
TEST(ToolModelDrawing, TheSeventeenthPaintMergesIntoTheBottomRunWhole) {
  // Column (0, 0) hangs its paint under a body at 40; column (1, 0) is body from the canvas up, so
  // the first column's body stands 40 above the head's lowest point and presses nothing out.
  StrokeStep step(5, 2, 1, 44);
  fill(*step.headA, {0, 0, 0, 0});
  for (std::size_t z = 0; z < 44; ++z) set(*step.headA, 1, 0, {0, 0, 0, kSolid}, z);
  for (std::size_t z = 40; z < 44; ++z) set(*step.headA, 0, 0, {0, 0, 0, kSolid}, z);
  const Texel bottom{10, 20, 30, 252};
  const auto distinct = [](std::size_t z) { return Texel{static_cast<std::uint8_t>(100 + z), static_cast<std::uint8_t>(z), 0, 252}; };
  for (std::size_t z = 22; z < 25; ++z) set(*step.headA, 0, 0, bottom, z);
  for (std::size_t z = 25; z < 40; ++z) set(*step.headA, 0, 0, distinct(z), z);
  const Texel canvas{250, 0, 100, 255};
  set(*step.wet0, 2, 2, canvas);
  set(*step.grid0, 2, 2, {252, 0, 0, TOOL_FLUID});

  step.paintStep("DAEToolModel_brush_paint", {{2, 2, 0.0f}}, descriptorRecord(0, 0, 40, 0.5f, 0.5f, 1));

  std::size_t lowest = 0;
  while (lowest < 40 && at(*step.headA, 0, 0, lowest)[3] == 0) ++lowest;
  const int smeared = 22 - static_cast<int>(lowest);
  ASSERT_GT(smeared, 0) << "the column smeared some of the canvas up";
  EXPECT_EQ(at(*step.wet1, 2, 2)[3], 255 - smeared) << "what the canvas lost";
  const auto merged = [&](int b, int c) { return static_cast<std::uint8_t>((3 * b + smeared * c + (3 + smeared) / 2) / (3 + smeared)); };
  const Texel mixed{merged(bottom[0], canvas[0]), merged(bottom[1], canvas[1]), merged(bottom[2], canvas[2]), 252};
  for (std::size_t z = lowest; z < 40; ++z) {
    const Texel cell = at(*step.headA, 0, 0, z);
    if (z < 25) {
      EXPECT_EQ(cell, mixed) << "z " << z << " of the merged run";
    } else {
      EXPECT_EQ(cell, distinct(z)) << "z " << z;
    }
  }
}

}  // namespace
