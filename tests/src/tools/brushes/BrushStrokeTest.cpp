// Whole strokes of the brushes on a real canvas with undo, their heads measured from the brush
// scenes: the touches reach the tool through the canvas, each display frame draws what came in, the
// stroke crosses from one working window into the next, and undo gives the layer back.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "BrushHeads.h"
#include "TestCanvas.h"
#include "commands/CommandManager.h"
#include "commands/DrawingArtworkDrawingOperation.h"
#include "gpu/Gpu.h"
#include "imaging/Image.h"
#include "src/tools/StrokeTouches.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEToolModel.h"
#include "tools/ToolSurface.h"
#include "tools/brushes/FanBrushTools.h"
#include "tools/brushes/FilbertBrushTools.h"
#include "tools/brushes/FlatBrushTools.h"
#include "ui/Event.h"
#include "ui/FrameSource.h"
#include "ui/TouchSet.h"
#include "utils/TextureUtil.h"

namespace tessivarium {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A layer's three data textures, as bytes.
struct LayerBytes {
  Bytes grid, wet, dry;
  friend bool operator==(const LayerBytes&, const LayerBytes&) = default;
};

LayerBytes bytesOf(ArtworkTextures& layer) {
  return {TextureUtil::toRawData(*layer.gridTexture()), TextureUtil::toRawData(*layer.wetTexture()),
          TextureUtil::toRawData(*layer.dryTexture())};
}

// Paint as the kernels count it: a window's wet thickness summed, a head's paint cells.
long wetPaint(const Bytes& wet) {
  long sum = 0;
  for (std::size_t i = 3; i < wet.size(); i += 4) sum += wet[i];
  return sum;
}

long headPaint(const gpu::Texture& head) {
  const auto& texels = head.texels();
  long cells = 0;
  for (std::size_t z = 0; z < texels.depth(); ++z)
    for (std::size_t y = 0; y < texels.height(); ++y)
      for (std::size_t x = 0; x < texels.width(); ++x) {
        const std::uint8_t kind = texels.texel(x, y, z)[3];
        cells += kind != 0 && kind != brushtest::kBody;
      }
  return cells;
}

// The distance from (x, y) to the polyline through `path`.
double distanceToPath(double x, double y, const std::vector<graphics::Point>& path) {
  double best = INFINITY;
  for (std::size_t i = 0; i + 1 < path.size(); ++i) {
    const double ax = path[i].x, ay = path[i].y, dx = path[i + 1].x - ax, dy = path[i + 1].y - ay;
    const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    best = std::min(best, std::hypot(x - ax - t * dx, y - ay - t * dy));
  }
  return best;
}

struct Family {
  const char* what;
  std::function<std::shared_ptr<AbstractBrushTool>()> make;
};

void PrintTo(const Family& family, std::ostream* out) { *out << family.what; }

class BrushStroke : public testing::TestWithParam<Family> {
 protected:
  // `tool` current on a started canvas of `width` x `height` points at `scale`, its head loaded with
  // paint.
  void start(const std::shared_ptr<AbstractBrushTool>& brush, std::int64_t width = 1024, std::int64_t height = 512,
             double scale = 1.0) {
    tool = brush;
    canvas = std::make_shared<DrawingPaint>(MainPaintId, testsupport::flatArtwork(width, height, scale));
    AppManager().setCanvas(canvas);
    AppManager().setCurrentTool(tool);
    canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(4, 4)));
    while (ui::FrameSource::main().displayFrame() > 0) {
    }
    tool->fillColor(graphics::Color::fromRGBA(0.7, 0.2, 0.1, 1.0), 1.0f, 1.0f);
  }

  void touch(void (DrawingPaint::*phase)(const ui::TouchSet&, const ui::Event*), std::vector<graphics::Point> points) {
    std::vector<std::shared_ptr<ui::Touch>> coalesced;
    for (const auto& p : points) coalesced.push_back(testsupport::stylusTouch(p.x, p.y, ui::TouchPhase::Moved, 2.0));
    ui::Event event;
    event.setCoalescedTouches(finger, coalesced);
    ((*canvas).*phase)(ui::TouchSet{finger}, &event);
    ui::FrameSource::main().displayFrame();
  }

  // A stroke of three frames and a touch-up along `path` (five points).
  void stroke(const std::vector<graphics::Point>& path) {
    touch(&DrawingPaint::touchesBegan, {path[0], path[1]});
    touch(&DrawingPaint::touchesMoved, {path[2]});
    touch(&DrawingPaint::touchesMoved, {path[3]});
    touch(&DrawingPaint::touchesEnded, {path[4]});
  }

  gpu::Texture& head() { return *tool->toolSurface()->getModel()->colorTexture0(); }
  ArtworkTextures& layer() { return *canvas->currentContent(); }

  std::shared_ptr<AbstractBrushTool> tool;
  std::shared_ptr<DrawingPaint> canvas;
  std::shared_ptr<ui::Touch> finger = testsupport::stylusTouch(0, 0);
};

