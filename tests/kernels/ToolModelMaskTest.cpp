// A whole stroke step on a masked window: the paint pass, the overlay map, the blur and the mask
// keep every masked cell as it was, paint is conserved between head and window, and a soft edge
// follows the one rule of the paint model.

#include <gtest/gtest.h>

#include "ToolModelKernelFixture.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

const Bytes kBrush = descriptorRecord(6, 6, 16, 6, 6, 5, 9, 0.4f);
const Bytes kKnife = descriptorRecord(6, 6, 16, 6, 6, 5, 17, 0.4f);
const StepHead kBrushHead{"DAEToolModel_brush_paint", "DAEToolModel_brush_fill", &kBrush};
const StepHead kKnifeHead{"DAEToolModel_knife_paint", "DAEToolModel_brush_fill", &kKnife};
const StepHead kWideHead{"DAEToolModel_wide_brush_paint", "DAEToolModel_wide_brush_fill", &kNoDescriptor};
const std::vector<Touch> kStroke = {{8, 16, 0.9f}, {10.5f, 16.2f, 0.7f}, {13, 16.6f}, {15.5f, 17, 1.2f}, {18, 17.3f}, {21, 17.5f, 0.5f}};

// Old wet paint over the middle of the window, dry paint under part of it.
void layOldPaint(StrokeStep& step) {
  for (std::size_t y = 8; y < 26; ++y)
    for (std::size_t x = 4; x < 26; ++x) {
      set(*step.wet0, x, y, {30, 90, 200, 60});
      set(*step.grid0, x, y, {252, 0, 0, TOOL_FLUID});
      if (x < 12) set(*step.dry0, x, y, {200, 200, 10, 25});
    }
}

// A mask whose texels at window cell (x, y) (moved by `offset`) are clear where `clear` says, and
// of alpha `open` elsewhere.
template <typename Clear>
std::shared_ptr<gpu::Texture> maskOver(std::size_t side, std::size_t offset, Clear clear, std::uint8_t open) {
  const auto mask = texture(side + offset, side + offset);
  fill(*mask, {255, 255, 255, open});
  for (std::size_t y = 0; y < side; ++y)
    for (std::size_t x = 0; x < side; ++x)
      if (clear(x, y)) set(*mask, x + offset, y + offset, {0, 0, 0, 0});
  return mask;
}

// Every case at two offsets of the mask, and with the open texels opaque or of a soft edge's
// partial alpha: only alpha 0 masks (as the canvas's hit test answers), any other alpha lets the
// stroke through in full, so the partial masks give the opaque one's bytes exactly.
TEST(ToolModelMask, AStepNeverChangesAMaskedCellAndConservesPaint) {
  struct Case {
    const char* what;
    const StepHead* head;
    bool loaded;
    bool (*clear)(std::size_t, std::size_t);
  };
  const auto band = [](std::size_t x, std::size_t) { return x >= 12 && x < 17; };
  const auto everywhere = [](std::size_t, std::size_t) { return true; };
  const auto checks = [](std::size_t x, std::size_t y) { return (x / 3 + y / 3) % 2 == 0; };
  const Case cases[] = {
      {"loaded brush across a band", &kBrushHead, true, band},
      {"empty brush smearing across a band", &kBrushHead, false, band},
      {"loaded knife across checks", &kKnifeHead, true, checks},
      {"empty knife across checks", &kKnifeHead, false, checks},
      {"loaded brush, all masked", &kBrushHead, true, everywhere},
      {"loaded wide brush across checks", &kWideHead, true, checks},
      {"empty wide brush smearing across a band", &kWideHead, false, band},
  };
  for (const Case& c : cases) {
    std::vector<Bytes> opaque;
    for (const auto& [offset, open] : {std::pair<std::size_t, std::uint8_t>{0, 255}, {5, 255}, {0, 1}, {5, 128}, {0, 254}}) {
      StrokeStep step = c.head->step();
      if (c.loaded) step.fillHead(c.head->fill, {0.8f, 0.3f, 0.1f, 1}, 1, *c.head->descriptor);
      layOldPaint(step);
      const auto before = [&] { return std::vector{contents(*step.grid0), contents(*step.wet0), contents(*step.dry0)}; };
      const auto was = before();
      const auto head = contents(*step.headA);
      const long total = c.head->paintOn(*step.headA) + windowPaint(*step.wet0);

      step.paintStep(c.head->paint, kStroke, *c.head->descriptor, true, maskOver(32, offset, c.clear, open),
                     offsetRecord(static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(offset)));

      const auto now = before();
      std::size_t changed = 0;
      for (std::size_t y = 0; y < 32; ++y)
        for (std::size_t x = 0; x < 32; ++x) {
          const std::size_t at = (y * 32 + x) * 4;
          const bool same = std::equal(was[0].begin() + at, was[0].begin() + at + 4, now[0].begin() + at) &&
                            std::equal(was[1].begin() + at, was[1].begin() + at + 4, now[1].begin() + at) &&
                            std::equal(was[2].begin() + at, was[2].begin() + at + 4, now[2].begin() + at);
          if (c.clear(x, y)) {
            EXPECT_TRUE(same) << c.what << ", offset " << offset << ": masked cell " << x << ", " << y;
          }
          changed += !same;
        }
      EXPECT_EQ(c.head->paintOn(*step.headA) + windowPaint(*step.wet0), total) << c.what << ", offset " << offset;
      if (c.clear == +everywhere) {
        EXPECT_EQ(changed, 0u) << c.what;
        EXPECT_EQ(contents(*step.headA), head) << c.what;
      } else {
        EXPECT_GT(changed, 0u) << c.what << ": the stroke did nothing at all";
      }
      const std::vector<Bytes> result{now[0], now[1], contents(*step.headA)};
      if (open == 255) opaque = result;
      EXPECT_EQ(result, opaque) << c.what << ": a soft edge of alpha " << int{open} << " differs from an opaque one";
    }
  }
}

