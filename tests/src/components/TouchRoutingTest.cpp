// The canvas's touch routing: who hears of a touch and in which order, the stroke's drawing flag,
// the tool hand-off on a change of canvas, the redraw requests, and one stroke driven through the
// frame source.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "FramesTestSupport.h"
#include "LayerTestSupport.h"
#include "commands/CommandManager.h"
#include "ui/GPUView.h"

namespace tessivarium {
namespace {

using framestest::makePaint;
using framestest::touch;
using testsupport::Journal;
using ui::TouchType;

// A delegate or handler that notes each call, with "drawing" while the canvas's current layer is
// drawing; `onBegan` runs inside its touch-down.
class Receiver : public PaintingDelegate {
 public:
  Receiver(std::string name, Journal& journal, DrawingPaint& paint) : name_(std::move(name)), journal_(journal), paint_(paint) {}
  void touchesMoved(const ui::TouchSet&, const ui::Event*) override { note("moved"); }
  void touchesBegan(const ui::TouchSet&, const ui::Event*) override {
    note("began");
    if (onBegan) onBegan();
  }
  void touchesEnded(const ui::TouchSet&, const ui::Event*) override { note("ended"); }
  std::function<void()> onBegan;

 private:
  void note(const char* what) {
    const auto layer = paint_.currentContent();
    journal_.push_back(name_ + " " + what + (layer && layer->isDrawing() ? " drawing" : ""));
  }
  std::string name_;
  Journal& journal_;
  DrawingPaint& paint_;
};

class TouchRouting : public ::testing::Test {
 protected:
  // Noting into the tool's calls unless told another journal.
  std::shared_ptr<Receiver> receiver(const char* name, Journal* journal = nullptr) {
    return std::make_shared<Receiver>(name, journal ? *journal : tool->calls, *paint);
  }
  // An event whose coalesced touches of `t` are `t` itself, so the tool takes one sample.
  const ui::Event* sampled(const std::shared_ptr<ui::Touch>& t) {
    event.setCoalescedTouches(t, {t});
    return &event;
  }

