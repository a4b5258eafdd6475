// A whole stroke on a canvas with an undo history: touch-down opens the step, the frames paint,
// the closing frame hands the step over, and undo gives the layer back as it was.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "FakeTool.h"
#include "StrokeTouches.h"
#include "TestCanvas.h"
#include "imaging/Image.h"
#include "ui/FrameSource.h"
#include "commands/Command.h"
#include "commands/CommandManager.h"
#include "commands/DrawingArtworkDrawingOperation.h"
#include "gpu/Texture.h"
#include "tools/ApplicationManager.h"
#include "tools/DebugSwitches.h"
#include "tools/DrawingTool.h"
#include "components/ArtworkData.h"
#include "ui/Event.h"
#include "ui/TouchSet.h"
#include "utils/TextureUtil.h"

namespace {

using namespace tessivarium;

class ToolStrokeUndo : public ::testing::Test {
 protected:
  ToolStrokeUndo() {
    DEBUG_DAE_KNIFE = KnifeDebugMode::None;
    AppManager().setCanvas(canvas);
    AppManager().setCurrentTool(tool);
    // Started: the shading image makes the canvas current, enables the tool and lets it draw.
    canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(4, 4)));
    while (ui::FrameSource::main().displayFrame() > 0) {
    }
    // The test tool paints one texel per sample straight into the layer and opens the window the
    // base chooses for the first sample, as a stroke window's load would.
    tool->onEncode = [this](DrawingPaint& paint, gpu::CommandBuffer&) {
      const auto& grid = paint.currentContent()->gridTexture();
      auto bytes = TextureUtil::toRawData(*grid);
      for (const auto& input : tool->touchInputs()) {
        const auto at = (static_cast<std::size_t>(input->location().y) * grid->width() +
                         static_cast<std::size_t>(input->location().x)) * 4;
        bytes[at] = 200, bytes[at + 1] = 90, bytes[at + 2] = 30, bytes[at + 3] = 255;
      }
      TextureUtil::loadRawData(grid, bytes, grid->width(), grid->height(), 1);
      const auto offset = tool->findWorkingOffset({tool->touchInputs().front()->location()}, 0);
      tool->toolSurface()->setOrigin(gpu::Origin{offset.x, offset.y, 0});
    };
  }

  std::vector<std::uint8_t> layerBytes() { return TextureUtil::toRawData(*canvas->layers().front()->gridTexture()); }

  std::shared_ptr<ui::Event> eventWith(std::vector<std::shared_ptr<ui::Touch>> coalesced) {
    auto event = std::make_shared<ui::Event>();
    event->setCoalescedTouches(finger, std::move(coalesced));
    return event;
  }
  // The touches reach the tool the way the screen sends them: through the canvas.
  void touch(void (DrawingPaint::*phase)(const ui::TouchSet&, const ui::Event*),
             std::vector<std::shared_ptr<ui::Touch>> coalesced) {
    ((*canvas).*phase)(ui::TouchSet{finger}, eventWith(std::move(coalesced)).get());
  }

  // One display frame: the current layer draws the pending samples, and ends the stroke in the
  // frame that closes it.
  void frame() { ui::FrameSource::main().displayFrame(); }

  // Its surface loads working windows, as the canvas's picture rebuild asks of it.
  std::shared_ptr<testsupport::FrameTool> tool = std::make_shared<testsupport::FrameTool>();
  std::shared_ptr<DrawingPaint> canvas =
      std::make_shared<DrawingPaint>(MainPaintId, testsupport::flatArtwork(300, 200));
  std::shared_ptr<ui::Touch> finger = testsupport::stylusTouch(0, 0);
};

TEST_F(ToolStrokeUndo, AWholeStrokeEndsAsOnePaintingStepThatUndoTakesBackByteForByte) {
  const auto before = layerBytes();
  touch(&DrawingPaint::touchesBegan, {testsupport::stylusTouch(100, 60), testsupport::stylusTouch(104, 62)});
  frame();
  touch(&DrawingPaint::touchesMoved, {testsupport::stylusTouch(110, 65), testsupport::stylusTouch(118, 70)});
  frame();
  touch(&DrawingPaint::touchesMoved, {testsupport::stylusTouch(125, 76)});
  frame();
  touch(&DrawingPaint::touchesEnded, {testsupport::stylusTouch(131, 80)});
  EXPECT_EQ(canvas->layers().front()->drawingMode(), DrawingMode::End);
  const auto step = tool->commandOperations();
  frame();

  std::size_t drawn = 0;
  for (const auto& batch : tool->encoded) drawn += batch.size();
  EXPECT_EQ(drawn, 6u) << "every sample is drawn once";
  ASSERT_FALSE(tool->encoded.empty());
  EXPECT_EQ(tool->encoded.back().size(), 1u) << "the touch-up position is drawn in the closing frame";
  EXPECT_EQ(tool->calls.back(), "handleEnd");
  const auto after = layerBytes();
  ASSERT_NE(after, before);
  EXPECT_FALSE(tool->commandOperations());
  const auto& pool = canvas->commandManager()->operationPool();
  ASSERT_EQ(pool.operations().size(), 1u);
  EXPECT_EQ(pool.operations()[0], step);
  EXPECT_EQ(pool.operations()[0]->name(), "Painting");
  ASSERT_TRUE(step->operations());
  ASSERT_EQ(step->operations()->size(), 1u);
  EXPECT_EQ(step->operations()->front()->size(), (gpu::Size{256, 200, 1})) << "the window, within the layer";

  ASSERT_TRUE(canvas->commandManager()->undo());
  EXPECT_EQ(layerBytes(), before);
  ASSERT_TRUE(canvas->commandManager()->redo());
  EXPECT_EQ(layerBytes(), after);
}

