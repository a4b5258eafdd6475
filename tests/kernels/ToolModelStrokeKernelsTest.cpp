// The tool-model kernels that move paint between a head and the window: conservation, determinism
// whatever the thread count, relief, the cells each kernel may write, and the pickup.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <optional>
#include <set>
#include <string>

#include "gpu/Parallel.h"

#include "ToolModelKernelFixture.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

// A 12 x 12 x 32 brush head, tip 16 cells up in a circle of radius 5, drawn across a 32 x 32 window.
const Bytes kBrush = descriptorRecord(6, 6, 16, 6, 6, 5, 9, 0.4f);
const Bytes kKnife = descriptorRecord(6, 6, 16, 6, 6, 5, 17, 0.4f);
const std::vector<Touch> kStroke = {{8, 16, 0.9f}, {10.5f, 16.2f, 0.7f}, {13, 16.6f}, {15.5f, 17, 1.2f}, {18, 17.3f}, {21, 17.5f, 0.5f}};

struct Wet {
  std::size_t x0, y0, x1, y1;
  Texel paint;
  std::uint8_t wetness;
};

void lay(StrokeStep& step, const Wet& w) {
  for (std::size_t y = w.y0; y < w.y1; ++y)
    for (std::size_t x = w.x0; x < w.x1; ++x) {
      set(*step.wet0, x, y, w.paint);
      set(*step.grid0, x, y, {w.wetness, 0, 0, TOOL_FLUID});
    }
}

// A cell's wet thickness as the step leaves it: the written copy where the pass changed the cell.
int thicknessAfter(const StrokeStep& step, std::size_t x, std::size_t y) { return wetAfter(step, x, y)[3]; }

const StepHead kBrushHead{"DAEToolModel_brush_paint", "DAEToolModel_brush_fill", &kBrush};
const StepHead kKnifeHead{"DAEToolModel_knife_paint", "DAEToolModel_brush_fill", &kKnife};
const StepHead kWideHead{"DAEToolModel_wide_brush_paint", "DAEToolModel_wide_brush_fill", &kNoDescriptor};

// A loaded head over a bare window, and an empty head over wet paint: what the head and the window
// hold together does not change, and some of it did move.
TEST(ToolModelStrokeKernels, MovesPaintWithoutMakingOrLosingAny) {
  for (const StepHead* h : {&kBrushHead, &kKnifeHead, &kWideHead})
    for (const bool loaded : {true, false}) {
      StrokeStep step = h->step();
      if (loaded) {
        step.fillHead(h->fill, {0.8f, 0.3f, 0.1f, 1}, 1, *h->descriptor);
      } else {
        lay(step, {4, 8, 26, 26, {30, 90, 200, 40}, 252});
      }
      const long head = h->paintOn(*step.headA), window = windowPaint(*step.wet0);
      step.paintStep(h->paint, kStroke, *h->descriptor);
      const long headAfter = h->paintOn(*step.headA), windowAfter = windowPaint(*step.wet0);
      EXPECT_EQ(headAfter + windowAfter, head + window) << h->paint << " loaded " << loaded;
      EXPECT_NE(headAfter, head) << h->paint << " loaded " << loaded;
    }
}

// The same stroke twice gives the same bytes, on one thread and on eight.
TEST(ToolModelStrokeKernels, SameStrokeSameBytesOnAnyThreadCount) {
  for (const StepHead* h : {&kBrushHead, &kWideHead}) {
    std::vector<Bytes> results;
    for (int threads : {1, 8, 1}) {
      gpu::setWorkerThreadCount(static_cast<std::size_t>(threads));
      StrokeStep step = h->step();
      step.fillHead(h->fill, {0.8f, 0.3f, 0.1f, 0.6f}, 0.8f, *h->descriptor);
      lay(step, {14, 4, 30, 20, {30, 90, 200, 60}, 200});
      step.paintStep(h->paint, kStroke, *h->descriptor);
      Bytes all = contents(*step.headA);
      for (const auto& t : {step.wet0, step.grid0}) {
        const Bytes b = contents(*t);
        all.insert(all.end(), b.begin(), b.end());
      }
      results.push_back(all);
    }
    gpu::setWorkerThreadCount(0);
    EXPECT_EQ(results[0], results[1]) << h->paint;
    EXPECT_EQ(results[0], results[2]) << h->paint;
  }
}

// A stroke stands up from the bare canvas in the height image along its path only.
TEST(ToolModelStrokeKernels, StrokeRaisesTheHeightAlongItsPathOnly) {
  StrokeStep step(32, 12, 12, 32);
  step.initialize(kBrush);
  step.fillHead("DAEToolModel_brush_fill", {0.8f, 0.3f, 0.1f, 1}, 1, kBrush);
  step.paintStep("DAEToolModel_brush_paint", kStroke, kBrush);
  const auto height = texture(32, 32), color = texture(32, 32);
  run({"texture_data_to_height_image",
       {{TEXTURE_WET_READ, step.wet0}, {TEXTURE_DRY_READ, step.dry0}, {TEXTURE_HEIGHT_IMAGE_WRITE, height},
        {TEXTURE_COLOR_IMAGE_WRITE, color}},
       {}, height});
  int underThePath = 0;
  for (std::size_t x = 10; x < 20; ++x) underThePath = std::max({underThePath, int{at(*height, x, 16)[0]}, int{at(*height, x, 17)[0]}});
  EXPECT_GT(underThePath, 0);
  EXPECT_EQ(at(*height, 14, 2)[0], 0);   // far from it
  EXPECT_EQ(at(*height, 30, 30)[0], 0);
}

