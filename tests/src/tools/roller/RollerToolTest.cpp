// The roller's own rules: what it refuses, its dial-less switch, its pipeline, and its viewer's
// loads, touches and measured head.

#include <gtest/gtest.h>

#include <numbers>
#include <sstream>

#include "ConsoleCapture.h"
#include "RecordedErrors.h"
#include "TempResourceRoot.h"
#include "TestCanvas.h"
#include "components/BrushView.h"
#include "gpu/Gpu.h"
#include "imaging/Image.h"
#include "scene/Node.h"
#include "tools/DAEDialController.h"
#include "tools/DAEToolModel.h"
#include "tools/SoloDAEToolController.h"
#include "tools/ToolModel.h"
#include "tools/roller/RollerTool.h"
#include "tools/roller/RollerToolSurface.h"
#include "tools/roller/RollerToolViewer.h"

namespace tessivarium {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

class RollerTest : public ::testing::Test {
 protected:
  RollerTest() {
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
  }

  // Makes the roller current, which enables it on the canvas and so attaches (loads) its viewer.
  void makeCurrent() { AppManager().setCurrentTool(roller); }
  void start() { canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(4, 4))); }
  RollerToolViewer& viewer() { return static_cast<RollerToolViewer&>(*roller->toolViewer()); }
  scene::Node& toolNode() { return *canvas->brushView()->toolNode(); }
  float contentScale() const { return static_cast<float>(AppManager().screenRatio(*canvas)); }

  testsupport::ConsoleCapture console;
  std::shared_ptr<testsupport::TestCanvas> canvas = testsupport::makeCanvas(300, 200);
  std::shared_ptr<RollerTool> roller = std::make_shared<RollerTool>();
};

TEST_F(RollerTest, TakesNoColourPatternDialOrCleaningAndWarmsItsOwnPass) {
  EXPECT_EQ(roller->toolType(), ToolType::roller);
  EXPECT_FALSE(roller->canClean() || roller->canReset() || roller->canSavePattern() || roller->hasColorPattern() ||
               roller->canFillColor());
  EXPECT_TRUE(roller->resizableOnPressure());
  EXPECT_TRUE(std::dynamic_pointer_cast<RollerToolSurface>(roller->toolSurface()));
  EXPECT_EQ(viewer().fileName(), "Roller");
  EXPECT_EQ(viewer().border(), SCNVector3(0, 0, 0));
  EXPECT_FLOAT_EQ(viewer().scale(), 0.07f);  // 0.1 x the display's 0.7 on an artwork of scale 1

  // Switching the roller in leaves the dial with the range and receiver it had.
  auto& dial = *SOLO_DAE_TOOL_CONTROLLER();
  dial.setMinAngle(-1), dial.setMaxAngle(2);
  makeCurrent();
  roller->switchTo(*canvas);
  EXPECT_FALSE(roller->controller());
  EXPECT_EQ(dial.minAngle(), -1);
  EXPECT_EQ(dial.maxAngle(), 2);
  EXPECT_FALSE(dial.changeValue());

  const auto errors = std::make_shared<testsupport::RecordedErrors>();
  Application().setDelegateHandler(errors);
  gpu::commandTrace().start();
  roller->fillColor(graphics::Color::fromRGBA(1, 0, 0, 1));
  roller->pickPattern(TouchInput({100, 80}, 1, 1, 0), 0);
  EXPECT_TRUE(gpu::commandTrace().events().empty()) << "neither a fill nor a pick reaches the GPU";
  EXPECT_EQ(errors->errors, std::vector<ErrorMessage>{ErrorMessage::CannotFillColor});

  roller->initialize();
  const auto builds = gpu::commandTrace().pipelineBuilds();
  gpu::commandTrace().stop();
  ASSERT_FALSE(builds.empty());
  EXPECT_EQ(builds.front().functionName, "Roller_paint");
  EXPECT_TRUE(roller->initialized());
}

