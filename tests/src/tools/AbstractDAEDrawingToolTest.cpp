#include "tools/AbstractDAEDrawingTool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <numbers>

#include "Application.h"
#include "ConsoleCapture.h"
#include "EnginePassesFixture.h"
#include "FatalStop.h"
#include "RecordedErrors.h"
#include "commands/Command.h"
#include "commands/CommandData.h"
#include "components/BrushView.h"
#include "scene/Node.h"
#include "tools/DAEColorFill.h"
#include "tools/DAEDialController.h"
#include "tools/SoloDAEToolController.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEPainting.h"
#include "tools/DAEToolSurface.h"
#include "imaging/Image.h"
#include "tools/DAEToolModelPasses.h"
#include "ui/GPUView.h"

namespace enginetest {
namespace {

// Frames drawn one after another within one display frame: no drawable is handed out, so the
// frames are committed and not shown.
class AbstractDAEDrawingToolTest : public EngineTest {
 protected:
  AbstractDAEDrawingToolTest() {
    ui::GPUView::setDrawableWithheld([](const ui::GPUView&) { return true; });
  }
};

TouchInputs samples(std::size_t n) {
  TouchInputs out;
  for (std::size_t i = 0; i < n; ++i) {
    out.push_back(std::make_shared<TouchInput>(graphics::Point(10.0 + 3.0 * i, 20.0), 1.0f, 1.0f, 0.5f));
  }
  return out;
}

struct OffsetCase {
  std::int64_t width, height;
  double scale;
  std::vector<graphics::Point> points;
  float azimuth;
  gpu::uint3 expected;
};

TEST_P(AbstractDAEDrawingToolTest, WorkingWindowIsShiftedByTheAzimuthAndKeptOnTheCanvas) {
  auto tool = makeTool(ToolType::knife1);
  const float quarter = std::numbers::pi_v<float> / 2;
  const OffsetCase cases[] = {
      // 42.7 cells left, 85.3 above at azimuth 0; the reverse at a quarter turn.
      {600, 600, 1.0, {{300, 320}, {340, 500}}, 0.0f, {257, 234, 0}},
      {600, 600, 1.0, {{300, 320}}, quarter, {214, 277, 0}},
      // Scale 2: the shift stays 42.7 cells, the points count twice.
      {600, 600, 2.0, {{300, 320}}, 0.0f, {557, 554, 0}},
      // Beyond the canvas: clamped to its edge, the window kept inside.
      {600, 600, 1.0, {{700, -20}}, 0.0f, {344, 0, 0}},
      // A canvas of one window or less starts at 0.
      {200, 150, 1.0, {{150, 120}}, 0.0f, {0, 0, 0}},
      // An azimuth that is not a number: the canvas's edge, not an undefined corner.
      {600, 600, 1.0, {{300, 320}}, std::numeric_limits<float>::quiet_NaN(), {0, 0, 0}},
  };
  for (const auto& c : cases) {
    auto main = testsupport::makeCanvas(c.width, c.height, c.scale);
    AppManager().setCanvas(main);
    tool->setWidth(c.width);
    tool->setHeight(c.height);
    const gpu::uint3 got = tool->findWorkingOffset(c.points, c.azimuth);
    EXPECT_EQ(got.x, c.expected.x) << c.width << " x " << c.height << " at " << c.scale;
    EXPECT_EQ(got.y, c.expected.y) << c.width << " x " << c.height << " at " << c.scale;
    EXPECT_EQ(got.z, 0u);
  }
}

TEST_P(AbstractDAEDrawingToolTest, AFrameRunsAsManyWindowStepsAsItsSamplesNeedOnOneBuffer) {
  struct Case {
    std::size_t pending;
    Journal steps;
  };
  const Case cases[] = {
      {7, {"reset 7", "start", "loop 3", "reset 4", "start", "loop 3", "reset 1", "start", "loop 1"}},
      {2, {"reset 2", "start", "loop 2"}},
  };
  for (const auto& c : cases) {
    auto tool = makeTool(ToolType::knife1);
    journal.clear();
    tool->setTouchInputs(samples(c.pending));
    gpu::commandTrace().start();
    tool->interactiveDraw(*canvas, nullptr);
    const auto commits = gpu::commandTrace().commits();
    gpu::commandTrace().stop();
    EXPECT_EQ(journal, c.steps);
    EXPECT_EQ(commits.size(), 1u);
    EXPECT_TRUE(tool->touchInputs().empty());
  }
}

TEST_P(AbstractDAEDrawingToolTest, FillIsRefusedWithoutCanFillColourAndOtherwiseRunsOnOneBuffer) {
  const auto errors = std::make_shared<testsupport::RecordedErrors>();
  Application().setDelegateHandler(errors);
  auto tool = makeTool(ToolType::knife2);
  tool->initializers = {DAEEncoders().getInitializer()};
  testsupport::ConsoleCapture console;

  tool->setCanFillColor(false);
  gpu::commandTrace().start();
  tool->fillColor(graphics::Color::fromRGBA(0.5, 0.25, 0.125, 1), 0.75f, 0.5f);
  EXPECT_TRUE(gpu::commandTrace().events().empty());
  EXPECT_EQ(errors->errors, std::vector<ErrorMessage>{ErrorMessage::CannotFillColor});

  tool->setCanFillColor(true);
  tool->fillColor(graphics::Color::fromRGBA(0.5, 0.25, 0.125, 1), 0.75f, 0.5f);
  const auto d = gpu::commandTrace().dispatches();
  const auto commits = gpu::commandTrace().commits();
  gpu::commandTrace().stop();
  const bool height = GetParam() == KnifeDebugMode::Height;
  std::vector<std::string> names;
  for (const auto& record : d) names.push_back(record.kernelName);
  std::vector<std::string> expected{"DAEToolModel_initialize", "DAEToolModel_knife_fill"};
  if (height) expected.push_back("DAEToolModel_paint_height");
  EXPECT_EQ(names, expected);
  ASSERT_EQ(commits.size(), 1u);
  for (const auto& record : d) EXPECT_EQ(record.commandBuffer, commits[0].commandBuffer);
  EXPECT_EQ(floatAt(d[1].buffers.at(BUFFER_FORCE).bytes, 0), 0.75f);
  EXPECT_EQ(canvas->redraws.size(), height ? 1u : 0u);
  EXPECT_EQ(console.linesStartingWith("Fiil Color Execution time: ").size(), height ? 1u : 0u);
}

TEST_P(AbstractDAEDrawingToolTest, DialChangeReachesTheNextStepsDescriptor) {
  auto tool = makeTool(ToolType::knife3);
  if (!canvas->brushView()->toolNode()) canvas->brushView()->setToolNode(std::make_shared<scene::Node>());
  const auto& node = canvas->brushView()->toolNode();
  node->setEulerAngles({0, 0, 0});
  testsupport::ConsoleCapture console;
  tool->changedValue(std::any(1.25f));
  EXPECT_EQ(tool->viewer().rotation(), 1.25f);
  EXPECT_FLOAT_EQ(node->eulerAngles().x, std::numbers::pi_v<float> / 4);
  EXPECT_FLOAT_EQ(node->eulerAngles().z, std::numbers::pi_v<float> / 4);
  DAEPainting step(*tool);
  const auto d = dispatchesOf(step);
  EXPECT_EQ(floatAt(d.at(1).buffers.at(BUFFER_DAE_DESCRIPTOR).bytes, 144), 1.25f);

  // Before the model exists only the viewer turns.
  tool->viewer().setToolModel(nullptr);
  tool->changedValue(std::any(0.5f));
  EXPECT_EQ(tool->viewer().rotation(), 0.5f);
  EXPECT_FATAL(tool->changedValue(std::any(2.0)), "changedValue: the dial's value is not a Float");
}

TEST_P(AbstractDAEDrawingToolTest, TheDialIsSharedAndTurnsTheToolThatAttachedItLast) {
  auto first = makeTool(ToolType::knife1);
  first->viewer().setRotation(0.75f);
  const auto controller = first->createController();
  const auto& dial = SOLO_DAE_TOOL_CONTROLLER();
  EXPECT_EQ(controller, dial);
  EXPECT_EQ(dial->changeValue(), first);
  EXPECT_EQ(dial->maxAngle(), static_cast<float>(std::numbers::pi * 2.0));
  EXPECT_EQ(dial->minAngle(), 0.0f);
  auto second = makeTool(ToolType::flatBrush);
  second->switchControler();
  EXPECT_EQ(dial->changeValue(), second);
}

TEST_P(AbstractDAEDrawingToolTest, EachDrawnFrameRecordsItsSamplesWithTheRotation) {
  auto tool = makeTool(ToolType::knife1);
  tool->viewer().setRotation(0.375f);
  const auto command = std::make_shared<Command>(ToolType::knife1, foundation::Date::now());
  tool->setCommand(command);
  const auto batch = samples(2);
  tool->setTouchInputs(batch);
  tool->interactiveDraw(*canvas, nullptr);
  ASSERT_EQ(command->data().size(), 1u);
  EXPECT_EQ(command->data()[0]->touchInputs(), batch);
  EXPECT_EQ(std::any_cast<float>(command->data()[0]->toolData()->at("rotation")), 0.375f);

  tool->interactiveDraw(*canvas, nullptr);  // nothing pending: skipped
  tool->setTouchInputs(samples(1));
  tool->setIsBusy(true);
  tool->interactiveDraw(*canvas, nullptr);  // busy: skipped
  EXPECT_EQ(command->data().size(), 1u);

  // A palette's command is never handed over: nothing is recorded there.
  tool->setIsBusy(false);
  auto palette = testsupport::makeCanvas(120, 90, 1.0, 1, 77, false);
  AppManager().setCurrentPaint(palette);
  tool->interactiveDraw(*palette, nullptr);
  EXPECT_EQ(command->data().size(), 1u);
  EXPECT_TRUE(tool->touchInputs().empty());
}

// The closing frame draws the samples still pending, and they are recorded with the rotation like
// every frame's.
TEST_P(AbstractDAEDrawingToolTest, TheStrokesEndRecordsTheSamplesItDraws) {
  auto tool = makeTool(ToolType::knife1);
  tool->viewer().setRotation(1.25f);
  const auto command = std::make_shared<Command>(ToolType::knife1, foundation::Date::now());
  tool->setCommand(command);
  const auto last = samples(2);
  tool->setTouchInputs(last);
  tool->handleEnd(*canvas);
  ASSERT_EQ(command->data().size(), 1u);
  EXPECT_EQ(command->data()[0]->touchInputs(), last);
  EXPECT_EQ(std::any_cast<float>(command->data()[0]->toolData()->at("rotation")), 1.25f);
}

// A thick-paint tool draws only with a tool-model viewer; a frame with nothing to draw needs none.
TEST_P(AbstractDAEDrawingToolTest, DrawingWithAViewerThatIsNoToolModelViewerIsAFatalStop) {
  class PlainViewed : public EngineTool {
   public:
    using EngineTool::EngineTool;
    std::shared_ptr<ToolViewer> createToolViewer() override { return std::make_shared<DefaultToolViewer>(*this); }
  };
  auto tool = std::make_shared<PlainViewed>(ToolType::knife2, journal);
  AppManager().setCurrentTool(tool);
  tool->interactiveDraw(*canvas, nullptr);
  tool->setTouchInputs(samples(1));
  EXPECT_FATAL(tool->interactiveDraw(*canvas, nullptr),
               "interactiveDraw needs the tool's tool-model viewer (an AbstractDAEToolViewer)");
  EXPECT_FATAL(tool->handleEnd(*canvas), "handleEnd needs the tool's tool-model viewer (an AbstractDAEToolViewer)");
}

// The tool on the tool-model stroke surface the brushes and knives use.
class SurfacedBrush : public AbstractDAEDrawingTool {
 public:
  SurfacedBrush() : AbstractDAEDrawingTool(ToolType::flatBrush) {}
  std::shared_ptr<ToolSurface> createToolSurface() override { return ToolSurface::make<DAEToolSurface>(*this); }
  std::shared_ptr<ToolViewer> createToolViewer() override {
    return std::make_shared<AbstractDAEToolViewer>(*this, "FlatBrush");
  }
};

TEST_P(AbstractDAEDrawingToolTest, AFrameOnTheToolModelSurfaceRunsTheChainOnOneBuffer) {
  auto tool = std::make_shared<SurfacedBrush>();
  AppManager().setCurrentPaint(canvas);
  AppManager().setCurrentTool(tool);
  auto& viewer = static_cast<DefaultToolViewer&>(*tool->toolViewer());
  viewer.setToolModel(std::make_shared<HeadModel>(viewer));
  canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(8, 8)));
  TouchInputs batch;
  for (int i = 0; i < 6; ++i) {
    batch.push_back(std::make_shared<TouchInput>(graphics::Point(100.0 + 4 * i, 90.0), 1.0f, 1.0f, 0.5f));
  }
  tool->setTouchInputs(batch);
  gpu::commandTrace().start();
  tool->interactiveDraw(*canvas, nullptr);
  const auto names = gpu::commandTrace().kernelNames();
  const auto commits = gpu::commandTrace().commits();
  gpu::commandTrace().stop();
  std::vector<std::string> chain{"pic_flip_texture_reset2D", "DAEToolModel_brush_paint", "DAEToolModel_overlay_map",
                                 "DAEToolModel_blur_image", "DAEToolModel_blur_image"};
  if (GetParam() == KnifeDebugMode::Height) chain.push_back("DAEToolModel_paint_height");
  const auto step = std::search(names.begin(), names.end(), chain.begin(), chain.end());
  ASSERT_NE(step, names.end());
  // Then the picture of the window is refreshed from its paint.
  EXPECT_NE(std::find(step + static_cast<std::ptrdiff_t>(chain.size()), names.end(), "texture_data_to_height_image"),
            names.end());
  EXPECT_EQ(commits.size(), 1u);
}