// A knife drawn through thick wet paint along a masked line, its blade lying across the line, the
// paint all on one side: what the blade drives aside goes neither into the line nor past it, even
// where every other cell under the blade is open, so the far side stays bare.
TEST(ToolModelMask, AKnifeDrivesNoPaintPastAMaskedLineUnderItsBlade) {
  const struct {
    const char* what;
    bool across;  // the line runs down the window (and the stroke with it), not along it
  } cases[] = {{"a line along the window", false}, {"a line down the window", true}};
  for (const auto& c : cases) {
    // Along the line, and across it: the window's x and y for a line along the window.
    const auto along = [&](std::size_t x, std::size_t y) { return c.across ? y : x; };
    const auto across = [&](std::size_t x, std::size_t y) { return c.across ? x : y; };
    StrokeStep step(48, 12, 12, 32);
    step.initialize(kKnife);
    for (std::size_t y = 0; y < 48; ++y)
      for (std::size_t x = 0; x < 48; ++x)
        if (along(x, y) >= 8 && along(x, y) < 40 && across(x, y) >= 8 && across(x, y) < 24) {
          set(*step.wet0, x, y, {200, 60, 30, 100});
          set(*step.grid0, x, y, {252, 0, 0, TOOL_FLUID});
        }
    const auto mask = texture(48, 48);
    fill(*mask, {255, 255, 255, 255});
    for (std::size_t i = 0; i < 48; ++i) set(*mask, c.across ? 24 : i, c.across ? i : 24, {0, 0, 0, 0});
    const long total = headPaint(*step.headA) + windowPaint(*step.wet0);
    std::vector<Touch> path;
    for (int i = 0; i <= 24; ++i) {
      const float a = 6 + 36.0f * static_cast<float>(i) / 24;
      path.push_back(c.across ? Touch{24, a, 1.0f} : Touch{a, 24, 1.0f});
    }
    for (std::size_t first = 0; first < path.size(); first += 3)
      step.paintStep("DAEToolModel_knife_paint", {path.begin() + first, path.begin() + std::min(first + 3, path.size())}, kKnife,
                     true, mask);
    EXPECT_EQ(headPaint(*step.headA) + windowPaint(*step.wet0), total) << c.what;
    EXPECT_GT(headPaint(*step.headA), 0) << c.what << ": the blade took nothing up";
    for (std::size_t y = 0; y < 48; ++y)
      for (std::size_t x = 0; x < 48; ++x)
        if (across(x, y) >= 24) {
          EXPECT_EQ(at(*step.wet0, x, y)[3], 0) << c.what << ": paint at " << x << ", " << y;
        }
  }
}

}  // namespace