// A head works by the distance it travels, visiting each cell corner its path comes to once: the
// same path drawn with three times the samples leaves the same window and head, byte for byte. So
// does a brush laying its load (a brush laying by the sample would lay three times as much), a wide
// brush, whose flat head is given paint nearly dry, and a knife cutting through paint thicker than
// it carries. The brush's and the knife's are the same with the stroke's first sample alone in a
// step (the knife pushes on nothing of what it scraped up where it landed), the brush's with its
// samples spread over many steps of three as well.
TEST(ToolModelStrokeKernels, AHeadWorksByTheDistanceTravelledWhateverTheSamplesAndSteps) {
  // The window and head after `samples` along the path, the first step taking `first` of them and
  // each after it `perStep`.
  const auto stroke = [](const StepHead& h, bool thick, int samples, int first, int perStep) {
    StrokeStep step = h.step();
    step.fillHead(h.fill, {0.8f, 0.3f, 0.1f, h.flat() ? 0.03f : 1}, 1, *h.descriptor);
    if (thick) lay(step, {0, 8, 32, 24, {30, 90, 200, 120}, 252});
    for (int from = 0, count = first; from < samples; from += count, count = perStep) {
      std::vector<Touch> touches;
      for (int i = from; i < std::min(from + count, samples); ++i) touches.push_back({4 + 24.0f * i / (samples - 1), 16});
      step.paintStep(h.paint, touches, *h.descriptor);
    }
    Bytes out = contents(*step.wet0);
    const Bytes head = contents(*step.headA);
    out.insert(out.end(), head.begin(), head.end());
    return std::pair{windowPaint(*step.wet0), out};
  };
  const struct {
    const StepHead* head;
    bool thick, landingAlone, stepsOfThree;
  } cases[] = {{&kBrushHead, false, true, true}, {&kWideHead, false, false, false}, {&kKnifeHead, true, true, false}};
  for (const auto& c : cases) {
    const auto sparse = stroke(*c.head, c.thick, 9, 9, 9);
    ASSERT_GT(sparse.first, 30) << c.head->paint;
    EXPECT_TRUE(stroke(*c.head, c.thick, 25, 25, 25).second == sparse.second) << "denser samples, " << c.head->paint;
    if (c.landingAlone) {
      EXPECT_TRUE(stroke(*c.head, c.thick, 25, 1, 24).second == sparse.second) << "landing alone, " << c.head->paint;
    }
    if (c.stepsOfThree) {
      EXPECT_TRUE(stroke(*c.head, c.thick, 25, 3, 3).second == sparse.second) << "steps of three, " << c.head->paint;
    }
  }
}

// Where a stroke lands is the same however its samples fall into steps, one, two, four a step or
// all in one: a stroke's first sample, which cannot know whether others come with it, travels one
// cell and goes no way. Samples 3 cells apart from (10, 24), along y = 24 and, on a bare window,
// on a slope whose cell visits lie less than a cell apart, and the closing step that ends the
// stroke: the landing columns, x 4 to 6, hold the same bytes every time. On x = 4 only the landing visit's
// head reaches: a fully loaded wide brush pressed upright lays 255/256 of a byte for that cell
// from the fraction its fill started the column at (the ledger's, in sixteenths), one byte on
// every such cell whose column started above nought. A brush lays by its travel too; a knife
// pushes nothing on there.
TEST(ToolModelStrokeKernels, AStrokesStartIsTheSameHoweverItsSamplesAreGrouped) {
  const struct {
    const StepHead* head;
    bool wet;
  } cases[] = {{&kWideHead, false}, {&kWideHead, true}, {&kBrushHead, false}, {&kBrushHead, true}, {&kKnifeHead, true}};
  for (const auto& c : cases)
    for (const float slope : {0.0f, 0.8f}) {
      if (c.wet && slope != 0) continue;  // wet paint's fractions and blurs part by a byte on a slope
      const std::string what = std::string(c.head->paint) + (c.wet ? " through wet paint" : " on a bare window") +
                               ", slope " + std::to_string(slope);
      std::vector<Touch> path;
      for (int i = 0; i < 10; ++i) path.push_back({10.0f + 3 * i, 24 + 3 * slope * i, 1, std::numbers::pi_v<float> / 2});
      std::optional<Bytes> first;
      for (const std::size_t perStep : {1u, 2u, 4u, 10u}) {
        StrokeStep step(48, 12, 12, c.head->flat() ? 3 : 32);
        if (!c.head->flat()) step.initialize(*c.head->descriptor);
        step.fillHead(c.head->fill, {0.8f, 0.3f, 0.1f, 1}, 1, *c.head->descriptor);
        const Bytes filled = contents(*step.headA);
        if (c.wet) lay(step, {0, 12, 48, 36, {30, 90, 200, 24}, 252});
        for (std::size_t i = 0; i < path.size(); i += perStep)
          step.paintStep(c.head->paint, {path.begin() + i, path.begin() + std::min(i + perStep, path.size())}, *c.head->descriptor);
        step.paintStep(c.head->paint, {}, *c.head->descriptor);
        Bytes landing;
        for (std::size_t y = 12; y < 36; ++y)
          for (std::size_t x = 4; x < 7; ++x) {
            const Texel wet = at(*step.wet0, x, y), grid = at(*step.grid0, x, y);
            landing.insert(landing.end(), {wet[0], wet[1], wet[2], wet[3], grid[0], grid[1], grid[3]});
            // The flat head's column (x - 4, y - 18) lays there; its ledger's B carries the fractions.
            if (c.head->flat() && !c.wet && slope == 0 && x == 4 && y >= 18 && y < 30) {
              const std::uint8_t fractions = filled[4 * ((2 * 12 + (y - 18)) * 12 + (x - 4)) + 2];
              EXPECT_EQ(wet[3], fractions >> 4 > 0 ? 1 : 0) << what << ", " << perStep << " a step, at " << x << ", " << y;
            }
          }
        if (!first) first = landing;
        EXPECT_EQ(landing, *first) << what << ", " << perStep << " a step";
      }
    }
}

