#include "tools/DefaultToolViewer.h"

#include <gtest/gtest.h>

#include <numbers>

#include "Application.h"
#include "ConsoleCapture.h"
#include "FakeCanvas.h"
#include "FakeTool.h"
#include "FatalStop.h"
#include "scene/Geometry.h"
#include "tools/ApplicationManager.h"
#include "components/BrushView.h"
#include "tools/ToolModel.h"
#include "tools/TouchInput.h"
#include "ui/Event.h"
#include "ui/TouchSet.h"

namespace tessivarium {
namespace {

// An 800 x 600 canvas at scale 2: its brush view maps view (x, y) to world ((x - 400) / 300,
// (300 - y) / 300) at depth 0.
class DefaultToolViewerTest : public testing::Test {
 protected:
  DefaultToolViewerTest() {
    auto canvas = std::make_shared<testsupport::FakeCanvas>(MainPaintId, 800, 600, 2.0);
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
  }
  BrushView& brushView() { return *AppManager().currentPaint()->brushView(); }
  scene::Node& toolNode() { return *brushView().toolNode(); }

  std::shared_ptr<ui::Touch> stylus(double x, double y) {
    ui::TouchState state;
    state.type = ui::TouchType::Stylus;
    state.phase = ui::TouchPhase::Moved;
    state.location = {x, y};
    state.force = 0.5;
    state.altitudeAngle = 0.5;
    state.azimuthAngle = 0.3;
    return ui::Touch::make(state, &brushView());
  }

