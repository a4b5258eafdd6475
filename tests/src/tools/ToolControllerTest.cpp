#include "tools/DAEDialController.h"
#include "tools/DAEToolController.h"

#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "FatalStop.h"
#include "TempResourceRoot.h"
#include "foundation/Bundle.h"
#include "scene/Geometry.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Scene.h"
#include "ui/TouchSet.h"

namespace tessivarium {
namespace {

constexpr float kPi = static_cast<float>(std::numbers::pi);
constexpr float kHalfPi = static_cast<float>(std::numbers::pi / 2);
constexpr float kTwoPi = static_cast<float>(2 * std::numbers::pi);
constexpr float kSixthPi = 0.5235988f;

class Recorder : public ToolChangeValue {
 public:
  void changedValue(const std::any& value) override { values.push_back(std::any_cast<float>(value)); }
  std::vector<float> values;
};

// A 300 x 200 view: the scene origin projects to (150, 100) and (0.59, 0, 0) to x = 209.
const graphics::Rect kFrame(0, 0, 300, 200);

void dragTo(ToolController& controller, double x, double y) {
  ui::TouchState state;
  state.phase = ui::TouchPhase::Moved;
  state.location = {x, y};
  controller.touchesMoved(ui::TouchSet{ui::Touch::make(state, &controller)}, nullptr);
}

std::string sceneText(const std::string& name) {
  std::ifstream in(foundation::Bundle::defaultRoot() / "scenes" / (name + ".dae"));
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void expectEuler(const scene::Node& node, scene::Vector3 want) {
  EXPECT_FLOAT_EQ(node.eulerAngles().x, want.x);
  EXPECT_FLOAT_EQ(node.eulerAngles().y, want.y);
  EXPECT_FLOAT_EQ(node.eulerAngles().z, want.z);
}

TEST(ToolController, LoadAsAuthored) {
  const auto joystick = scene::Scene::load(foundation::Bundle::defaultRoot() / "scenes" / "Joystick.dae");
  std::vector<std::string> names;
  for (const auto& child : joystick->rootNode()->childNodes()) names.push_back(child->name());
  EXPECT_EQ(names, (std::vector<std::string>{"Base", "AxisX", "Handler"}));
  const auto knob = joystick->rootNode()->childNode("Knob", true);
  ASSERT_TRUE(knob);
  EXPECT_EQ(knob->parent()->name(), "Handler");
  EXPECT_EQ(knob->worldPosition(), scene::Vector3(0, 0, 0.5f));
  EXPECT_TRUE(knob->geometry());

  const auto dial = scene::Scene::load(foundation::Bundle::defaultRoot() / "scenes" / "Dial.dae");
  const auto disc = dial->rootNode()->childNode("Dial", false);
  ASSERT_TRUE(disc);
  EXPECT_TRUE(disc->geometry());
  EXPECT_EQ(disc->childNode("Pointer", false)->worldPosition(), scene::Vector3(0, 0, 0));
}

TEST(ToolController, DragAngleRule) {
  const float quarterDown = -kHalfPi;
  const struct {
    double x, y;
    float minAngle, maxAngle;
    float angle;
  } cases[] = {
      {150, 100, 0, kTwoPi, 0},                  // over the centre
      {100, 100, 0, kTwoPi, kPi},                // left
      {150, 60, 0, kTwoPi, kHalfPi},             // up
      {150, 140, 0, kTwoPi, 4.712389f},          // down, counted on past π
      {150, 140, -kHalfPi, kHalfPi, quarterDown},  // down, counted as negative
      {110, 140, -kHalfPi, kHalfPi, quarterDown},  // down-left: -3π/4 held at -π/2
      {100, 100, 0, kHalfPi, kHalfPi},           // left, held at the top of the range
      {190, 140, 0.5f, kTwoPi, 5.4977875f},      // down-right: 2π - π/4
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
    DAEToolController joystick(kFrame);
    joystick.setView();
    auto receiver = std::make_shared<Recorder>();
    joystick.setChangeValue(receiver);
    joystick.setMinAngle(c.minAngle);
    joystick.setMaxAngle(c.maxAngle);
    dragTo(joystick, c.x, c.y);
    ASSERT_EQ(receiver->values.size(), 1u);
    EXPECT_FLOAT_EQ(receiver->values[0], c.angle);
    EXPECT_EQ(*joystick.origin(), scene::Vector3(150, 100, joystick.origin()->z));
  }
}

TEST(ToolController, TiltFollowsAngleAndCappedRadius) {
  DAEToolController joystick(kFrame);
  joystick.setView();
  // Over the centre: no receiver needed, the handle shows the resting tilt toward angle 0.
  dragTo(joystick, 150, 100);
  expectEuler(*joystick.handler(), {0, kSixthPi, 0});
  EXPECT_FLOAT_EQ(*joystick.handlerLength(), 209);

  // The same direction (acos 0.6) 50 and 200 points out: the same angle, the tilt of radius 50
  // and of the cap, 80.
  auto receiver = std::make_shared<Recorder>();
  joystick.setChangeValue(receiver);
  dragTo(joystick, 150 + 30, 100 - 40);
  expectEuler(*joystick.handler(), {-0.14261143f, 0.098965906f, 0});
  expectEuler(*joystick.axisX(), {-0.14261143f, 0, 0});
  dragTo(joystick, 150 + 120, 100 - 160);
  expectEuler(*joystick.handler(), {-0.23188239f, 0.16091594f, 0});
  EXPECT_EQ(receiver->values, (std::vector<float>{0.9272952f, 0.9272952f}));
}

TEST(ToolController, TiltTable) {
  DAEToolController joystick(kFrame);
  joystick.setView();
  const float T = kSixthPi;
  const struct { float angle; scene::Vector3 euler; } cases[] = {
      {0, {0, T, 0}},          {kHalfPi, {-T, 0, 0}},      {kPi, {0, -T, 0}},
      {4.712389f, {T, 0, 0}},  {kTwoPi, {T, 0, 0}},        {-kHalfPi, {T, 0, 0}},
      {kPi / 4, {-T / 2, T / 2, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.angle);
    joystick.setView(std::any(c.angle));
    expectEuler(*joystick.handler(), c.euler);
    expectEuler(*joystick.axisX(), {c.euler.x, 0, 0});
  }
}

TEST(ToolController, DragLongerThanTheHandleLeansFully) {
  // A 40 x 40 view puts (0.59, 0, 0) at x = 31.8: a 50-point drag passes it.
  DAEToolController joystick(graphics::Rect(0, 0, 40, 40));
  joystick.setView();
  dragTo(joystick, 20, 20 - 50);
  expectEuler(*joystick.handler(), {-kHalfPi, 0, 0});
}

TEST(ToolController, BuildsTheGadget) {
  DAEToolController joystick(kFrame);
  joystick.setView();
  const auto& content = joystick.content();
  ASSERT_TRUE(content);
  EXPECT_EQ(content->parent(), joystick.scene()->rootNode().get());
  EXPECT_FLOAT_EQ(content->opacity(), 0.7f);
  EXPECT_EQ(content->scale(), scene::Vector3(2, 2, 2));
  EXPECT_EQ(content->childNodes().size(), 3u);
  EXPECT_EQ(joystick.lightNode()->position(), scene::Vector3(-2, 2, 2));
  EXPECT_EQ(joystick.lightNode()->light()->color(), graphics::Color::fromRGBA(1, 1, 1, 1));
  EXPECT_EQ(joystick.axisX()->name(), "AxisX");
  const auto body = content->childNode("Base", false)->geometry()->firstMaterial();
  const auto handle = joystick.handler()->childNode("Knob", false)->geometry()->firstMaterial();
  EXPECT_EQ(joystick.handler()->geometry()->firstMaterial(), handle);
  EXPECT_EQ(content->childNode("AxisX", false)->geometry()->firstMaterial(), body);
  EXPECT_FLOAT_EQ(body->shininess(), 0.4f);
  EXPECT_FLOAT_EQ(handle->shininess(), 0.1f);
  for (const auto& m : {body, handle}) {
    EXPECT_EQ(m->lightingModel(), scene::LightingModel::phong);
    EXPECT_EQ(*m->diffuse().color(), graphics::Color::darkGrey());
    EXPECT_EQ(*m->specular().color(), graphics::Color::white());
  }
  // No pose until a value is shown; a later setView() with no value changes nothing.
  expectEuler(*joystick.handler(), {0, 0, 0});
  const auto scene = joystick.scene();
  joystick.setView();
  EXPECT_EQ(joystick.scene(), scene);
  EXPECT_FALSE(joystick.handlerLength());
  EXPECT_FATAL(joystick.setView(std::any(1.0)), "ToolController.setView: the value is not a Float angle");
}

TEST(ToolControllers, MissingSceneIsRetriedBrokenSceneStops) {
  testsupport::TempResourceRoot root;
  testsupport::ConsoleCapture console;
  DAEToolController joystick(kFrame);
  DAEDialController dial(kFrame);
  joystick.setView(std::any(1.0f));
  dial.setView();
  EXPECT_EQ(console.lines(), (std::vector<std::string>{"Jostick.dae isn't found", "Dial.dae isn't found"}));
  EXPECT_FALSE(joystick.content());
  EXPECT_FALSE(dial.content());
  EXPECT_TRUE(joystick.scene());  // a fresh, empty stage

  root.write("Joystick.dae", sceneText("Joystick"));
  joystick.setView();
  EXPECT_TRUE(joystick.content());
  EXPECT_TRUE(joystick.handler());

  // Files without the node the controller turns.
  root.write("Dial.dae", sceneText("Joystick"));
  EXPECT_FATAL(dial.setView(), "DAEDialController.loads: Dial.dae has no node \"Dial\"");
  DAEToolController other(kFrame);
  root.write("Joystick.dae", "<COLLADA><broken");
  EXPECT_FATAL(other.setView(), "DAEToolController.loads: Joystick.dae has no node \"Handler\"");
}

TEST(ToolController, PosesFromDragsAndValues) {
  DAEDialController dial(kFrame);
  dial.setView();
  ASSERT_TRUE(dial.dial());
  expectEuler(*dial.dial(), {0, 0, kHalfPi});  // resting
  EXPECT_EQ(dial.content()->scale(), scene::Vector3(0.7f, 0.7f, 0.7f));
  EXPECT_FLOAT_EQ(dial.content()->opacity(), 0.7f);
  EXPECT_EQ(dial.lightNode()->position(), scene::Vector3(-2, 2, 2));
  EXPECT_FLOAT_EQ(dial.dial()->geometry()->firstMaterial()->shininess(), 0.1f);
  EXPECT_FLOAT_EQ(dial.content()->childNode("DialBase", false)->geometry()->firstMaterial()->shininess(), 0.4f);
  EXPECT_EQ(dial.maxAngle(), kTwoPi);
  EXPECT_EQ(dial.minAngle(), 0);

  auto receiver = std::make_shared<Recorder>();
  dial.setChangeValue(receiver);
  dragTo(dial, 150, 30);  // straight up, far out: the radius changes nothing
  expectEuler(*dial.dial(), {0, 0, 1.5707964f});
  dial.setMinAngle(-kHalfPi);
  dial.setMaxAngle(kHalfPi);
  dragTo(dial, 150, 110);  // straight down with the signed range
  expectEuler(*dial.dial(), {0, 0, 4.712389f});
  EXPECT_EQ(receiver->values, (std::vector<float>{kHalfPi, -kHalfPi}));

  dial.setView();
  expectEuler(*dial.dial(), {0, 0, 4.712389f});
  dial.setView(std::any(-1.0f));
  expectEuler(*dial.dial(), {0, 0, kTwoPi - 1.0f});
}

}  // namespace
}  // namespace tessivarium