// The fractions of a byte the wide brushes' columns carry start somewhere in a byte, apart from
// one another, so that a fresh head's columns do not reach a whole byte together and lay in
// stripes: those a fill starts, and those a cleaned head's columns start at when they first take
// paint up (one sample through wet paint, which lays nothing from an empty tip): the ledgers' lay
// and smear sixteenths (B's high and low four bits) take more than one value across the columns.
TEST(ToolModelStrokeKernels, AFreshWideHeadsColumnsStartTheirFractionsApart) {
  for (const bool filled : {true, false}) {
    StrokeStep step(32, 12, 12, 3);
    if (filled) {
      step.fillHead(kWideHead.fill, {0.8f, 0.3f, 0.1f, 1}, 1, kNoDescriptor);
    } else {
      lay(step, {0, 0, 32, 32, {30, 90, 200, 40}, 252});
      step.paintStep(kWideHead.paint, {{16, 16, 1, std::numbers::pi_v<float> / 2}}, kNoDescriptor);
    }
    std::set<int> lay, smear;
    for (std::size_t y = 0; y < 12; ++y)
      for (std::size_t x = 0; x < 12; ++x) {
        const Texel ledger = at(*step.headA, x, y, 2);
        ASSERT_EQ(ledger[3], kSolid) << (filled ? "filled" : "cleaned") << ": every column holds paint";
        lay.insert(ledger[2] >> 4), smear.insert(ledger[2] & 15);
      }
    EXPECT_GT(lay.size(), 1u) << (filled ? "filled" : "cleaned");
    EXPECT_GT(smear.size(), 1u) << (filled ? "filled" : "cleaned");
  }
}

// A stroke's closing step brings the path start, where the last step ended, and no sample (or
// none at a finite place): every paint pass that holds its trail back from the blur levels what
// the step before held, all of it (marked as changed, so the blur levels it), holds nothing and
// changes no byte of paint or head. A stroke from (20, 7) to (2, 2) over wet paint, ending by the
// window's corner.
TEST(ToolModelStrokeKernels, TheClosingStepLevelsWhatTheStepBeforeHeldAndHoldsNothing) {
  constexpr std::uint32_t kTurpentine = 15, kTowel = 34;
  const Bytes sponge = descriptorRecord(6, 6, 16, 6, 6, 5, kTurpentine), towel = descriptorRecord(6, 6, 16, 6, 6, 5, kTowel);
  const struct {
    const char* kernel;
    const char* fill;
    const Bytes* descriptor;
  } cases[] = {{"DAEToolModel_brush_paint", "DAEToolModel_brush_fill", &kBrush},
               {"DAEToolModel_knife_paint", "DAEToolModel_knife_fill", &kKnife},
               {"Roller_paint", nullptr, &kKnife},
               {"DAEToolModel_towel_paint", nullptr, &towel},
               {"Turpentine_paint", nullptr, &sponge},
               {"FluffyMop_paint", nullptr, &kBrush},
               {"DAEToolModel_brush_bristle_paint", nullptr, &kBrush}};
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const auto& c : cases)
    for (const bool brokenSample : {false, true}) {
      const std::string what = std::string(c.kernel) + (brokenSample ? ", a sample at no place" : ", no sample");
      StrokeStep step(32, 12, 12, 32);
      step.initialize(*c.descriptor);
      if (c.fill) step.fillHead(c.fill, {0.8f, 0.3f, 0.1f, 1}, 1, *c.descriptor);
      lay(step, {0, 0, 32, 32, {30, 90, 200, 40}, 252});
      step.paintStep(c.kernel, {{20, 7}, {14, 5}, {8, 3}, {2, 2}}, *c.descriptor);
      std::vector<std::pair<std::size_t, std::size_t>> held;
      for (std::size_t y = 0; y < 32; ++y)
        for (std::size_t x = 0; x < 32; ++x)
          if (at(*step.grid0, x, y)[2] == 3) held.emplace_back(x, y);
      ASSERT_FALSE(held.empty()) << what;
      const Bytes head = contents(*step.headA);
      const long paint = windowPaint(*step.wet0);
      step.paintStep(c.kernel, brokenSample ? std::vector<Touch>{{nan, nan}} : std::vector<Touch>{}, *c.descriptor);
      for (const auto& [x, y] : held) EXPECT_EQ(at(*step.grid0, x, y)[2], 1) << what << ": levelled at " << x << ", " << y;
      std::size_t stillHeld = 0;
      for (std::size_t y = 0; y < 32; ++y)
        for (std::size_t x = 0; x < 32; ++x) stillHeld += at(*step.grid0, x, y)[2] == 3;
      EXPECT_EQ(stillHeld, 0u) << what;
      EXPECT_EQ(windowPaint(*step.wet0), paint) << what;
      EXPECT_EQ(contents(*step.headA), head) << what;
    }
}

