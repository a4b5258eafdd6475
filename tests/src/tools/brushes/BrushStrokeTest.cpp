// Whole strokes of the brushes on a real canvas with undo, their heads measured from the brush
// scenes: the touches reach the tool through the canvas, each display frame draws what came in, the
// stroke crosses from one working window into the next, and undo gives the layer back.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numeric>

#include "StrokeCanvas.h"
#include "TestCanvas.h"
#include "commands/CommandManager.h"
#include "commands/DrawingArtworkDrawingOperation.h"
#include "gpu/Gpu.h"
#include "imaging/Image.h"
#include "StrokeTouches.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/ToolModel.h"
#include "tools/ToolSurface.h"
#include "tools/brushes/FanBrushTools.h"
#include "tools/brushes/FilbertBrushTools.h"
#include "tools/brushes/FlatBrushTools.h"
#include "tools/brushes/RoundBrushTool.h"
#include "ui/Event.h"
#include "ui/FrameSource.h"
#include "ui/TouchSet.h"
#include "utils/KernelInterface.h"
#include "utils/TextureUtil.h"

namespace tessivarium {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Paint as the kernels count it: a layer's wet thickness summed, a head's paint cells.
long wetPaint(const Bytes& wet) {
  long sum = 0;
  for (std::size_t i = 3; i < wet.size(); i += 4) sum += wet[i];
  return sum;
}

long headPaint(const gpu::Texture& head) {
  const Bytes cells = TextureUtil::toRawData(head);
  long n = 0;
  for (std::size_t i = 3; i < cells.size(); i += 4) n += cells[i] != 0 && cells[i] != 255;
  return n;
}

double distanceToPath(double x, double y, const std::vector<graphics::Point>& path) {
  double best = INFINITY;
  for (std::size_t i = 0; i + 1 < path.size(); ++i) {
    const double ax = path[i].x, ay = path[i].y, dx = path[i + 1].x - ax, dy = path[i + 1].y - ay;
    const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    best = std::min(best, std::hypot(x - ax - t * dx, y - ay - t * dy));
  }
  return best;
}

// The touches of a stylus drawn along `from` to `to`, one every 3 points (the first left out).
std::vector<graphics::Point> touchesAlong(graphics::Point from, graphics::Point to) {
  const double length = std::hypot(to.x - from.x, to.y - from.y);
  const int n = static_cast<int>(std::ceil(length / 3));
  std::vector<graphics::Point> out;
  for (int i = 1; i <= n; ++i) out.push_back({from.x + (to.x - from.x) * i / n, from.y + (to.y - from.y) * i / n});
  return out;
}

// Frames of a stroke through `canvas`'s touch methods: touch-down, moves, touch-up, each drawn by
// one display frame.
void stroke(DrawingPaint& canvas, const std::vector<std::vector<graphics::Point>>& frames, double force = 1.0) {
  const auto finger = testsupport::stylusTouch(0, 0);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    std::vector<std::shared_ptr<ui::Touch>> coalesced;
    for (const auto& p : frames[i]) coalesced.push_back(testsupport::stylusTouch(p.x, p.y, ui::TouchPhase::Moved, force));
    ui::Event event;
    event.setCoalescedTouches(finger, coalesced);
    const ui::TouchSet touches{finger};
    if (i == 0) canvas.touchesBegan(touches, &event);
    else if (i + 1 < frames.size()) canvas.touchesMoved(touches, &event);
    else canvas.touchesEnded(touches, &event);
    ui::FrameSource::main().displayFrame();
  }
}

// `tool` current on `canvas`, which starts (measuring and laying the head), the head loaded.
void startWith(const std::shared_ptr<AbstractBrushTool>& tool, DrawingPaint& canvas) {
  AppManager().setCurrentTool(tool);
  canvas.setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(4, 4)));
  while (ui::FrameSource::main().displayFrame() > 0) {
  }
  tool->fillColor(graphics::Color::fromRGBA(0.7, 0.2, 0.1, 1.0), 1.0f, 1.0f);
}

struct Family {
  const char* what;
  std::function<std::shared_ptr<AbstractBrushTool>()> make;
};
void PrintTo(const Family& family, std::ostream* out) { *out << family.what; }

