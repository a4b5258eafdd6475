// Sharp cases for the thick-paint tool base and the pass registry: the shared dial's range, the
// tool node's pose left alone unless it has none, the fill's head record, and the pickup each
// family gets.

#include <gtest/gtest.h>

#include <numbers>

#include "ConsoleCapture.h"
#include "EnginePassesFixture.h"
#include "components/BrushView.h"
#include "scene/Node.h"
#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEColorFill.h"
#include "tools/DAEDialController.h"
#include "tools/DAEEncoders.h"
#include "tools/SoloDAEToolController.h"

namespace enginetest {
namespace {

using DAEToolFaults = EngineTest;

// The dial is one for all tools: attaching it sets its whole range again, whatever was left on it.
TEST_P(DAEToolFaults, AttachingTheDialResetsItsRange) {
  auto tool = makeTool(ToolType::knife2);
  const auto& dial = SOLO_DAE_TOOL_CONTROLLER();
  dial->setMinAngle(-1.25f);
  dial->setMaxAngle(2.5f);
  tool->switchControler();
  EXPECT_EQ(dial->minAngle(), 0.0f);
  EXPECT_EQ(dial->maxAngle(), static_cast<float>(std::numbers::pi * 2.0));
}

// Only a node with no pose at all gets the default lean; any angle of its own is kept.
TEST_P(DAEToolFaults, TheDialKeepsAToolNodesOwnPose) {
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
TEST_P(DAEToolFaults, EachColourFillBindsTheHeadRecordOfItsTime) {
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

ENGINE_SUITE_AT_BOTH_MODES(DAEToolFaults);

// Each family picks paint up with its own kernel.
TEST(DAEPickups, EachFamilyHasItsOwnPickup) {
  const std::pair<ToolType, const char*> cases[] = {{ToolType::knife5, "DAEToolModel_knife_pickup"},
                                                    {ToolType::smallWideBrush, "DAEToolModel_wide_brush_pickup"},
                                                    {ToolType::filbertBrush, "DAEToolModel_brush_pickup"}};
  for (const auto& [type, kernel] : cases) EXPECT_EQ(DAEEncoders().getPickupEncoder(type)->shaderName(), kernel);
}

}  // namespace
}  // namespace enginetest