// The round brush's tip, pressed upright at force 1: radius 4 cells, 16 bytes thick. A tap, its
// one sample at a cell's centre, is pressed down: it lays half the thickness, 8 bytes, on every
// cell within 3 cells of it, a part of that on the rim's cells, up to 4 cells off, and nothing
// further. A line along a row of cell centres lays, on a cell c rows off it, 16 x the length of
// path within 3.5 cells (the middle of the rim's cells) over 7: 16 under the middle, 15.33,
// 13.13 and 8.24 on the rows beside it, nothing 4 rows off; each cell rounds its own share
// from a fraction of its own, so a row holds that on average.
TEST(ToolModelStrokeKernels, TheRoundBrushLaysADotForATapAndItsTipsCrossSectionAlongALine) {
  constexpr float kUpright = std::numbers::pi_v<float> / 2;
  const auto laid = [](const std::vector<Touch>& touches) {
    StrokeStep step(32, 1, 1, 1);
    run({"DAEToolModel_brush_bristle_paint", step.windowTextures(), sampleBuffers(touches), step.grid0});
    std::vector<int> out(32 * 32, 0);
    for (std::size_t y = 0; y < 32; ++y)
      for (std::size_t x = 0; x < 32; ++x)
        if (changedByPass(at(*step.grid1, x, y))) out[y * 32 + x] = at(*step.wet1, x, y)[3];
    return out;
  };
  const std::vector<int> dot = laid({{16.5f, 16.5f, 1, kUpright}});
  for (std::size_t y = 0; y < 32; ++y)
    for (std::size_t x = 0; x < 32; ++x) {
      const float d = std::hypot(static_cast<float>(x) - 16, static_cast<float>(y) - 16);
      const int bytes = dot[y * 32 + x];
      if (d <= 3) {
        EXPECT_EQ(bytes, 8) << "a tap, at " << x << ", " << y;
      } else if (d < 4) {
        EXPECT_TRUE(bytes > 0 && bytes < 8) << "a tap, at " << x << ", " << y << ": " << bytes;
      } else {
        EXPECT_EQ(bytes, 0) << "a tap, at " << x << ", " << y;
      }
    }
  std::vector<Touch> line;
  for (int i = 0; i <= 24; ++i) line.push_back({4.5f + static_cast<float>(i), 16.5f, 1, kUpright});
  const std::vector<int> trail = laid(line);
  const double crossSection[] = {16, 15.33, 13.13, 8.24, 0};
  for (std::size_t c = 0; c < 5; ++c)
    for (const std::size_t y : {16 - c, 16 + c}) {
      double sum = 0;
      for (std::size_t x = 10; x < 23; ++x) sum += trail[y * 32 + x];
      EXPECT_NEAR(sum / 13, crossSection[c], 0.35) << "a line, row " << y;
    }
}