class BrushStroke : public testing::TestWithParam<Family> {};

TEST_P(BrushStroke, PaintsAlongItsStrokeConservesItsPaintAndUndoes) {
  const auto canvas = std::make_shared<DrawingPaint>(MainPaintId, testsupport::flatArtwork(1024, 512));
  AppManager().setCanvas(canvas);
  const auto tool = GetParam().make();
  startWith(tool, *canvas);
  const ToolModel& model = *tool->toolSurface()->getModel();
  auto& layer = *canvas->currentContent();
  const auto bytes = [&] {
    return std::array{TextureUtil::toRawData(*layer.gridTexture()), TextureUtil::toRawData(*layer.wetTexture()),
                      TextureUtil::toRawData(*layer.dryTexture())};
  };
  const long loaded = headPaint(*tool->toolSurface()->getModel()->colorTexture0());
  ASSERT_GT(loaded, 0);
  const auto before = bytes();

  // Left to right across the first window's far edge into a second window, one segment a frame.
  const std::vector<graphics::Point> path = {{150, 200}, {190, 205}, {240, 210}, {300, 214}, {360, 218}};
  std::vector<std::vector<graphics::Point>> frames;
  for (std::size_t i = 0; i + 1 < path.size(); ++i) frames.push_back(touchesAlong(path[i], path[i + 1]));
  frames[0].insert(frames[0].begin(), path[0]);
  stroke(*canvas, frames, 2.0);
  const auto after = bytes();
  const long laid = wetPaint(after[1]) - wetPaint(before[1]);
  EXPECT_GT(laid, 0);
  EXPECT_NEAR(static_cast<double>(loaded - headPaint(*tool->toolSurface()->getModel()->colorTexture0())),
              static_cast<double>(laid), 0.005 * static_cast<double>(laid))
      << "what the head loses the layer gains";

  // Every cell that changed lies within a head's reach of the path; paint is laid along each tenth
  // of the path (it runs left to right), less and less as the brush runs dry, and on the path
  // itself: the head's tip, which stands on each sample, is the edge of its bristles. Where the
  // brush is fresh, the cells it paints hold on average at least half of the 5 bytes that hide the
  // canvas: a stroke, not a tint.
  const double reach = std::hypot(static_cast<double>(model.width()), static_cast<double>(model.height()));
  const std::size_t width = layer.gridTexture()->width();
  std::array<long, 10> along{}, onThePath{};
  long paintedAtFirst = 0;
  for (std::size_t i = 0; i < after[1].size(); i += 4) {
    const bool changed = !std::equal(after[1].begin() + i, after[1].begin() + i + 4, before[1].begin() + i) ||
                         !std::equal(after[0].begin() + i, after[0].begin() + i + 4, before[0].begin() + i);
    if (!changed) continue;
    const double x = static_cast<double>(i / 4 % width), y = static_cast<double>(i / 4 / width);
    EXPECT_LE(distanceToPath(x, y, path), reach) << "at " << x << ", " << y;
    const double tenth = std::floor((x - path.front().x) * 10 / (path.back().x - path.front().x));
    const std::size_t at = static_cast<std::size_t>(std::clamp(tenth, 0.0, 9.0));
    along[at] += after[1][i + 3] - before[1][i + 3];
    if (at == 0) ++paintedAtFirst;
    if (distanceToPath(x + 0.5, y + 0.5, path) <= 1) onThePath[at] += after[1][i + 3] - before[1][i + 3];
  }
  for (std::size_t tenth = 0; tenth < along.size(); ++tenth) {
    EXPECT_GT(along[tenth], 0) << "no paint along tenth " << tenth << " of the path";
    EXPECT_GT(onThePath[tenth], 0) << "no paint on tenth " << tenth << " of the path";
  }
  EXPECT_GT(std::accumulate(along.begin(), along.begin() + 5, 0L), std::accumulate(along.begin() + 5, along.end(), 0L))
      << "thinning as the brush runs dry";
  ASSERT_GT(paintedAtFirst, 0);
  EXPECT_GE(static_cast<double>(along[0]) / static_cast<double>(paintedAtFirst), 2.5) << "bytes a cell where the brush is fresh";
  EXPECT_EQ(after[2], before[2]) << "painted wet";

  const auto& operations = canvas->commandManager()->operationPool().operations();
  ASSERT_EQ(operations.size(), 1u);
  const auto step = std::dynamic_pointer_cast<DrawingArtworkDrawingOperation>(operations[0]);
  ASSERT_TRUE(step && step->operations());
  EXPECT_GE(step->operations()->size(), 2u) << "the stroke crossed into a second window";
  ASSERT_TRUE(canvas->commandManager()->undo());
  EXPECT_TRUE(bytes() == before);
}