// The dial is one for all tools: attaching it sets its whole range again, whatever was left on it.
TEST_P(AbstractDAEDrawingToolTest, AttachingTheDialResetsItsRange) {
  auto tool = makeTool(ToolType::knife2);
  const auto& dial = SOLO_DAE_TOOL_CONTROLLER();
  dial->setMinAngle(-1.25f);
  dial->setMaxAngle(2.5f);
  tool->switchControler();
  EXPECT_EQ(dial->minAngle(), 0.0f);
  EXPECT_EQ(dial->maxAngle(), static_cast<float>(std::numbers::pi * 2.0));
}

// Only a node with no pose at all gets the default lean; any angle of its own is kept.
TEST_P(AbstractDAEDrawingToolTest, TheDialKeepsAToolNodesOwnPose) {
  auto tool = makeTool(ToolType::knife3);
  if (!canvas->brushView()->toolNode()) canvas->brushView()->setToolNode(std::make_shared<scene::Node>());
  const auto& node = canvas->brushView()->toolNode();
  testsupport::ConsoleCapture console;  // each turn prints the pose
  const float lean = std::numbers::pi_v<float> / 4;
  const struct {
    scene::Vector3 pose, after;
  } cases[] = {{{0, 0, 0}, {lean, 0, lean}}, {{0.3f, 0, 0.7f}, {0.3f, 0, 0.7f}}, {{0, 0.2f, 0}, {0, 0.2f, 0}}};
  for (const auto& c : cases) {
    node->setEulerAngles(c.pose);
    tool->changedValue(std::any(1.25f));
    const scene::Vector3 e = node->eulerAngles();
    EXPECT_FLOAT_EQ(e.x, c.after.x);
    EXPECT_FLOAT_EQ(e.y, c.after.y);
    EXPECT_FLOAT_EQ(e.z, c.after.z);
  }
}

// A colour fill hands the measured head's record, as the dial turns it now, to its shared pass:
// the second fill must not reuse the first one's record.
TEST_P(AbstractDAEDrawingToolTest, EachColourFillBindsTheHeadRecordOfItsTime) {
  auto tool = makeTool(ToolType::knife4);
  if (!canvas->brushView()->toolNode()) canvas->brushView()->setToolNode(std::make_shared<scene::Node>());
  testsupport::ConsoleCapture console;
  for (const float rotation : {0.875f, 2.375f}) {
    tool->changedValue(std::any(rotation));
    DAEColorFill fill(*tool, graphics::Color::fromRGBA(0.75, 0.125, 0.25, 1), 0.625f);
    const auto d = dispatchesOf(fill);
    ASSERT_EQ(d.size(), 1u);
    ASSERT_EQ(d[0].buffers.count(BUFFER_DAE_DESCRIPTOR), 1u);
    EXPECT_EQ(floatAt(d[0].buffers.at(BUFFER_DAE_DESCRIPTOR).bytes, 144), rotation);
  }
}

ENGINE_SUITE_AT_BOTH_MODES(AbstractDAEDrawingToolTest);

}  // namespace
}  // namespace enginetest