// Each kernel writes only the textures it owns: every other bound texture keeps its bytes. A
// stroke that runs off the window's corner writes nothing beyond it either.
TEST(ToolModelStrokeKernels, WriteOnlyTheTexturesTheyOwn) {
  struct Case {
    const char* kernel;
    std::vector<std::int64_t> owned;
    bool overHead;
  } cases[] = {
      {"DAEToolModel_brush_paint", {TEXTURE_GRID_WRITE, TEXTURE_WET_WRITE, TEXTURE_TOOL_WRITE}, false},
      {"DAEToolModel_knife_paint", {TEXTURE_GRID_WRITE, TEXTURE_WET_WRITE, TEXTURE_TOOL_WRITE}, false},
      {"DAEToolModel_brush_pickup", {TEXTURE_TOOL_WRITE}, false},
      {"DAEToolModel_knife_pickup", {TEXTURE_TOOL_WRITE}, false},
      {"DAEToolModel_wide_brush_pickup", {TEXTURE_TOOL_WRITE}, false},
      {"DAEToolModel_brush_fill", {TEXTURE_TOOL_WRITE}, true},
      {"DAEToolModel_knife_fill", {TEXTURE_TOOL_WRITE}, true},
      {"DAEToolModel_wide_brush_fill", {TEXTURE_TOOL_WRITE}, true},
      {"DAEToolModel_initialize", {TEXTURE_TOOL_WRITE, TEXTURE_GRID_WRITE}, true},
      {"DAEToolModel_paint_height", {TEXTURE_HEIGHT_IMAGE_WRITE}, false},
  };
  for (const Case& c : cases) {
    StrokeStep step(32, 12, 12, 32);
    step.initialize(kBrush);
    lay(step, {0, 0, 32, 32, {30, 90, 200, 40}, 252});
    std::memcpy(step.headB->texels().texel(0, 0, 0), step.headA->texels().texel(0, 0, 0), contents(*step.headA).size());
    fill(*step.grid1, {0, 0, 0, 0});
    fill(*step.wet1, {7, 7, 7, 7});
    fill(*step.dry0, {5, 6, 7, 8});
    fill(*step.dry1, {8, 7, 6, 5});
    auto textures = step.windowTextures();
    textures[TEXTURE_TOOL_READ] = step.headA, textures[TEXTURE_TOOL_WRITE] = step.headB;
    textures[TEXTURE_HEIGHT_IMAGE_WRITE] = texture(12, 12);
    textures[TEXTURE_GROUND] = texture(8, 8);
    auto buffers = sampleBuffers({{1, 1, 1.5f}, {30.5f, 31, 1.5f}});
    buffers[BUFFER_DAE_DESCRIPTOR] = kBrush;
    buffers[BUFFER_COLOR] = floatRecord({0.5f, 0.5f, 0.5f, 1});
    std::map<std::int64_t, Bytes> before;
    for (const auto& [slot, t] : textures) before[slot] = contents(*t);
    run({c.kernel, textures, buffers, c.overHead ? step.headB : step.grid0, c.overHead});
    bool wrote = false;
    for (const auto& [slot, t] : textures) {
      const bool owned = std::find(c.owned.begin(), c.owned.end(), slot) != c.owned.end();
      if (!owned) {
        EXPECT_EQ(contents(*t), before[slot]) << c.kernel << " wrote slot " << slot;
      }
      wrote = wrote || contents(*t) != before[slot];
    }
    EXPECT_TRUE(wrote) << c.kernel;
  }
}

// An empty head drawn along the window's left edge over wet paint: the head reaches past the edge,
// and nothing wraps round into the far side of the window.
TEST(ToolModelStrokeKernels, StrokeOverTheEdgeReachesNothingBeyondIt) {
  for (const char* kernel : {"DAEToolModel_brush_paint", "DAEToolModel_knife_paint"}) {
    StrokeStep step(32, 12, 12, 32);
    step.initialize(kBrush);
    lay(step, {0, 0, 32, 32, {30, 90, 200, 40}, 252});
    const Bytes wet = contents(*step.wet0);
    step.paintStep(kernel, {{0.5f, 4}, {0.5f, 9}, {-3, 14}, {0.5f, 30.5f}}, kBrush);
    std::size_t changedFar = 0, changedNear = 0;
    for (std::size_t y = 0; y < 32; ++y)
      for (std::size_t x = 0; x < 32; ++x) {
        const bool changed = std::memcmp(step.wet0->texels().texel(x, y), wet.data() + 4 * (y * 32 + x), 4) != 0;
        (x >= 16 ? changedFar : changedNear) += changed;
      }
    EXPECT_EQ(changedFar, 0u) << kernel;
    EXPECT_GT(changedNear, 0u) << kernel;
  }
}

// A pickup reads the emptied head (slot 9) and writes into slot 10 only the cells it fills: under
// each body, as much of the paint below as the column has room for, in the colour one sees there;
// a bare cell loads the background colour when one is given. Without a descriptor the head's
// centre (2, 2) sits on the sample, so column (i, j) meets cell (8 + i, 8 + j).
TEST(ToolModelStrokeKernels, WritesOnlyTheCellsItPicksUp) {
  StrokeStep step(16, 4, 4, 8);
  for (std::size_t z = 0; z < 8; ++z)
    for (std::size_t y = 0; y < 4; ++y)
      for (std::size_t x = 0; x < 4; ++x) set(*step.headA, x, y, z >= 6 ? Texel{0, 0, 0, kSolid} : Texel{}, z);
  fill(*step.headB, {9, 9, 9, 9});
  set(*step.wet0, 9, 8, {200, 100, 50, 3});
  set(*step.grid0, 9, 8, {120, 0, 0, TOOL_FLUID});
  set(*step.dry0, 11, 11, {10, 20, 30, 250});
  auto textures = step.windowTextures();
  textures[TEXTURE_TOOL_READ] = step.headA, textures[TEXTURE_TOOL_WRITE] = step.headB;
  for (bool background : {false, true}) {
    fill(*step.headB, {9, 9, 9, 9});
    auto buffers = sampleBuffers({{10, 10}});
    if (background) buffers[BUFFER_COLOR] = floatRecord({0.5f, 0.25f, 1, 1});
    run({"DAEToolModel_brush_pickup", textures, buffers, step.grid0});
    const Texel untouched{9, 9, 9, 9}, wet{200, 100, 50, 120}, dry{10, 20, 30, 4}, ground{128, 64, 255, 252};
    for (std::size_t z = 0; z < 8; ++z) {
      EXPECT_EQ(at(*step.headB, 1, 0, z), z >= 3 && z < 6 ? wet : untouched) << z;
      EXPECT_EQ(at(*step.headB, 3, 3, z), z < 6 ? dry : untouched) << z;  // dry paint, least wet
      EXPECT_EQ(at(*step.headB, 0, 1, z), background && z < 6 ? ground : untouched) << z;
      EXPECT_EQ(at(*step.headB, 2, 2, z), background && z < 6 ? ground : untouched) << z;
    }
  }
}

}  // namespace