INSTANTIATE_TEST_SUITE_P(
    Families, BrushStroke,
    testing::Values(Family{"the default tool", [] { return std::static_pointer_cast<AbstractBrushTool>(DefaultTool()); }},
                    Family{"a fan brush", [] { return std::make_shared<BigFanBrushTool>(); }},
                    Family{"a flat brush", [] { return std::make_shared<FlatBrushTool>(); }}));

// The same stroke of a loaded brush by the brush's drawing: over a band of old wet paint, wet
// drawing lays wet paint and leaves the dry paint, dry drawing lays dry paint and leaves the wet
// paint byte for byte, the band included; on a bare canvas a quarter of the thickness loads and
// lays about a quarter of the paint.
TEST(BrushStrokeDrawing, TheToolsWetDrawingAndThicknessReachTheLayer) {
  struct Laid {
    long wet, dry;
    bool wetUnchanged, dryUnchanged;
  };
  const auto strokeWith = [](bool wetDrawing, float thickness, bool band) {
    const auto canvas = std::make_shared<DrawingPaint>(MainPaintId, testsupport::flatArtwork(400, 300));
    AppManager().setCanvas(canvas);
    const auto tool = std::make_shared<FlatBrushTool>();
    tool->setWetDrawing(wetDrawing);
    tool->setThickness(thickness);
    startWith(tool, *canvas);
    auto& layer = *canvas->currentContent();
    Bytes grid = TextureUtil::toRawData(*layer.gridTexture()), wet = TextureUtil::toRawData(*layer.wetTexture());
    for (std::size_t y = 90; band && y < 130; ++y)
      for (std::size_t x = 150; x < 190; ++x) {
        const std::size_t at = (y * 400 + x) * 4;
        wet[at] = 30, wet[at + 1] = 90, wet[at + 2] = 200, wet[at + 3] = 40;
        grid[at] = 252, grid[at + 3] = TOOL_FLUID;
      }
    TextureUtil::loadRawData(layer.gridTexture(), grid, 400, 300, 1);
    TextureUtil::loadRawData(layer.wetTexture(), wet, 400, 300, 1);
    const Bytes dry = TextureUtil::toRawData(*layer.dryTexture());
    stroke(*canvas, {touchesAlong({60, 110}, {150, 110}), touchesAlong({150, 110}, {260, 110})}, 2.0);
    const Bytes wetAfter = TextureUtil::toRawData(*layer.wetTexture()), dryAfter = TextureUtil::toRawData(*layer.dryTexture());
    return Laid{wetPaint(wetAfter) - wetPaint(wet), wetPaint(dryAfter) - wetPaint(dry), wetAfter == wet, dryAfter == dry};
  };

  const Laid wet = strokeWith(true, 1.0f, true), dry = strokeWith(false, 1.0f, true);
  EXPECT_FALSE(wet.wetUnchanged);
  EXPECT_TRUE(wet.dryUnchanged) << "wet drawing laid dry paint";
  EXPECT_TRUE(dry.wetUnchanged) << "dry drawing changed the wet paint";
  EXPECT_GT(dry.dry, 100);
  for (const bool wetDrawing : {true, false}) {
    const Laid full = strokeWith(wetDrawing, 1.0f, false), quarter = strokeWith(wetDrawing, 0.25f, false);
    ASSERT_GT(full.wet + full.dry, 100);
    const double ratio = static_cast<double>(quarter.wet + quarter.dry) / static_cast<double>(full.wet + full.dry);
    EXPECT_NEAR(ratio, 0.25, 0.06) << (wetDrawing ? "wet" : "dry") << " drawing";
  }
}

