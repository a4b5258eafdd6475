// The tool-model kernels that move paint between a head and the window: conservation, determinism
// whatever the thread count, relief, the cells each kernel may write, and the pickup.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <optional>
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
// just past its front edge a share thicker, as many of each; nothing is made or lost.
TEST(ToolModelStrokeKernels, ARollersDrumRollsOnAShareOfTheFilmByItsWetnessForemostFirst) {
  constexpr int kFilm = 40, kFilmCells = 40 * 40;
  const struct {
    std::uint8_t wetness;
    float dx, dy;
    int share;
  } cases[] = {{252, 1, 0, 10}, {128, 1, 0, 5}, {252, 1, 1, 10}, {252, -1, 0, 10}};
  for (const auto& c : cases) {
    StrokeStep step(48, 12, 12, 32);
    step.initialize(kKnife);
    lay(step, {4, 4, 44, 44, {200, 60, 30, kFilm}, c.wetness});
    std::memcpy(step.headB->texels().texel(0, 0, 0), step.headA->texels().texel(0, 0, 0), contents(*step.headA).size());
    auto textures = step.windowTextures();
    textures[TEXTURE_TOOL_READ] = step.headA, textures[TEXTURE_TOOL_WRITE] = step.headB;
    auto buffers = sampleBuffers({{24 + c.dx, 24 + c.dy}});
    buffers[BUFFER_VALUE] = floatRecord({24, 24, 0.8f});
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
    const std::string what = "wetness " + std::to_string(c.wetness) + ", step " + std::to_string(c.dx) + ", " + std::to_string(c.dy);
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