// A knife drawn forward through wet paint far thicker than its blade holds, each way across the
// blob, three samples a step or one (a slow stroke, whose steps learn the way from the sample
// before): it cuts a trench down near its blade along its path (every cell of the middle line at
// half the blob's height or less) and banks what it cannot carry into ridges beside it, higher
// than the blob stood; head and window keep every byte between them, and one thread gives the
// bytes eight do.
TEST(ToolModelStrokeKernels, KnifeCutsATrenchThroughThickWetPaintAndBanksTheRestBesideIt) {
  constexpr std::uint8_t kBlob = 100;
  struct Case {
    const char* way;
    float x0, y0, x1, y1;
    std::size_t perStep;
  } cases[] = {{"right", 2, 24, 46, 24, 3}, {"down", 24, 2, 24, 46, 3}, {"up and left", 44, 44, 4, 4, 3}, {"right, slowly", 2, 24, 46, 24, 1}};
  for (const Case& c : cases) {
    std::vector<Bytes> results;
    for (int threads : {1, 8}) {
      gpu::setWorkerThreadCount(static_cast<std::size_t>(threads));
      StrokeStep step(48, 12, 12, 32);
      step.initialize(kKnife);
      lay(step, {8, 8, 40, 40, {200, 60, 30, kBlob}, 252});
      const long total = headPaint(*step.headA) + windowPaint(*step.wet0);
      std::vector<Touch> path;
      for (int i = 0; i <= 24; ++i) path.push_back({c.x0 + (c.x1 - c.x0) * i / 24, c.y0 + (c.y1 - c.y0) * i / 24, 1.0f});
      for (std::size_t first = 0; first < path.size(); first += c.perStep)
        step.paintStep("DAEToolModel_knife_paint", {path.begin() + first, path.begin() + std::min(first + c.perStep, path.size())}, kKnife);
      EXPECT_EQ(headPaint(*step.headA) + windowPaint(*step.wet0), total) << c.way;
      for (int i = 0; i <= 96; ++i) {
        const auto x = static_cast<std::size_t>(c.x0 + (c.x1 - c.x0) * i / 96), y = static_cast<std::size_t>(c.y0 + (c.y1 - c.y0) * i / 96);
        if (x >= 10 && x < 38 && y >= 10 && y < 38) {
          EXPECT_LE(at(*step.wet0, x, y)[3], kBlob / 2) << c.way << " at " << x << ", " << y;
        }
      }
      int highest = 0;
      for (std::size_t y = 8; y < 40; ++y)
        for (std::size_t x = 8; x < 40; ++x) highest = std::max(highest, int{at(*step.wet0, x, y)[3]});
      EXPECT_GT(highest, kBlob + 40) << c.way << ": no ridge";
      results.push_back(contents(*step.wet0));
      const Bytes head = contents(*step.headA);
      results.back().insert(results.back().end(), head.begin(), head.end());
    }
    gpu::setWorkerThreadCount(0);
    EXPECT_EQ(results[0], results[1]) << c.way;
  }
}

