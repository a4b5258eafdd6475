#include <gtest/gtest.h>

#include "FatalStop.h"
#include "SceneTestSupport.h"
#include "scene/Action.h"
#include "scene/Node.h"

namespace {

using scene::Action;
using scene::ActionClock;
using scene::Node;
using scenetest::expectNear;
using scenetest::kPi;

TEST(Action, RotateBySpreadsItsTurnOverItsDurationOnTheVirtualClock) {
  auto fan = Node::make();
  fan->setEulerAngles({0.5f, 0, 0});
  const auto action = Action::rotateBy(0, 0, -kPi / 4, 0.5);
  fan->runAction(action);

  EXPECT_EQ(fan->eulerAngles().z, 0.0f);  // nothing until the clock moves
  ActionClock::shared().advance(0.125);
  expectNear(fan->eulerAngles(), {0.5f, 0, -kPi / 16});
  ActionClock::shared().advance(0.25);
  expectNear(fan->eulerAngles(), {0.5f, 0, -3 * kPi / 16});
  EXPECT_EQ(ActionClock::shared().runningCount(), 1u);
  ActionClock::shared().advance(10);  // past the end: only the rest of the amount
  expectNear(fan->eulerAngles(), {0.5f, 0, -kPi / 4});
  EXPECT_EQ(ActionClock::shared().runningCount(), 0u);

  ASSERT_EQ(fan->actionsRun().size(), 1u);
  EXPECT_EQ(fan->actionsRun()[0], action);
  EXPECT_EQ(action->kind(), Action::Kind::rotateBy);
  EXPECT_DOUBLE_EQ(action->z(), -kPi / 4);
  EXPECT_EQ(action->duration(), 0.5);
}

TEST(Action, OverlappingActionsAddUpAndAZeroDurationTurnsAtOnce) {
  auto node = Node::make();
  node->runAction(Action::rotateBy(1, 0, 0, 1));
  ActionClock::shared().advance(0.5);
  node->runAction(Action::rotateBy(1, 2, 0, 1));
  ActionClock::shared().advance(0.5);
  expectNear(node->eulerAngles(), {1.5f, 1, 0});
  node->runAction(Action::rotateBy(0, 0, 3, 0));
  expectNear(node->eulerAngles(), {1.5f, 1, 3});
  ActionClock::shared().advance(0.5);
  expectNear(node->eulerAngles(), {2, 2, 3});
  EXPECT_EQ(node->actionsRun().size(), 3u);
  EXPECT_DOUBLE_EQ(ActionClock::shared().now(), 1.5);
}

TEST(Action, ANodeThatGoesAwayLeavesTheClock) {
  {
    auto node = Node::make();
    node->runAction(Action::rotateBy(0, 0, 1, 2));
    EXPECT_EQ(ActionClock::shared().runningCount(), 1u);
  }
  EXPECT_EQ(ActionClock::shared().runningCount(), 0u);
  ActionClock::shared().advance(1);
}

TEST(Action, BadInputStops) {
  auto node = Node::make();
  EXPECT_FATAL(Action::rotateBy(0, 0, 1, -1),
               "rotate-by action: the duration must be a finite number of seconds, 0 or more");
  EXPECT_FATAL(Action::rotateBy(0, 0, 1.0 / 0.0, 1), "rotate-by action: the angles must be finite");
  EXPECT_FATAL(node->runAction(nullptr), "runAction: no action given");
  EXPECT_FATAL(ActionClock::shared().advance(-0.1),
               "action clock: time only moves forward by a finite interval");
}

}  // namespace
