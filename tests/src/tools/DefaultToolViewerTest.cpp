#include "tools/DefaultToolViewer.h"

#include <gtest/gtest.h>

#include "FakeCanvas.h"
#include "FakeTool.h"
#include "FatalStop.h"
#include "scene/Geometry.h"
#include "tools/ApplicationManager.h"
#include "tools/ToolModel.h"
#include "tools/TouchInput.h"

namespace tessivarium {
namespace {

class DefaultToolViewerTest : public testing::Test {
 protected:
  DefaultToolViewerTest() {
    AppManager().setCanvas(std::make_shared<testsupport::FakeCanvas>(MainPaintId, 800, 600, 2.0));
  }
  testsupport::FakeTool tool{ToolType::knife1};
};

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
  viewer.pickPattern(TouchInput({5, 6}, 0.5f, 0.5f, 0.5f), 1.0f);
  EXPECT_FALSE(viewer.toolModel());

  // With a model, the forwarded save reaches it.
  viewer.setToolModel(std::make_shared<ToolModel>(viewer, 8, 8, 2));
  viewer.savePattern();
  EXPECT_TRUE(viewer.toolModel()->savedColorTexture());
}

}  // namespace
}  // namespace tessivarium