// A roller's drum rolls on a quarter of the wet paint under it, times its wetness over 252, to the
// cell as far on as it moves, foremost first, so each cell moves only paint that lay there before.
// Drawn backward (it lifts nothing) and empty (it trades nothing), one sample a cell on (along, or
// across a corner) from where its path starts, over an even film of 40 bytes: every cell the drum covers and comes to from behind
// gives and gets that share and stays at 40, each at its rear edge ends a share thinner and each
// just past its front edge a share thicker, as many of each; nothing is made or lost. The same when
// the stroke starts in the dispatch, one cell before: where the drum lands it rolls nothing on.
TEST(ToolModelStrokeKernels, ARollersDrumRollsOnAShareOfTheFilmByItsWetnessForemostFirst) {
  constexpr int kFilm = 40, kFilmCells = 40 * 40;
  const struct {
    std::uint8_t wetness;
    float dx, dy;
    int share;
    bool landsHere = false;  // the stroke's first sample, at (24, 24), comes in the dispatch
  } cases[] = {{252, 1, 0, 10}, {128, 1, 0, 5}, {252, 1, 1, 10}, {252, -1, 0, 10}, {252, 1, 0, 10, true}};
  for (const auto& c : cases) {
    StrokeStep step(48, 12, 12, 32);
    step.initialize(kKnife);
    lay(step, {4, 4, 44, 44, {200, 60, 30, kFilm}, c.wetness});
    std::memcpy(step.headB->texels().texel(0, 0, 0), step.headA->texels().texel(0, 0, 0), contents(*step.headA).size());
    auto textures = step.windowTextures();
    textures[TEXTURE_TOOL_READ] = step.headA, textures[TEXTURE_TOOL_WRITE] = step.headB;
    std::vector<Touch> touches = {{24 + c.dx, 24 + c.dy}};
    if (c.landsHere) touches.insert(touches.begin(), Touch{24, 24});
    auto buffers = sampleBuffers(touches);
    if (!c.landsHere) buffers[BUFFER_VALUE] = floatRecord({24, 24, 0.8f});
    buffers[BUFFER_DAE_DESCRIPTOR] = kKnife;
    buffers[BUFFER_PENCIL_STATE] = Bytes{0, 0, 0, 0, 0, 0, 0, 0};
    run({"Roller_paint", textures, buffers, step.grid0});
    std::map<int, int> levels;  // cells of each thickness, the pass's written copy where it marked them
    long paint = 0;
    for (std::size_t y = 0; y < 48; ++y)
      for (std::size_t x = 0; x < 48; ++x) {
        const int thickness = thicknessAfter(step, x, y);
        paint += thickness;
        if (thickness > 0) ++levels[thickness];
      }
    const std::string what = "wetness " + std::to_string(c.wetness) + ", step " + std::to_string(c.dx) + ", " +
                             std::to_string(c.dy) + (c.landsHere ? ", landing" : "");
    EXPECT_EQ(headPaint(*step.headB), 0) << what;
    EXPECT_EQ(paint, long{kFilmCells} * kFilm) << what;
    EXPECT_GT(levels[kFilm - c.share], 0) << what;
    EXPECT_EQ(levels[kFilm - c.share], levels[kFilm + c.share]) << what;
    EXPECT_EQ(levels[kFilm - c.share] + levels[kFilm] + levels[kFilm + c.share], kFilmCells) << what;
  }
}

// One cell of wet paint far thicker than the blade carries, met only where the blade comes to the
// cell corner of an upright sample at the full press, which sets the empty blade on the surface,
// its path coming on from just behind that corner's square (so that the walk visits that corner
// alone, going the blade's way): the column over it scrapes
// up all it holds (16 cells), and the blade drives the rest off the cell, to the first open cell
// past the blade along each way it drives paint (a cell two ways reach counting once), which are
// bare, raising them to one level (those it hands a left-over byte one higher). So the cell is left
// bare, the cells the paint went to differ by at most a byte, and head and window keep every byte,
// whatever the way the blade goes and wherever under it the cell lies.
TEST(ToolModelStrokeKernels, AKnifeDrivesWhatItCannotCarryOffACellToOneLevelAlongItsWays) {
  const struct {
    float degrees;      // the way the blade travels
    float ahead, side;  // where the cell lies from the second sample, along and across that way
    std::uint8_t thickness;
  } cases[] = {
      {0, 0, 0, 120}, {0, 3, 1, 121}, {45, 0, 0, 122}, {200, 2, 0, 123},
      // at the blade's edge, where two ways reach the same cell first
      {-15, 4, -1, 124}, {-30, 0, -4, 125}, {15, 3, -3, 126}, {120, 4, 1, 127},
  };
  for (const auto& c : cases) {
    const float a = c.degrees * std::numbers::pi_v<float> / 180, ux = std::cos(a), uy = std::sin(a);
    const float x1 = 24.5f, y1 = 24.5f;
    // Back from the sample to the edge of its corner's square, and a little past it.
    const auto back = [](float v, float u) {
      const float corner = std::floor(v + 0.5f);
      return u > 0 ? (v - corner + 0.5f) / u : u < 0 ? (corner + 0.5f - v) / -u : 1e9f;
    };
    const float behind = std::min(back(x1, ux), back(y1, uy)) + 0.01f, x0 = x1 - behind * ux, y0 = y1 - behind * uy;
    const auto cx = static_cast<std::size_t>(std::floor(x1 + c.ahead * ux - c.side * uy)),
               cy = static_cast<std::size_t>(std::floor(y1 + c.ahead * uy + c.side * ux));
    StrokeStep step(48, 12, 12, 32);
    step.initialize(kKnife);
    set(*step.wet0, cx, cy, {200, 60, 30, c.thickness});
    set(*step.grid0, cx, cy, {252, 0, 0, TOOL_FLUID});
    std::memcpy(step.headB->texels().texel(0, 0, 0), step.headA->texels().texel(0, 0, 0), contents(*step.headA).size());
    auto textures = step.windowTextures();
    textures[TEXTURE_TOOL_READ] = step.headA, textures[TEXTURE_TOOL_WRITE] = step.headB;
    auto buffers = sampleBuffers({{x1, y1, 1, std::numbers::pi_v<float> / 2}});
    buffers[BUFFER_VALUE] = floatRecord({x0, y0, 1});
    buffers[BUFFER_DAE_DESCRIPTOR] = kKnife;
    run({"DAEToolModel_knife_paint", textures, buffers, step.grid0});
    const std::string what = std::to_string(c.degrees) + " degrees, the cell " + std::to_string(c.ahead) + " ahead and " +
                             std::to_string(c.side) + " aside";
    int lowest = 255, highest = 0;
    long window = 0;
    for (std::size_t y = 0; y < 48; ++y)
      for (std::size_t x = 0; x < 48; ++x) {
        const int thickness = thicknessAfter(step, x, y);
        window += thickness;
        if (thickness == 0 || (x == cx && y == cy)) continue;
        lowest = std::min(lowest, thickness), highest = std::max(highest, thickness);
      }
    EXPECT_EQ(at(*step.wet1, cx, cy)[3], 0) << what;
    EXPECT_EQ(headPaint(*step.headB), 16) << what;
    EXPECT_EQ(window + headPaint(*step.headB), c.thickness) << what;
    EXPECT_LE(highest - lowest, 1) << what << ": from " << lowest << " to " << highest;
  }
}

