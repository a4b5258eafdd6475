// One stroke through the tool base: touches become samples, a layer's frame draws them on one
// command buffer, and the stroke end writes the window back.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "ConsoleCapture.h"
#include "TestCanvas.h"
#include "FakeTool.h"
#include "StrokeTouches.h"
#include "commands/CommandManager.h"
#include "commands/DrawingArtworkDrawingOperation.h"
#include "gpu/Gpu.h"
#include "tools/ApplicationManager.h"
#include "tools/DebugSwitches.h"
#include "tools/DrawingTool.h"
#include "ui/Event.h"
#include "ui/GPUView.h"
#include "ui/TouchSet.h"

namespace {

using namespace tessivarium;
using testsupport::TestCanvas;
using testsupport::Journal;
using testsupport::StrokeTool;
using ui::TouchPhase;

std::shared_ptr<ui::Touch> stylus(double x, double y, TouchPhase phase = TouchPhase::Moved, double force = 1.0) {
  return testsupport::stylusTouch(x, y, phase, force);
}

std::vector<graphics::Point> locations(const TouchInputs& inputs) {
  std::vector<graphics::Point> out;
  for (const auto& input : inputs) out.push_back(input->location());
  return out;
}

class ToolStroke : public ::testing::Test {
 protected:
  ToolStroke() {
    AppManager().setCanvas(palette);
    AppManager().setCurrentPaint(palette);
  }

  TouchInputs pending(int count) {
    TouchInputs inputs;
    for (int i = 0; i < count; ++i) inputs.push_back(std::make_shared<TouchInput>(graphics::Point{3.0 + i, 4.0}, 0.5f, 0.f, 0.f));
    return inputs;
  }