  testsupport::FakeTool tool{ToolType::knife1};
};

void expectVector(const scene::Vector3& got, const scene::Vector3& want) {
  EXPECT_FLOAT_EQ(got.x, want.x);
  EXPECT_FLOAT_EQ(got.y, want.y);
  EXPECT_FLOAT_EQ(got.z, want.z);
}

TEST_F(DefaultToolViewerTest, StartsEmptyWithTheDisplayScale) {
  DefaultToolViewer viewer(tool);
  EXPECT_EQ(viewer.size(), (gpu::Size{73, 73, 0}));
  EXPECT_EQ(viewer.rotation(), 0);
  EXPECT_FALSE(viewer.toolContentNode());
  EXPECT_FALSE(viewer.eulerAngles());
  EXPECT_FALSE(viewer.toolModel());
  EXPECT_FLOAT_EQ(viewer.scale(), 0.35f);
  EXPECT_FLOAT_EQ(DefaultToolViewer(tool, 3.0f).scale(), 1.05f);
  EXPECT_FATAL(viewer.createToolModel(), "should be implemented in subclass");

  AppManager().setCanvas(nullptr);
  EXPECT_FATAL(DefaultToolViewer{tool}, "DefaultToolViewer: a viewer needs a canvas");
}

TEST_F(DefaultToolViewerTest, ContentNodeIsMadeOnceAndTakesTheRotation) {
  DefaultToolViewer viewer(tool);
  viewer.updateOnToolChange();  // no node yet: nothing to turn
  viewer.setRotation(0);        // the same value: the tool is not written
  viewer.attachView();
  const auto node = viewer.toolContentNode();
  ASSERT_TRUE(node);
  EXPECT_TRUE(node->childNodes().empty());
  viewer.loads();
  EXPECT_EQ(viewer.toolContentNode(), node);

  node->setEulerAngles({1, 2, 3});
  viewer.setRotation(0);
  EXPECT_EQ(node->eulerAngles(), scene::Vector3(0, 0, 0));
  node->setEulerAngles({1, 2, 3});
  viewer.updateOnToolChange();
  EXPECT_EQ(node->eulerAngles(), scene::Vector3(0, 0, 0));
}

TEST_F(DefaultToolViewerTest, HidesTheNamedMarksItHolds) {
  DefaultToolViewer viewer(tool);
  EXPECT_FATAL(viewer.hideMarks({"MarkTop"}), "DefaultToolViewer.hideMarks: no content node");
  EXPECT_FATAL(viewer.getLocation("", "MarkTop"), "DefaultToolViewer.getLocation: no content node");
  viewer.loads();
  auto head = scene::Node::make();
  auto top = scene::Node::make();
  top->setName("MarkTop");
  auto left = scene::Node::make();
  left->setName("MarkLeft");
  head->addChildNode(top);
  viewer.toolContentNode()->addChildNode(head);
  viewer.toolContentNode()->addChildNode(left);
  viewer.hideMarks({"MarkTop", "MarkHeadBottom"});
  EXPECT_TRUE(top->isHidden());
  EXPECT_FALSE(left->isHidden());
  EXPECT_FATAL(viewer.getLocation("", "MarkDown"), "DefaultToolViewer.getLocation: no marker \"MarkDown\"");
}

TEST_F(DefaultToolViewerTest, ForwardsNothingWithoutAModel) {
  DefaultToolViewer viewer(tool);
  viewer.clean();
  viewer.reset();
  viewer.savePattern();
  viewer.pickPattern(TouchInput({1, 2}, 0.5f, 1.0f, 0.0f), 1.0f);
  EXPECT_FALSE(viewer.toolModel());

  // With a model, the forwarded save reaches it.
  viewer.setToolModel(std::make_shared<ToolModel>(viewer, 8, 8, 2));
  viewer.savePattern();
  EXPECT_TRUE(viewer.toolModel()->savedColorTexture());
}

TEST_F(DefaultToolViewerTest, PoseAndPressureScale) {
  DefaultToolViewer viewer(tool);
  auto node = scene::Node::make();
  const struct { bool resizable; float force; float scale; } cases[] = {
      {false, 0.2f, 0.35f}, {false, 0.9f, 0.35f}, {true, 0.2f, 1.0f}, {true, 0.8f, 1.6f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.resizable << " " << c.force);
    tool.setResizableOnPressure(c.resizable);
    viewer.updateOnTouch(*node, TouchInput({10, 20}, c.force, 0.4f, 1.2f));
    expectVector(node->eulerAngles(), {0, 1.1707964f, -1.2f});
    EXPECT_EQ(viewer.eulerAngles(), node->eulerAngles());
    EXPECT_EQ(node->scale(), scene::Vector3(c.scale, c.scale, c.scale));
  }
}

TEST_F(DefaultToolViewerTest, MovePutsTheToolNodeUnderTheLastSampleAtDepthZero) {
  DefaultToolViewer viewer(tool);
  const auto touch = stylus(100, 100);
  ui::Event event;
  event.setCoalescedTouches(touch, {stylus(10, 10), stylus(520, 120)});
  viewer.touchesMoved(ui::TouchSet{touch}, &event);
  expectVector(toolNode().position(), {0.4f, 0.6f, 0});
  expectVector(toolNode().eulerAngles(), {0, 1.0707964f, -0.3f});
  EXPECT_EQ(toolNode().scale(), scene::Vector3(0.35f, 0.35f, 0.35f));

  // The stored pose goes back on the tool node when the viewer loads again.
  toolNode().setEulerAngles({0, 0, 0});
  viewer.loads();
  expectVector(toolNode().eulerAngles(), {0, 1.0707964f, -0.3f});
}

TEST_F(DefaultToolViewerTest, MovesWithoutSamplesChangeNothing) {
  DefaultToolViewer viewer(tool);
  const auto touch = stylus(100, 100), other = stylus(200, 200);
  ui::Event none, forOther, empty;
  forOther.setCoalescedTouches(other, {stylus(520, 120)});
  empty.setCoalescedTouches(touch, {});
  ui::Event good;
  good.setCoalescedTouches(touch, {stylus(520, 120)});
  toolNode().setPosition({1, 2, 3});

  viewer.touchesMoved(ui::TouchSet{}, &good);
  viewer.touchesMoved(ui::TouchSet{touch}, nullptr);
  viewer.touchesMoved(ui::TouchSet{touch}, &none);
  viewer.touchesMoved(ui::TouchSet{touch}, &forOther);
  viewer.touchesMoved(ui::TouchSet{touch}, &empty);
  viewer.touchesMoved(ui::TouchSet{other, touch}, &good);  // the first touch has no samples
  EXPECT_EQ(toolNode().position(), scene::Vector3(1, 2, 3));
  EXPECT_FALSE(viewer.eulerAngles());

  const auto node = brushView().toolNode();
  brushView().setToolNode(nullptr);
  viewer.touchesMoved(ui::TouchSet{touch}, &good);
  EXPECT_FALSE(viewer.eulerAngles());
  EXPECT_EQ(node->position(), scene::Vector3(1, 2, 3));
}

TEST_F(DefaultToolViewerTest, AutoHideShowsOnBeganAndHidesOnEnded) {
  DefaultToolViewer viewer(tool);
  const auto touch = stylus(100, 100);
  ui::Event event;
  event.setCoalescedTouches(touch, {stylus(520, 120)});
  const ui::TouchSet touches{touch};

  Application().setDrawingToolAutoHide(false);
  toolNode().setHidden(true);
  viewer.touchesBegan(touches, &event);
  EXPECT_TRUE(toolNode().isHidden());
  expectVector(toolNode().position(), {0.4f, 0.6f, 0});  // began also moves
  toolNode().setHidden(false);
  viewer.touchesEnded(touches, &event);
  EXPECT_FALSE(toolNode().isHidden());

  Application().setDrawingToolAutoHide(true);
  toolNode().setHidden(true);
  viewer.touchesBegan(touches, &event);
  EXPECT_FALSE(toolNode().isHidden());
  viewer.touchesEnded(touches, nullptr);
  EXPECT_TRUE(toolNode().isHidden());
}

TEST_F(DefaultToolViewerTest, RotationPairDoesNotLoop) {
  auto viewer = std::make_shared<DefaultToolViewer>(tool);
  tool.setToolViewer(viewer);
  viewer->loads();
  viewer->setRotation(0.75f);
  EXPECT_EQ(tool.rotation(), 0.75f);
  EXPECT_EQ(viewer->toolContentNode()->eulerAngles(), scene::Vector3(0, 0, 0.75f));
  tool.setRotation(-0.5f);
  EXPECT_EQ(viewer->rotation(), -0.5f);
  EXPECT_EQ(viewer->toolContentNode()->eulerAngles(), scene::Vector3(0, 0, -0.5f));
  tool.setToolViewer(nullptr);
}

TEST_F(DefaultToolViewerTest, LocationOfAMarkerThroughTheNodeChain) {
  DefaultToolViewer viewer(tool);
  viewer.loads();
  // MarkTop at (2, 0, 0) in a head turned a quarter about z at (0, 1, 0): (0, 3, 0) in the content
  // node; under the tool node (scale 0.5 at (0.2, -0.1, 0)) that is world (0.2, 1.4, 0).
  auto head = scene::Node::make();
  head->setPosition({0, 1, 0});
  head->setEulerAngles({0, 0, std::numbers::pi_v<float> / 2});
  auto top = scene::Node::make();
  top->setName("MarkTop");
  top->setPosition({2, 0, 0});
  head->addChildNode(top);
  viewer.toolContentNode()->addChildNode(head);
  toolNode().addChildNode(viewer.toolContentNode());
  toolNode().setPosition({0.2f, -0.1f, 0});
  toolNode().setScale({0.5f, 0.5f, 0.5f});

  const auto at = viewer.getLocation("unused", "MarkTop");
  EXPECT_NEAR(at.x, 460, 1e-3);
  EXPECT_NEAR(at.y, -120, 1e-3);
  EXPECT_NEAR(at.z, 4.0 / 99.0, 1e-6);

  testsupport::ConsoleCapture console;
  viewer.printLocation("Top:", "MarkTop");
  ASSERT_EQ(console.lines().size(), 1u);
  EXPECT_EQ(console.lines()[0].rfind("Top: SCNVector3(x: 460.0", 0), 0u) << console.lines()[0];
}

}  // namespace
}  // namespace tessivarium