TEST_F(ToolStrokeUndo, AStrokeEndHandsNoStepOverWithoutAWindowWithoutMemoryOrOnAHiddenLayer) {
  tool->touchesBegan(ui::TouchSet{finger}, eventWith({testsupport::stylusTouch(50, 40)}).get());
  ASSERT_TRUE(tool->commandOperations());
  tool->setTouchInputs({});  // nothing was drawn, so no window was opened
  tool->handleEnd(*canvas);
  EXPECT_FALSE(tool->commandOperations());
  EXPECT_TRUE(canvas->commandManager()->operationPool().operations().empty());

  tool->touchesBegan(ui::TouchSet{finger}, eventWith({testsupport::stylusTouch(50, 40)}).get());
  tool->interactiveDraw(*canvas, nullptr);
  const auto painted = layerBytes();
  AppManager().setLimitedHeap(0);  // no snapshot can be had
  const auto step = tool->commandOperations();
  tool->handleEnd(*canvas);
  EXPECT_TRUE(step->noMemory());
  EXPECT_FALSE(tool->commandOperations());
  EXPECT_TRUE(canvas->commandManager()->operationPool().operations().empty());
  EXPECT_EQ(layerBytes(), painted) << "the stroke stays painted";

  // A hidden layer's view draws no frame: the stroke keeps nothing, for the history to wait on or
  // for the next stroke to paint.
  canvas->doLayerHidden(canvas->layers().front(), true);
  touch(&DrawingPaint::touchesBegan, {testsupport::stylusTouch(20, 20), testsupport::stylusTouch(24, 22)});
  frame();
  touch(&DrawingPaint::touchesEnded, {testsupport::stylusTouch(30, 24)});
  frame();
  EXPECT_FALSE(tool->commandOperations());
  EXPECT_TRUE(tool->touchInputs().empty());
  EXPECT_EQ(layerBytes(), painted);

  // A palette keeps no history: its stroke leaves the tool's record as it was.
  const auto palette = std::make_shared<DrawingPaint>(MainPaintId + 1, testsupport::flatArtwork(300, 200), false);
  palette->doLayerHidden(palette->layers().front(), true);
  const auto record = std::make_shared<Command>(ToolType::knife1, foundation::Date::now());
  tool->setCommand(record);
  ((*palette).*(&DrawingPaint::touchesBegan))(ui::TouchSet{finger}, eventWith({testsupport::stylusTouch(20, 20)}).get());
  ((*palette).*(&DrawingPaint::touchesEnded))(ui::TouchSet{finger}, eventWith({testsupport::stylusTouch(30, 24)}).get());
  EXPECT_EQ(tool->command(), record);
  EXPECT_TRUE(tool->touchInputs().empty());
}

// A layer hidden while its stroke is on: what the frames painted before stays, the stroke ends as
// every stroke does (its window back, its step handed over) and the surface keeps nothing of it.
TEST_F(ToolStrokeUndo, AStrokeWhoseLayerIsHiddenMidwayEndsWithTheStepOfWhatItPainted) {
  const auto before = layerBytes();
  touch(&DrawingPaint::touchesBegan, {testsupport::stylusTouch(100, 60), testsupport::stylusTouch(104, 62)});
  frame();
  touch(&DrawingPaint::touchesMoved, {testsupport::stylusTouch(110, 65)});
  frame();
  ASSERT_NE(layerBytes(), before);
  canvas->doLayerHidden(canvas->layers().front(), true);
  touch(&DrawingPaint::touchesEnded, {testsupport::stylusTouch(131, 80)});
  frame();

  std::size_t drawn = 0;
  for (const auto& batch : tool->encoded) drawn += batch.size();
  EXPECT_EQ(drawn, 3u) << "nothing is drawn once the layer is hidden";
  EXPECT_FALSE(tool->toolSurface()->origin());
  EXPECT_FALSE(tool->commandOperations());
  ASSERT_EQ(canvas->commandManager()->operationPool().operations().size(), 1u);
  canvas->doLayerHidden(canvas->layers().front(), false);
  const auto ended = layerBytes();
  ASSERT_TRUE(canvas->commandManager()->undo());
  EXPECT_EQ(layerBytes(), before);
  ASSERT_TRUE(canvas->commandManager()->redo());
  EXPECT_EQ(layerBytes(), ended);
}

}  // namespace
