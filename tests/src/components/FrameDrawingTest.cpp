// A layer's frames by drawing mode and the tiled rebuild of its picture, on real canvases with a
// recording tool whose surface loads regions as the stroke window does.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "ConsoleCapture.h"
#include "ErrorMessage.h"
#include "FramesTestSupport.h"
#include "LayerTestSupport.h"
#include "gpu/Gpu.h"
#include "imaging/Context.h"
#include "tools/DebugSwitches.h"
#include "tools/SurfaceWorkingTextures.h"
#include "ui/GPUView.h"
#include "utils/CoreImageUtil.h"

namespace tessivarium {
namespace {

using framestest::framesUntilIdle;
using framestest::makePaint;
using framestest::start;
using testsupport::Journal;

std::size_t displayFrame() { return ui::FrameSource::main().displayFrame(); }

TouchInputs samples(int count) {
  TouchInputs inputs;
  for (int i = 0; i < count; ++i) inputs.push_back(std::make_shared<TouchInput>(graphics::Point{5.0 + i, 7.0}, 0.5f, 0.f, 0.f));
  return inputs;
}

class FrameDrawing : public ::testing::Test {
 protected:
  std::shared_ptr<testsupport::FrameTool> tool = framestest::useFrameTool();
};

// --- The rebuild's tiling ------------------------------------------------------------------------

// `count` corners 254 cells apart, then `clamped` repeated `repeats` times.
std::vector<std::size_t> corners(std::size_t count, std::size_t clamped, std::size_t repeats = 1) {
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < count; ++i) out.push_back(i * 254);
  out.insert(out.end(), repeats, clamped);
  return out;
}

struct TilingCase {
  std::int64_t width, height;
  std::vector<std::size_t> columns, rows;
};

class FrameDrawingRecreateTiling : public FrameDrawing, public ::testing::WithParamInterface<TilingCase> {};

TEST_P(FrameDrawingRecreateTiling, LoadsAndPlacesEachRegionOnItsOwnCommandBufferRowByRow) {
  const TilingCase& c = GetParam();
  auto paint = makePaint(c.width, c.height);
  start(*paint);
  auto& layer = *paint->layers()[0];
  paint->ciContext()->startRecording();
  gpu::commandTrace().start();
  layer.recreatedDraw();

  std::vector<std::optional<gpu::Origin>> expected;
  for (const auto y : c.rows)
    for (const auto x : c.columns) expected.push_back(gpu::Origin{x, y, 0});
  const auto surface = tool->loadingSurface();
  EXPECT_EQ(surface->loads, expected);
  const auto& renders = paint->ciContext()->renders();
  ASSERT_EQ(renders.size(), expected.size());
  for (std::size_t i = 0; i < renders.size(); ++i) {
    // A region's picture leaves out its one-cell border.
    EXPECT_EQ(renders[i].extent.origin, graphics::Point(expected[i]->x + 1.0, expected[i]->y + 1.0)) << i;
    EXPECT_EQ(renders[i].texture, layer.paintingTexture());
  }
  const auto commits = gpu::commandTrace().commits();
  ASSERT_EQ(commits.size(), expected.size() + 1);
  const auto presents = gpu::commandTrace().presents();
  ASSERT_EQ(presents.size(), 1u);
  EXPECT_EQ(presents[0].commandBuffer, commits.back().commandBuffer) << "the copy to the view comes last";
  EXPECT_FALSE(surface->origin()) << "no region is left open for a write-back";
  EXPECT_EQ(surface->offset(), (gpu::uint3{static_cast<std::uint32_t>(c.columns.back()),
                                           static_cast<std::uint32_t>(c.rows.back()), 0}));
}

INSTANTIATE_TEST_SUITE_P(
    PictureSizes, FrameDrawingRecreateTiling,
    ::testing::Values(TilingCase{2048, 1080, corners(8, 1792), corners(4, 824)},
                      TilingCase{1920, 1080, corners(7, 1664, 2), corners(4, 824)},
                      TilingCase{4096, 2160, corners(16, 3840), corners(8, 1904, 2)},
                      TilingCase{200, 100, {0, 0}, {0}},
                      TilingCase{400, 350, {0, 144, 144}, {0, 94}}),
    [](const ::testing::TestParamInfo<TilingCase>& info) {
      return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
    });

// At a scale other than 1 the data textures and the picture differ in size; the regions follow the
// data, and their pictures land at cells / scale.
class FrameDrawingRecreateAtScale : public FrameDrawing, public ::testing::WithParamInterface<double> {};

// The placed pictures along one axis, whole pixels, meet from the first pixel one composition of
// the whole layer writes to its last.
void expectCovered(std::set<std::pair<double, double>> spans, CoreImageUtil::PixelSpan whole) {
  ASSERT_FALSE(spans.empty());
  double reached = static_cast<double>(whole.first);
  EXPECT_EQ(spans.begin()->first, reached);
  for (const auto& [begin, end] : spans) {
    EXPECT_EQ(begin, std::floor(begin)) << "a picture starts inside a pixel";
    EXPECT_LE(begin, reached) << "a gap before " << begin;
    reached = std::max(reached, end);
  }
  EXPECT_EQ(reached, static_cast<double>(whole.end));
}

TEST_P(FrameDrawingRecreateAtScale, KeepsEveryLoadAndPictureInsideItsTexturesAndCoversTheLayer) {
  const double scale = GetParam();
  auto paint = makePaint(scale < 1 ? 1100 : 600, scale < 1 ? 700 : 400, scale);
  start(*paint);
  auto& layer = *paint->layers()[0];
  const auto& grid = layer.gridTexture();
  const auto& picture = layer.paintingTexture();
  paint->ciContext()->startRecording();
  gpu::commandTrace().start();
  layer.recreatedDraw();

  std::size_t loads = 0;
  for (const auto& blit : gpu::commandTrace().blits()) {
    if (blit.sourceTexture != grid) continue;
    ++loads;
    EXPECT_LE(blit.sourceOrigin.x + blit.size.width, grid->width());
    EXPECT_LE(blit.sourceOrigin.y + blit.size.height, grid->height());
  }
  EXPECT_GT(loads, 0u);
  std::set<std::pair<double, double>> columns, rows;
  const double w = static_cast<double>(picture->width()), h = static_cast<double>(picture->height());
  for (const auto& render : paint->ciContext()->renders()) {
    const graphics::Rect e = render.extent;
    EXPECT_GE(e.origin.x, 0.0);
    EXPECT_GE(e.origin.y, 0.0);
    EXPECT_LE(e.origin.x + e.size.width, w);
    EXPECT_LE(e.origin.y + e.size.height, h);
    EXPECT_LE(render.bounds.size.width, w);
    EXPECT_LE(render.bounds.size.height, h);
    columns.insert({e.origin.x, e.origin.x + e.size.width});
    rows.insert({e.origin.y, e.origin.y + e.size.height});
  }
  expectCovered(columns, CoreImageUtil::regionPixels(0, grid->width(), grid->width(), scale));
  expectCovered(rows, CoreImageUtil::regionPixels(0, grid->height(), grid->height(), scale));
}

INSTANTIATE_TEST_SUITE_P(Scales, FrameDrawingRecreateAtScale, ::testing::Values(0.5, 2.0),
                         [](const ::testing::TestParamInfo<double>& info) { return info.param < 1 ? "Half" : "Double"; });

TEST_F(FrameDrawing, ARecreateWithoutItsWorkingRegionCommitsNothingAndTheMissingMemoryIsReportedOnce) {
  auto paint = makePaint(300, 280);
  start(*paint);
  const auto errors = layertest::countErrors();
  AppManager().surfaceTextures().setGridTexture0(nullptr);
  gpu::testControls().failTexturesWhere([](const gpu::TextureDescriptor& d) { return d.width == MAC_WIDTH; });
  gpu::commandTrace().start();
  paint->layers()[0]->recreatedDraw();
  EXPECT_EQ(errors->errors, std::vector<ErrorMessage>{ErrorMessage::NoMoreHeap});
  EXPECT_TRUE(gpu::commandTrace().commits().empty());
}

struct FinalCopyCase {
  bool display;
  KnifeDebugMode debug;
  std::size_t presents, timingLines;
};

TEST_F(FrameDrawing, TheFinalCopyPresentsOnlyWhenAskedAndIsTimedOnlyWhileDebugging) {
  for (const auto c : {FinalCopyCase{false, KnifeDebugMode::None, 0, 0}, FinalCopyCase{true, KnifeDebugMode::Trace, 1, 1}}) {
    auto paint = makePaint(64, 48);
    start(*paint);
    DEBUG_DAE_KNIFE = c.debug;
    testsupport::ConsoleCapture console;
    gpu::commandTrace().start();
    paint->layers()[0]->recreatedDraw(c.display);
    EXPECT_EQ(gpu::commandTrace().blurs().size(), 1u);
    EXPECT_EQ(gpu::commandTrace().presents().size(), c.presents);
    EXPECT_EQ(console.linesStartingWith("Execution time: ").size(), c.timingLines);
  }
}

// --- Frames by mode ------------------------------------------------------------------------------

TEST_F(FrameDrawing, BeforeTheCanvasStartsEveryFrameOnlySaysSo) {
  auto paint = makePaint(64, 48);
  auto& layer = *paint->layers()[0];
  layer.setDrawingMode(DrawingMode::Refresh);
  testsupport::ConsoleCapture console;
  gpu::commandTrace().start();
  displayFrame();
  displayFrame();
  EXPECT_EQ(console.lines(), (std::vector<std::string>{"Shading Image missing.", "Shading Image missing."}));
  EXPECT_EQ(layer.drawingMode(), DrawingMode::Refresh);
  EXPECT_FALSE(layer.metalView()->isPaused());
  EXPECT_TRUE(gpu::commandTrace().commits().empty());
}

TEST_F(FrameDrawing, ARefreshWithoutADrawableTriesAgainAtTheNextFrame) {
  auto paint = makePaint(64, 48);
  start(*paint);
  auto& layer = *paint->layers()[0];
  bool withheld = true;
  ui::GPUView::setDrawableWithheld([&](const ui::GPUView&) { return withheld; });
  testsupport::ConsoleCapture console;
  paint->redraw();
  EXPECT_EQ(displayFrame(), 1u);
  EXPECT_EQ(console.lines(), std::vector<std::string>{"currentDrawable returned nil"});
  EXPECT_EQ(layer.drawingMode(), DrawingMode::Refresh);
  EXPECT_FALSE(layer.metalView()->isPaused());

  withheld = false;
  EXPECT_EQ(displayFrame(), 1u);
  EXPECT_EQ(layer.metalView()->presentedCount(), 1);
  EXPECT_EQ(layer.drawingMode(), DrawingMode::Normal);
  EXPECT_TRUE(layer.metalView()->isPaused());
}

// In the usual state only the current layer's view has its delegate, so the tool's stroke end runs
// once; after cleanAllLayers() every layer's view has one and it runs for each.
TEST_F(FrameDrawing, AStrokeEndRunsOncePerLayerViewThatDrawsAndOneNormalFramePausesTheView) {
  for (const bool everyView : {false, true}) {
    auto paint = makePaint(64, 48, 1.0, 3);
    start(*paint);
    if (everyView) paint->cleanAllLayers();
    framesUntilIdle();
    auto& current = *paint->currentContent();
    tool->setTouchInputs(samples(2));
    tool->calls.clear();
    paint->redraw(DrawingMode::End);
    EXPECT_EQ(displayFrame(), everyView ? 3u : 1u);
    // The current layer's view was made last, so the other layers' ends come first and leave it
    // no samples to draw.
    EXPECT_EQ(tool->calls, everyView ? (Journal{"updateChange", "handleEnd", "handleEnd", "interactiveDraw 0", "handleEnd"})
                                     : (Journal{"updateChange", "interactiveDraw 2", "handleEnd"}));
    EXPECT_EQ(current.drawingMode(), DrawingMode::Normal);
    EXPECT_FALSE(current.metalView()->isPaused()) << "one more frame";
    EXPECT_EQ(paint->layers()[0]->drawingMode(), everyView ? DrawingMode::Normal : DrawingMode::End);

    tool->calls.clear();
    EXPECT_EQ(displayFrame(), everyView ? 3u : 1u);
    EXPECT_EQ(tool->calls, Journal{"interactiveDraw 0"});
    EXPECT_TRUE(current.metalView()->isPaused());
    EXPECT_EQ(displayFrame(), 0u);
  }
}

struct HandlerCase {
  const char* what;
  DrawingMode mode;
  int pending;
  int runs;
};

// The next Refresh or Recreated frame, or the current layer's next Normal frame, takes the handler;
// the tool runs it only with a frame it draws.
TEST_F(FrameDrawing, TheDrawHandlerIsTakenByTheNextFrameAndRunsAtMostOnce) {
  for (const auto c : {HandlerCase{"refresh", DrawingMode::Refresh, 0, 1},
                       HandlerCase{"recreate", DrawingMode::Recreated, 0, 1},
                       HandlerCase{"normal, nothing to draw", DrawingMode::Normal, 0, 0},
                       HandlerCase{"normal, two samples", DrawingMode::Normal, 2, 1}}) {
    auto paint = makePaint(64, 48);
    start(*paint);
    auto& layer = *paint->layers()[0];
    int runs = 0;
    layer.setDrawHandler([&] { ++runs; });
    tool->setTouchInputs(samples(c.pending));
    layer.setDrawingMode(c.mode);
    framesUntilIdle();
    EXPECT_EQ(runs, c.runs) << c.what;
    EXPECT_FALSE(layer.drawHandler()) << c.what;
  }
}

// Command buffers complete as they are committed, so a handler runs inside the frame that took it;
// one it sets for the next frame must survive that frame.
TEST_F(FrameDrawing, AHandlerSetWhileTheFrameRunsIsKeptForTheNextFrame) {
  auto paint = makePaint(64, 48);
  start(*paint);
  auto& layer = *paint->layers()[0];
  int second = 0;
  layer.setDrawHandler([&] { layer.setDrawHandler([&] { ++second; }); });
  tool->setTouchInputs(samples(1));
  layer.setDrawingMode(DrawingMode::Normal);
  displayFrame();
  ASSERT_TRUE(layer.drawHandler());
  layer.setDrawingMode(DrawingMode::Refresh);
  displayFrame();
  EXPECT_EQ(second, 1);
}

TEST_F(FrameDrawing, OnlyTheCurrentCanvassBackgroundIsComposedWithTheBackgroundShown) {
  auto other = makePaint(64, 48, 1.0, 1, MainPaintId + 1);
  start(*other);
  other->setShowBackground(true);
  auto paint = makePaint(64, 48);
  start(*paint);
  // Each load: the loaded canvas's flag, then the current canvas's.
  std::vector<std::pair<bool, bool>> shown;
  tool->loadingSurface()->onLoad = [&](ArtworkTextures& layer) {
    shown.emplace_back(layer.paint().showBackground(), paint->showBackground());
  };
  for (const auto& canvas : {paint, other}) {
    canvas->background()->setDrawingMode(DrawingMode::Recreated);
    framesUntilIdle();
  }
  EXPECT_EQ(shown, (std::vector<std::pair<bool, bool>>{{true, true}, {true, false}}));
  EXPECT_FALSE(paint->showBackground());
  EXPECT_TRUE(other->showBackground()) << "another canvas's flag is left as it was";
}

}  // namespace
}  // namespace tessivarium