// The window takes the main canvas's scale and the palette's size: on a palette of a main canvas at
// scale 2, a stroke at the palette's far corner loads and saves its window inside the layer.
TEST(BrushStrokeOnAPalette, EveryCopyStaysInsideItsTextures) {
  AppManager().setCanvas(std::make_shared<DrawingPaint>(MainPaintId, testsupport::flatArtwork(512, 384, 2.0)));
  const auto palette = AppManager().createPalette();
  startWith(std::make_shared<BigFlatBrushTool>(), *palette);
  gpu::commandTrace().start();
  stroke(*palette, {{{380, 330}, {385, 334}}, {{392, 340}}, {{399, 349}}});
  gpu::commandTrace().stop();

  const auto& grid = palette->currentContent()->gridTexture();
  ASSERT_EQ(grid->width(), 800u) << "the palette's cells at the main canvas's scale";
  std::size_t windowCopies = 0;
  for (const auto& blit : gpu::commandTrace().blits()) {
    if (blit.kind != gpu::BlitKind::TextureToTexture) continue;
    for (const auto& [texture, o] : {std::pair{blit.sourceTexture, blit.sourceOrigin}, std::pair{blit.destinationTexture, blit.destinationOrigin}}) {
      EXPECT_TRUE(o.x + blit.size.width <= texture->width() && o.y + blit.size.height <= texture->height() &&
                  o.z + blit.size.depth <= texture->depth())
          << o.x << ", " << o.y;
    }
    windowCopies += blit.sourceTexture == grid || blit.destinationTexture == grid;
  }
  EXPECT_GE(windowCopies, 2u) << "the window was loaded and saved";
  EXPECT_GT(wetPaint(TextureUtil::toRawData(*palette->currentContent()->wetTexture())), 0);
}

// Every brush of the manager, freshly loaded, drawn 200 points down the canvas with its samples 20
// points apart, as a quick stroke brings them: each spaces its samples closely enough that no row
// of the stroke's first 80 points, where it is full of paint, is left bare, whatever its head.
TEST(BrushStrokeSpacing, EveryBrushKeepsAQuickStrokeContinuous) {
  constexpr std::size_t kSide = 400, kTop = 100, kRows = 200;
  std::vector<std::shared_ptr<AbstractDrawingTool>> brushes{AppManager().roundBrush()};
  for (const auto& tool : AppManager().tools())
    if (isBrush(tool->toolType())) brushes.push_back(std::dynamic_pointer_cast<AbstractDrawingTool>(tool));
  ASSERT_EQ(brushes.size(), 14u);
  for (const auto& tool : brushes) {
    SCOPED_TRACE(describe(tool->toolType()));
    testsupport::StrokeCanvas canvas(kSide, kSide);
    canvas.use(tool);
    if (tool->canFillColor()) tool->fillColor(graphics::Color::fromRGBA(0.7, 0.2, 0.1, 1.0), 1.0f, 0.8f);
    canvas.drag({kSide / 2.0, kTop}, {kSide / 2.0, kTop + kRows}, 11, 0.5, 4);
    const Bytes wet = canvas.wet();
    std::vector<std::size_t> painted;
    for (std::size_t y = 0; y < kSide; ++y) {
      const auto row = wet.begin() + static_cast<std::ptrdiff_t>(y * kSide);
      if (std::any_of(row, row + static_cast<std::ptrdiff_t>(kSide), [](std::uint8_t t) { return t > 0; })) painted.push_back(y);
    }
    std::vector<std::size_t> bare;
    for (std::size_t y = kTop + 5; y < kTop + kRows * 2 / 5; ++y)
      if (!std::binary_search(painted.begin(), painted.end(), y)) bare.push_back(y);
    EXPECT_TRUE(bare.empty()) << bare.size() << " bare rows, the first " << (bare.empty() ? 0 : bare.front());
  }
}

}  // namespace
}  // namespace tessivarium