  std::shared_ptr<testsupport::FrameTool> tool = framestest::useFrameTool();
  std::shared_ptr<DrawingPaint> paint = makePaint(64, 48);
  std::shared_ptr<ui::Touch> pen = touch(TouchType::Stylus);
  ui::Event event;
};

TEST_F(TouchRouting, DownReachesTheDelegateBeforeTheStrokeStartsAndEndOrCancelAfterItEnds) {
  for (const bool cancel : {false, true}) {
    paint->setPaintingDelegate(receiver("delegate"));
    paint->setTouchHandlers({receiver("first"), receiver("second")});
    AppManager().setCurrentPaint(nullptr);
    tool->calls.clear();
    paint->touchesBegan({pen}, sampled(pen));
    EXPECT_EQ(tool->calls, (Journal{"handleEnabled forced", "updateChange", "delegate began", "touchesBegan",
                                    "first began drawing", "second began drawing"}));
    EXPECT_EQ(AppManager().currentPaint(), paint);

    tool->calls.clear();
    paint->touchesMoved({pen}, nullptr);
    EXPECT_EQ(tool->calls, (Journal{"touchesMoved", "delegate moved drawing", "first moved drawing", "second moved drawing"}));

    tool->calls.clear();
    cancel ? paint->touchesCancelled({pen}, nullptr) : paint->touchesEnded({pen}, nullptr);
    // The tool's own end takes the last samples and asks for the stroke's End frames.
    EXPECT_EQ(tool->calls, (Journal{"touchesEnded", "touchesMoved", "updateChange", "delegate ended", "first ended",
                                    "second ended"}));
    EXPECT_EQ(paint->currentContent()->drawingMode(), DrawingMode::End);

    tool->calls.clear();
    paint->touchesMoved({pen}, nullptr);
    paint->touchesEnded({pen}, nullptr);
    paint->touchesCancelled({pen}, nullptr);
    EXPECT_TRUE(tool->calls.empty()) << "no stroke is on";
  }
}

// Only a set whose first touch is a stylus paints; any other touch-down only makes the canvas
// current. During a stroke every moved touch is passed on.
TEST_F(TouchRouting, TheFirstTouchOfTheSetDecidesWhetherItPaints) {
  const auto finger = touch(TouchType::Direct);
  const auto other = makePaint(40, 30, 1.0, 1, MainPaintId + 1);
  for (const ui::TouchSet& set : {ui::TouchSet{}, ui::TouchSet{finger}, ui::TouchSet{finger, pen},
                                  ui::TouchSet{touch(TouchType::Indirect), pen}}) {
    AppManager().setCurrentPaint(other);
    EXPECT_FALSE(paint->isPaintingTouch(set));
    paint->touchesBegan(set, nullptr);
    EXPECT_EQ(AppManager().currentPaint(), paint);
    paint->touchesMoved(set, nullptr);
    paint->touchesEnded(set, nullptr);
    EXPECT_TRUE(tool->calls.empty());
    EXPECT_FALSE(paint->currentContent()->isDrawing());
  }

  EXPECT_TRUE(paint->isPaintingTouch({pen, finger}));
  paint->touchesBegan({pen, finger}, nullptr);
  EXPECT_TRUE(paint->currentContent()->isDrawing());
  tool->calls.clear();
  paint->touchesMoved({finger}, nullptr);
  EXPECT_EQ(tool->calls, Journal{"touchesMoved"});
}

TEST_F(TouchRouting, AStrokeOnAnotherCanvasForcesTheToolOverToItAndAStrokeOnTheSameOneDoesNot) {
  const auto palette = makePaint(40, 30, 1.0, 1, MainPaintId + 1);
  Journal enables;
  for (const auto& canvas : {paint, palette, palette}) {
    tool->calls.clear();
    canvas->touchesBegan({pen}, nullptr);
    canvas->touchesEnded({pen}, nullptr);
    enables.push_back(tool->calls.front());
  }
  EXPECT_EQ(enables, (Journal{"handleEnabled forced", "handleEnabled forced", "handleEnabled"}));
  EXPECT_EQ(tool->width(), 40) << "the tool took the palette's size";
}

// The walk goes over the handlers as they were before the first call of the event.
TEST_F(TouchRouting, AHandlerMayReplaceTheHandlersWhileTheyAreTold) {
  Journal heard;
  const auto first = receiver("first", &heard), second = receiver("second", &heard), added = receiver("added", &heard);
  first->onBegan = [&] { paint->setTouchHandlers({second, added}); };
  paint->setTouchHandlers({first, second});
  paint->touchesBegan({pen}, nullptr);
  paint->touchesMoved({pen}, nullptr);
  EXPECT_EQ(heard, (Journal{"first began drawing", "second began drawing", "second moved drawing", "added moved drawing"}));
}

TEST_F(TouchRouting, ARedrawSetsTheModeOnEveryLayerAndTellsTheToolOfAnyModeButRefresh) {
  const auto stacked = makePaint(40, 30, 1.0, 3);
  stacked->background()->setDrawingMode(DrawingMode::Normal);
  for (const auto mode : {DrawingMode::Refresh, DrawingMode::Recreated, DrawingMode::End, DrawingMode::Normal}) {
    tool->calls.clear();
    mode == DrawingMode::Refresh ? stacked->redraw() : stacked->redraw(mode);
    for (const auto& layer : stacked->layers()) {
      EXPECT_EQ(layer->drawingMode(), mode);
      EXPECT_FALSE(layer->metalView()->isPaused());
    }
    EXPECT_EQ(stacked->background()->drawingMode(), DrawingMode::Normal);
    EXPECT_EQ(tool->calls, mode == DrawingMode::Refresh ? Journal{} : Journal{"updateChange"});
  }
}

TEST_F(TouchRouting, CleaningThePaintEmptiesTheHistoryWhereThereIsOneAndEveryLayer) {
  const auto main = std::make_shared<DrawingPaint>(MainPaintId, testsupport::flatArtwork(40, 30), true);
  main->layerCreate();
  ASSERT_TRUE(main->commandManager()->canUndo());
  for (const auto& canvas : {main, paint}) {
    for (const auto& layer : canvas->layers()) layertest::fillPattern(*layer->dryTexture(), 3);
    canvas->cleanPaint();
    for (const auto& layer : canvas->layers()) {
      EXPECT_EQ(layertest::texelAt(*layer->dryTexture(), 5, 6), (layertest::Texel{0, 0, 0, 0}));
      EXPECT_EQ(layer->drawingMode(), DrawingMode::Recreated);
    }
  }
  EXPECT_FALSE(main->commandManager()->canUndo());
}

// One stroke through the frame source: the first frame rebuilds the new layer's picture, each
// later frame draws what the touches brought, the end's frames finish the stroke and pause.
TEST_F(TouchRouting, AStrokeDrivenFrameByFrameReachesTheToolInOrderAndEndsPaused) {
  framestest::start(*paint);
  ASSERT_EQ(framestest::framesUntilIdle(), 0);
  auto& layer = *paint->currentContent();
  tool->calls.clear();
  paint->touchesBegan({pen}, sampled(pen));
  ui::FrameSource::main().displayFrame();
  ui::FrameSource::main().displayFrame();
  paint->touchesMoved({pen}, sampled(pen));
  ui::FrameSource::main().displayFrame();
  paint->touchesEnded({pen}, sampled(pen));
  EXPECT_EQ(framestest::framesUntilIdle(), 2);

  EXPECT_EQ(tool->calls, (Journal{"handleEnabled", "touchesBegan", "interactiveDraw 1", "touchesMoved",
                                  "interactiveDraw 1", "touchesEnded", "touchesMoved", "updateChange",
                                  "interactiveDraw 1", "handleEnd", "interactiveDraw 0"}));
  EXPECT_EQ(tool->loadingSurface()->loads.size(), 1u) << "one rebuild of a 64 x 48 layer";
  EXPECT_EQ(layer.metalView()->presentedCount(), 4);
  EXPECT_EQ(layer.drawingMode(), DrawingMode::Normal);
  EXPECT_TRUE(layer.metalView()->isPaused());
  EXPECT_TRUE(tool->touchInputs().empty());
}

}  // namespace
}  // namespace tessivarium