// Where a blade lands it goes no way and pushes nothing, nor later what it could not carry there:
// an empty blade riding 6 bytes high (an upright press of 12) lands on a cell 30 thick, its column
// scraping up the 16 it holds and leaving 8 of the 24 above the blade; one cell on, in the same
// step, that column lays 6 of its 16 on the bare cell it comes to, up to the blade's height, and
// the next column takes the 8 up. The cell is left at the blade's height, and no cell gets paint
// pushed onto it.
TEST(ToolModelStrokeKernels, AKnifePushesNothingOfWhatItLeftWhereItLanded) {
  StrokeStep step(32, 12, 12, 32);
  step.initialize(kKnife);
  set(*step.wet0, 16, 16, {200, 60, 30, 30});
  set(*step.grid0, 16, 16, {252, 0, 0, TOOL_FLUID});
  std::memcpy(step.headB->texels().texel(0, 0, 0), step.headA->texels().texel(0, 0, 0), contents(*step.headA).size());
  auto textures = step.windowTextures();
  textures[TEXTURE_TOOL_READ] = step.headA, textures[TEXTURE_TOOL_WRITE] = step.headB;
  constexpr float kUpright = std::numbers::pi_v<float> / 2;
  auto buffers = sampleBuffers({{16, 16, 0.5f, kUpright}, {17, 16, 0.5f, kUpright}});
  buffers[BUFFER_DAE_DESCRIPTOR] = kKnife;
  run({"DAEToolModel_knife_paint", textures, buffers, step.grid0});
  EXPECT_EQ(thicknessAfter(step, 16, 16), 6);
  EXPECT_EQ(thicknessAfter(step, 17, 16), 6);
  EXPECT_EQ(headPaint(*step.headB), 18);
  long window = 0;
  for (std::size_t y = 0; y < 32; ++y)
    for (std::size_t x = 0; x < 32; ++x) window += thicknessAfter(step, x, y);
  EXPECT_EQ(window, 12) << "nothing pushed";
}

// Byte 1 of the pencil state says whether a knife draws forward (all of it absent: forward): only
// then does an empty blade scrape the wet paint up, or drive it on; drawn backward it changes
// nothing, whatever the other bytes hold.
TEST(ToolModelStrokeKernels, AKnifeScrapesOnlyWhileDrawingForward) {
  struct Case {
    std::optional<Bytes> pencil;
    bool scrapes;
  } cases[] = {{std::nullopt, true},
               {Bytes{0, 1, 0, 0, 0, 0, 0, 0}, true},
               {Bytes{0, 0, 0, 0, 0, 0, 0, 0}, false},
               {Bytes{1, 0, 1, 1, 1, 1, 1, 1}, false}};
  for (const Case& c : cases) {
    StrokeStep step(32, 12, 12, 32);
    step.initialize(kKnife);
    lay(step, {4, 8, 28, 26, {30, 90, 200, 80}, 252});
    std::memcpy(step.headB->texels().texel(0, 0, 0), step.headA->texels().texel(0, 0, 0), contents(*step.headA).size());
    const Bytes wet = contents(*step.wet1), head = contents(*step.headB);
    auto textures = step.windowTextures();
    textures[TEXTURE_TOOL_READ] = step.headA, textures[TEXTURE_TOOL_WRITE] = step.headB;
    auto buffers = sampleBuffers(kStroke);
    buffers[BUFFER_DAE_DESCRIPTOR] = kKnife;
    if (c.pencil) buffers[BUFFER_PENCIL_STATE] = *c.pencil;
    run({"DAEToolModel_knife_paint", textures, buffers, step.grid0});
    const std::string what = c.pencil ? "pencil byte 0 " + std::to_string((*c.pencil)[0]) + ", byte 1 " + std::to_string((*c.pencil)[1]) : "no pencil";
    EXPECT_EQ(contents(*step.wet1) != wet, c.scrapes) << what;
    EXPECT_EQ(contents(*step.headB) != head, c.scrapes) << what;
  }
}
