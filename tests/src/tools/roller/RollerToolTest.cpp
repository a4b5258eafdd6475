// The roller's viewer: its first load, a reload, a missing scene, and the pose and size a touch
// gives the preview.

#include <gtest/gtest.h>

#include <numbers>

#include "ConsoleCapture.h"
#include "TempResourceRoot.h"
#include "TestCanvas.h"
#include "components/BrushView.h"
#include "imaging/Image.h"
#include "scene/Node.h"
#include "tools/DAEToolModel.h"
#include "tools/roller/RollerTool.h"
#include "tools/roller/RollerToolViewer.h"

namespace tessivarium {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

class RollerToolTest : public ::testing::Test {
 protected:
  RollerToolTest() {
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
  }
  // Making the roller current enables it on the canvas, which loads its viewer.
  void makeCurrent() { AppManager().setCurrentTool(roller); }
  void start() { canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(4, 4))); }
  RollerToolViewer& viewer() { return static_cast<RollerToolViewer&>(*roller->toolViewer()); }
  scene::Node& toolNode() { return *canvas->brushView()->toolNode(); }
  void expectScales() {
    // The screen ratio, taken against the 4:3 shape: (3 x 300) / (4 x 200).
    EXPECT_FLOAT_EQ(viewer().toolContentNode()->scale().x,
                    static_cast<float>(AppManager().screenRatio(*canvas) * 1.125));
    EXPECT_EQ(toolNode().scale(), scene::Vector3(0.07f, 0.07f, 0.07f));  // 0.1 x the display's 0.7
  }

  testsupport::ConsoleCapture console;
  std::shared_ptr<testsupport::TestCanvas> canvas = testsupport::makeCanvas(300, 200);
  std::shared_ptr<RollerTool> roller = std::make_shared<RollerTool>();
};

// The first load poses the preview; the started canvas then gives the roller its head, measured
// without a border, and a reload gives the preview back the last touch's pose.
TEST_F(RollerToolTest, LoadsPoseThePreviewAndTheStartedCanvasGivesItsHead) {
  toolNode().setEulerY(0.25f);
  makeCurrent();
  const auto& content = viewer().toolContentNode();
  ASSERT_FALSE(content->childNodes().empty());
  EXPECT_EQ(canvas->brushView()->content(), content);
  EXPECT_TRUE(content->childNode("MarkLeft", true)->isHidden() && content->childNode("MarkRight", true)->isHidden());
  expectScales();
  EXPECT_EQ(toolNode().eulerAngles(), scene::Vector3(kPi / 4, 0.25f, kPi / 4));
  EXPECT_FALSE(viewer().initialized()) << "the canvas has not started";

  start();
  ASSERT_TRUE(viewer().initialized());
  EXPECT_TRUE(std::dynamic_pointer_cast<DAEToolModel>(viewer().toolModel()));
  EXPECT_EQ(viewer().border(), SCNVector3(0, 0, 0));

  const auto scene = content->childNodes();
  viewer().updateOnTouch(toolNode(), TouchInput({100, 80}, 0.8f, 1.0f, 0.3f));
  toolNode().setEulerAngles({1, 2, 3}), toolNode().setScale({5, 5, 5});
  viewer().loads();
  EXPECT_EQ(toolNode().eulerAngles(), scene::Vector3(0, kPi / 2 - 1.0f, -0.3f));
  expectScales();
  EXPECT_EQ(content->childNodes(), scene) << "the scene is read once";
}

TEST_F(RollerToolTest, AMissingSceneIsReportedAndLeavesTheRollerUninitialised) {
  testsupport::TempResourceRoot empty;
  start();
  makeCurrent();
  EXPECT_EQ(console.linesStartingWith("Roller isn't found").size(), 1u);
  EXPECT_FALSE(viewer().initialized());
  EXPECT_FALSE(viewer().toolModel());
}

// A touch never loads the viewer; the preview grows with the pressure alone.
TEST_F(RollerToolTest, ATouchPosesThePreviewAndSizesItByThePressure) {
  const struct {
    float force, altitude, azimuth;
    scene::Vector3 pose;
    float size;
  } cases[] = {{0.2f, kPi / 2, 0, {0, 0, 0}, 0.5f}, {0.8f, 0, 0.3f, {0, kPi / 2, -0.3f}, 0.8f}, {3, 1, -1, {0, kPi / 2 - 1, 1}, 3}};
  for (const auto& c : cases) {
    scene::Node node;
    viewer().updateOnTouch(node, TouchInput({100, 80}, c.force, c.altitude, c.azimuth));
    EXPECT_EQ(node.eulerAngles(), c.pose) << c.force;
    EXPECT_EQ(node.scale(), scene::Vector3(c.size, c.size, c.size)) << c.force;
  }
  EXPECT_FALSE(viewer().toolContentNode());
}

}  // namespace
}  // namespace tessivarium