  Journal journal;
  std::shared_ptr<StrokeTool> tool = std::make_shared<StrokeTool>(journal);
  // A palette: one layer of 64 x 48 cells at scale 1, without undo steps.
  std::shared_ptr<TestCanvas> palette = testsupport::makeCanvas(64, 48, 1.0, 1, 1, false);
  std::shared_ptr<ui::Touch> first = stylus(10, 20);
};

TEST_F(ToolStroke, TouchDownSamplesTheFirstTouchsCoalescedTouchesButNotTheStationaryOnes) {
  tool->setTouchInputs(pending(1));
  tool->setTouchCount(7);
  tool->toolSurface()->touchInputData().append(1, 2, 5, 0.5f, 0.5f, 0.5f);
  auto second = stylus(300, 30);
  ui::Event event;
  event.setCoalescedTouches(first, {stylus(10, 20), stylus(11, 21, TouchPhase::Stationary), stylus(12.5, 22)});
  event.setCoalescedTouches(second, {stylus(300, 30)});

  tool->touchesBegan(ui::TouchSet{first, second}, &event);
  EXPECT_EQ(locations(tool->touchInputs()), (std::vector<graphics::Point>{{3, 4}, {10, 20}, {12.5, 22}}))
      << "pending samples stay in front; a second finger adds nothing";
  EXPECT_FLOAT_EQ(tool->touchInputs()[1]->force(), 0.75f);
  EXPECT_EQ(tool->touchCount(), 0);
  EXPECT_EQ(tool->toolSurface()->touchInputData().count(), 0);
  EXPECT_EQ(journal, (Journal{"viewer touchesBegan"}));
  EXPECT_FALSE(tool->commandOperations()) << "a palette starts no undo step";

  journal.clear();
  ui::Event move;
  move.setCoalescedTouches(first, {stylus(14, 23, TouchPhase::Stationary), stylus(15, 24)});
  tool->touchesMoved(ui::TouchSet{first}, &move);
  EXPECT_EQ(locations(tool->touchInputs()).back(), (graphics::Point{15, 24}));
  EXPECT_EQ(tool->touchInputs().size(), 4u);
  EXPECT_EQ(journal, (Journal{"viewer touchesMoved"}));
}

TEST_F(ToolStroke, TouchesThatCannotBeSampledChangeNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  auto unmeasured = stylus(10, 20, TouchPhase::Moved, nan);
  ui::TouchState tilted;
  tilted.type = ui::TouchType::Stylus;
  tilted.altitudeAngle = std::numeric_limits<double>::infinity();
  ui::Event withCoalesced, withoutCoalesced, emptyCoalesced, notFinite;
  withCoalesced.setCoalescedTouches(first, {stylus(10, 20)});
  emptyCoalesced.setCoalescedTouches(first, {});
  notFinite.setCoalescedTouches(first, {unmeasured, ui::Touch::make(tilted)});
  struct Case {
    const char* what;
    ui::TouchSet touches;
    const ui::Event* event;
  } cases[] = {
      {"an empty set", {}, &withCoalesced},
      {"no event", {first}, nullptr},
      {"no coalesced touches", {first}, &withoutCoalesced},
      {"an empty list of coalesced touches", {first}, &emptyCoalesced},
      {"values that are not finite", {first}, &notFinite},
  };
  for (const auto& c : cases) {
    tool->setTouchInputs(pending(1));
    tool->setTouchCount(7);
    tool->touchesBegan(c.touches, c.event);
    EXPECT_EQ(tool->touchInputs().size(), 1u) << c.what;
    EXPECT_EQ(tool->touchCount(), 7) << c.what;
    EXPECT_TRUE(journal.empty()) << c.what << " reaches the viewer";
    journal.clear();
  }

  tool->touchesMoved(ui::TouchSet{first}, &notFinite);
  EXPECT_EQ(tool->touchInputs().size(), 1u);
  EXPECT_EQ(journal, (Journal{"viewer touchesMoved"})) << "a move reaches the viewer before any test";

  journal.clear();
  tool->setEnabled(false);
  tool->touchesBegan(ui::TouchSet{first}, &withCoalesced);
  tool->touchesMoved(ui::TouchSet{first}, &withCoalesced);
  tool->touchesEnded(ui::TouchSet{first}, &withCoalesced);
  EXPECT_EQ(tool->touchInputs().size(), 1u);
  EXPECT_TRUE(journal.empty()) << "a disabled tool ignores touches";
}

TEST_F(ToolStroke, ACommittedFrameDrawsThePendingSamplesOnceAndClearsThem) {
  testsupport::ConsoleCapture console;
  tool->setTouchInputs(pending(2));
  int completed = 0;
  gpu::commandTrace().start();
  tool->interactiveDraw(*palette, [&] { ++completed; });

  ASSERT_EQ(tool->encoded.size(), 1u);
  EXPECT_EQ(tool->encoded[0].size(), 2u);
  const auto commits = gpu::commandTrace().commits();
  const auto blurs = gpu::commandTrace().blurs();
  const auto presents = gpu::commandTrace().presents();
  ASSERT_EQ(commits.size(), 1u);
  ASSERT_EQ(blurs.size(), 1u);
  ASSERT_EQ(presents.size(), 1u);
  EXPECT_EQ(blurs[0].source, palette->layer(0).paintingTexture());
  EXPECT_EQ(blurs[0].destination, presents[0].drawable->texture());
  EXPECT_EQ(blurs[0].commandBuffer, commits[0].commandBuffer);
  EXPECT_EQ(presents[0].commandBuffer, commits[0].commandBuffer);
  EXPECT_EQ(completed, 1);
  EXPECT_TRUE(tool->touchInputs().empty());
  EXPECT_FALSE(tool->isBusy());
  EXPECT_EQ(console.linesStartingWith("Execution time: ").size(), 1u);
  EXPECT_EQ(palette->layer(0).metalView()->presentedCount(), 1);
}

TEST_F(ToolStroke, AFrameWithNothingToDrawOnlyPausesTheViewUnlessTheLayerIsDrawing) {
  auto& layer = palette->layer(0);
  struct Case {
    int pending;
    bool busy, drawing, paused;
  } cases[] = {{0, false, false, true}, {0, false, true, false}, {2, true, false, true}, {2, true, true, false}};
  for (const auto& c : cases) {
    tool->setTouchInputs(pending(c.pending));
    tool->setIsBusy(c.busy);
    layer.setIsDrawing(c.drawing);
    layer.metalView()->setPaused(!c.paused);
    int completed = 0;
    gpu::commandTrace().start();
    tool->interactiveDraw(*palette, [&] { ++completed; });
    EXPECT_EQ(layer.metalView()->isPaused(), c.paused) << c.pending << c.busy << c.drawing;
    EXPECT_TRUE(gpu::commandTrace().events().empty()) << "no GPU work at all";
    EXPECT_EQ(completed, 0);
    EXPECT_EQ(tool->touchInputs().size(), static_cast<std::size_t>(c.pending)) << "a busy frame keeps its samples";
  }
  EXPECT_TRUE(tool->encoded.empty());
}

// The frame's encode has already moved the stroke on, so its work is committed even when there
// is nothing to show it in.
TEST_F(ToolStroke, AFrameWithoutADrawableIsCommittedButNotShown) {
  testsupport::ConsoleCapture console;
  ui::GPUView::setDrawableWithheld([](const ui::GPUView&) { return true; });
  tool->setTouchInputs(pending(3));
  int completed = 0;
  gpu::commandTrace().start();
  tool->interactiveDraw(*palette, [&] { ++completed; });

  EXPECT_EQ(console.linesStartingWith("currentDrawable returned nil").size(), 1u);
  EXPECT_EQ(gpu::commandTrace().commits().size(), 1u);
  EXPECT_TRUE(gpu::commandTrace().blurs().empty());
  EXPECT_TRUE(gpu::commandTrace().presents().empty());
  EXPECT_EQ(completed, 1);
  EXPECT_TRUE(tool->touchInputs().empty());
  EXPECT_FALSE(tool->isBusy());
}

TEST_F(ToolStroke, TheStrokeEndDrawsWhatIsPendingBeforeTheWindowGoesBack) {
  DEBUG_DAE_KNIFE = KnifeDebugMode::None;  // the clean's debug view is not the point here
  const gpu::CommandBuffer* encodedOn = nullptr;
  const gpu::CommandBuffer* savedOn = nullptr;
  tool->onEncode = [&](DrawingPaint&, gpu::CommandBuffer& buffer) {
    encodedOn = &buffer;
    tool->toolSurface()->setOrigin(gpu::Origin{0, 0, 0});  // as loading a window does
  };
  tool->surface()->onSave = [&](DrawingPaint&, gpu::CommandBuffer& buffer) { savedOn = &buffer; };
  tool->setTouchInputs(pending(2));
  tool->setAutoReset(true);
  tool->setAutoClean(true);
  const auto step = std::make_shared<DrawingArtworkDrawingOperation>(palette, palette->currentLayer());
  tool->setCommandOperations(step);
  journal.clear();
  gpu::commandTrace().start();
  tool->handleEnd(*palette);
  EXPECT_EQ(tool->commandOperations(), step) << "a palette leaves the stroke's step alone";
  EXPECT_TRUE(palette->commandManager()->operationPool().operations().empty());

  EXPECT_EQ(journal, (Journal{"encode 2", "surface encodeSave", "viewer clean", "viewer savePattern",
                              "viewer reset", "surface touchEnd"}));
  ASSERT_EQ(gpu::commandTrace().commits().size(), 1u);
  EXPECT_EQ(encodedOn, gpu::commandTrace().commits()[0].commandBuffer);
  EXPECT_EQ(savedOn, encodedOn) << "one stroke-end buffer";
  EXPECT_TRUE(tool->touchInputs().empty());

  // Once more, as the next layer's closing frame does: nothing pending, no window.
  journal.clear();
  tool->setAutoReset(false);
  tool->setAutoClean(false);
  gpu::commandTrace().start();
  tool->handleEnd(*palette);
  EXPECT_EQ(journal, (Journal{"surface touchEnd"}));
  EXPECT_TRUE(gpu::commandTrace().commits().empty());
}

TEST_F(ToolStroke, TheWindowsRectangleIsClippedToTheLayerLikeTheWriteBack) {
  EXPECT_FALSE(tool->windowRect(*palette)) << "no window open";
  struct Case {
    std::int64_t width, height;
    gpu::Origin origin;
    graphics::Rect expected;
  } cases[] = {{64, 48, {0, 0, 0}, {0, 0, 64, 48}},
               {300, 200, {37, 0, 0}, {37, 0, 256, 200}},
               {900, 180, {611, 0, 0}, {611, 0, 256, 180}}};
  for (const auto& c : cases) {
    auto canvas = testsupport::makeCanvas(c.width, c.height, 1.0, 1, 1, false);
    tool->toolSurface()->setOrigin(c.origin);
    EXPECT_EQ(tool->windowRect(*canvas), c.expected) << c.width << " x " << c.height;
  }
}

}  // namespace