TEST_P(BrushStroke, PaintsAlongItsStrokeConservesItsPaintAndUndoes) {
  // Left to right across the first window's far edge into a second window.
  const std::vector<graphics::Point> path = {{150, 200}, {190, 205}, {240, 210}, {300, 214}, {360, 218}};
  {
    const Family& c = GetParam();
    start(c.make());
    const long loaded = headPaint(head());
    ASSERT_GT(loaded, 0) << c.what;
    const LayerBytes before = bytesOf(layer());

    stroke(path);
    const LayerBytes after = bytesOf(layer());
    const long laid = wetPaint(after.wet) - wetPaint(before.wet);
    EXPECT_GT(laid, 0) << c.what;
    EXPECT_NEAR(static_cast<double>(loaded - headPaint(head())), static_cast<double>(laid), 0.005 * static_cast<double>(laid))
        << c.what << ": what the head loses the canvas gains";

    // Paint along the path, nothing away from it: every changed cell lies within a head's reach.
    const auto& model = *tool->toolSurface()->getModel();
    const double reach = std::hypot(static_cast<double>(model.width()), static_cast<double>(model.height()));
    const std::size_t width = layer().gridTexture()->width();
    bool nearStart = false;
    for (std::size_t i = 0; i < after.wet.size(); i += 4) {
      const double x = static_cast<double>((i / 4) % width), y = static_cast<double>((i / 4) / width);
      const bool changed = !std::equal(after.wet.begin() + i, after.wet.begin() + i + 4, before.wet.begin() + i) ||
                           !std::equal(after.grid.begin() + i, after.grid.begin() + i + 4, before.grid.begin() + i);
      if (!changed) continue;
      EXPECT_LE(distanceToPath(x, y, path), reach) << c.what << " at " << x << ", " << y;
      nearStart |= std::hypot(x - path.front().x, y - path.front().y) < reach;
    }
    EXPECT_TRUE(nearStart) << c.what << ": the loaded head paints from the first sample on";
    EXPECT_EQ(after.dry, before.dry) << c.what;

    // One painting step of two windows, and undo gives the layer back byte for byte.
    const auto& pool = canvas->commandManager()->operationPool();
    ASSERT_EQ(pool.operations().size(), 1u) << c.what;
    const auto step = std::dynamic_pointer_cast<DrawingArtworkDrawingOperation>(pool.operations()[0]);
    ASSERT_TRUE(step);
    ASSERT_TRUE(step->operations());
    EXPECT_GE(step->operations()->size(), 2u) << c.what << ": the stroke crossed into a second window";
    ASSERT_TRUE(canvas->commandManager()->undo());
    EXPECT_TRUE(bytesOf(layer()) == before) << c.what;
  }
}

// The window takes the main canvas's scale and the palette's size: on a palette of a main canvas at
// scale 2, a stroke at the palette's far corner loads and saves its window inside the layer.
TEST(BrushOnAPalette, EveryCopyStaysInsideItsTextures) {
  auto main = std::make_shared<DrawingPaint>(MainPaintId, testsupport::flatArtwork(512, 384, 2.0));
  AppManager().setCanvas(main);
  const auto palette = AppManager().createPalette();
  const std::shared_ptr<AbstractBrushTool> tool = std::make_shared<BigFlatBrushTool>();
  AppManager().setCurrentTool(tool);
  palette->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(4, 4)));
  tool->fillColor(graphics::Color::fromRGBA(0.2, 0.4, 0.8, 1.0), 1.0f, 1.0f);

  gpu::commandTrace().start();
  const auto finger = testsupport::stylusTouch(0, 0);
  const std::vector<std::vector<graphics::Point>> frames = {{{380, 330}, {385, 334}}, {{392, 340}}, {{399, 349}}};
  for (std::size_t i = 0; i < frames.size(); ++i) {
    std::vector<std::shared_ptr<ui::Touch>> coalesced;
    for (const auto& p : frames[i]) coalesced.push_back(testsupport::stylusTouch(p.x, p.y));
    ui::Event event;
    event.setCoalescedTouches(finger, coalesced);
    if (i == 0) palette->touchesBegan(ui::TouchSet{finger}, &event);
    else if (i + 1 < frames.size()) palette->touchesMoved(ui::TouchSet{finger}, &event);
    else palette->touchesEnded(ui::TouchSet{finger}, &event);
    ui::FrameSource::main().displayFrame();
  }
  gpu::commandTrace().stop();

  const auto& grid = palette->currentContent()->gridTexture();
  ASSERT_EQ(grid->width(), 800u) << "the palette's cells at the main canvas's scale";
  std::size_t windowCopies = 0;
  for (const auto& blit : gpu::commandTrace().blits()) {
    if (blit.kind != gpu::BlitKind::TextureToTexture) continue;
    const auto inside = [&](const std::shared_ptr<gpu::Texture>& t, gpu::Origin o) {
      return o.x + blit.size.width <= t->width() && o.y + blit.size.height <= t->height() &&
             o.z + blit.size.depth <= t->depth();
    };
    EXPECT_TRUE(inside(blit.sourceTexture, blit.sourceOrigin)) << blit.sourceOrigin.x << ", " << blit.sourceOrigin.y;
    EXPECT_TRUE(inside(blit.destinationTexture, blit.destinationOrigin))
        << blit.destinationOrigin.x << ", " << blit.destinationOrigin.y;
    windowCopies += blit.sourceTexture == grid || blit.destinationTexture == grid;
  }
  EXPECT_GE(windowCopies, 2u) << "the window was loaded and saved";
  EXPECT_GT(wetPaint(TextureUtil::toRawData(*palette->currentContent()->wetTexture())), 0);
}

INSTANTIATE_TEST_SUITE_P(Families, BrushStroke,
                         testing::Values(Family{"the default tool", [] { return std::static_pointer_cast<AbstractBrushTool>(DefaultTool()); }},
                                         Family{"a fan brush", [] { return std::make_shared<BigFanBrushTool>(); }},
                                         Family{"a flat brush", [] { return std::make_shared<FlatBrushTool>(); }}));

}  // namespace
}  // namespace tessivarium