// The first load shows the scene with its pose; the head is measured once the canvas has started,
// with no border round it, and the roller's initialisers run on it.
TEST_F(RollerTest, FirstLoadPosesThePreviewAndTheStartedCanvasGivesItsHead) {
  toolNode().setEulerY(0.25f);
  makeCurrent();
  const auto& content = viewer().toolContentNode();
  ASSERT_TRUE(content);
  EXPECT_FALSE(content->childNodes().empty());
  EXPECT_EQ(canvas->brushView()->content(), content);
  EXPECT_TRUE(content->childNode("MarkLeft", true)->isHidden());
  EXPECT_TRUE(content->childNode("MarkRight", true)->isHidden());
  EXPECT_FLOAT_EQ(content->scale().x, contentScale());
  EXPECT_EQ(toolNode().scale(), scene::Vector3(0.07f, 0.07f, 0.07f));
  EXPECT_EQ(toolNode().eulerAngles(), scene::Vector3(kPi / 4, 0.25f, kPi / 4));
  EXPECT_FALSE(viewer().initialized()) << "the canvas has not started";
  EXPECT_FALSE(viewer().toolModel());

  gpu::commandTrace().start();
  start();
  const auto kernels = gpu::commandTrace().kernelNames();
  gpu::commandTrace().stop();
  ASSERT_TRUE(viewer().initialized());
  ASSERT_TRUE(std::dynamic_pointer_cast<DAEToolModel>(viewer().toolModel()));
  EXPECT_NE(std::find(kernels.begin(), kernels.end(), "DAEToolModel_initialize"), kernels.end());
  // The second "Box: " line is the model's size: the next multiple of 8 above the head's extent
  // itself, with nothing added.
  const auto boxes = console.linesStartingWith("Box: ");
  ASSERT_EQ(boxes.size(), 2u);
  std::istringstream extent(boxes[0].substr(5));
  float e[3];
  extent >> e[0] >> e[1] >> e[2];
  const auto& model = *viewer().toolModel();
  EXPECT_EQ(model.width(), AbstractDAEThickToolViewer::modelSize(e[0]));
  EXPECT_EQ(model.height(), AbstractDAEThickToolViewer::modelSize(e[1]));
  EXPECT_EQ(model.depth(), AbstractDAEThickToolViewer::modelSize(e[2]));
  EXPECT_EQ(viewer().size(), (gpu::Size{static_cast<std::size_t>(model.width()),
                                        static_cast<std::size_t>(model.height()),
                                        static_cast<std::size_t>(model.depth())}));
}

TEST_F(RollerTest, AReloadGivesBackTheLastTouchsPose) {
  start();
  makeCurrent();
  const auto scene = viewer().toolContentNode()->childNodes();
  viewer().updateOnTouch(toolNode(), TouchInput({100, 80}, 0.8f, 1.0f, 0.3f));
  toolNode().setEulerAngles({1, 2, 3});
  toolNode().setScale({5, 5, 5});
  viewer().loads();
  EXPECT_EQ(toolNode().eulerAngles(), scene::Vector3(0, kPi / 2 - 1.0f, -0.3f));
  EXPECT_EQ(toolNode().scale(), scene::Vector3(0.07f, 0.07f, 0.07f));
  EXPECT_FLOAT_EQ(viewer().toolContentNode()->scale().x, contentScale());
  EXPECT_EQ(viewer().toolContentNode()->childNodes(), scene) << "the scene is read once";
}

TEST_F(RollerTest, AMissingSceneIsReportedAndLeavesTheRollerUninitialised) {
  testsupport::TempResourceRoot empty;
  start();
  makeCurrent();
  EXPECT_EQ(console.linesStartingWith("Roller isn't found").size(), 1u);
  EXPECT_FALSE(viewer().initialized());
  EXPECT_FALSE(viewer().toolModel());
  EXPECT_TRUE(viewer().toolContentNode()->childNodes().empty());
}

// The preview follows the stylus's tilt and azimuth and grows with its pressure alone; a touch
// never loads the viewer.
TEST_F(RollerTest, ATouchPosesAndSizesThePreviewByThePressure) {
  const struct {
    float force, altitude, azimuth;
    scene::Vector3 pose;
    float scale;
  } cases[] = {{0.2f, kPi / 2, 0, {0, 0, 0}, 0.5f},
               {0.8f, 0, 0.3f, {0, kPi / 2, -0.3f}, 0.8f},
               {3.0f, 1.0f, -1.0f, {0, kPi / 2 - 1.0f, 1.0f}, 3.0f}};
  for (const auto& c : cases) {
    scene::Node node;
    viewer().updateOnTouch(node, TouchInput({100, 80}, c.force, c.altitude, c.azimuth));
    EXPECT_EQ(node.eulerAngles(), c.pose) << c.force;
    EXPECT_EQ(viewer().eulerAngles(), c.pose) << c.force;
    EXPECT_EQ(node.scale(), scene::Vector3(c.scale, c.scale, c.scale)) << c.force;
  }
  EXPECT_FALSE(viewer().toolContentNode());
  EXPECT_FALSE(viewer().initialized());
}

}  // namespace
}  // namespace tessivarium
