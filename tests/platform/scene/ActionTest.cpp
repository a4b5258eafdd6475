#include <gtest/gtest.h>

#include "FatalStop.h"
#include "SceneTestSupport.h"
#include "scene/Action.h"
#include "scene/Node.h"

namespace {

using scene::Action;
using scene::Node;
using scenetest::expectNear;
using scenetest::kPi;

// Actions turn the node at once and add up; the node keeps their count and the last one only,
// so a long session of them costs nothing more.
TEST(Action, RotateByTurnsTheNodeAtOnceAndTheNodeCountsItsActions) {
  auto fan = Node::make();
  fan->setEulerAngles({0.5f, 0, 0});
  EXPECT_EQ(fan->actions().count, 0u);
  EXPECT_FALSE(fan->actions().last);

  const auto spin = Action::rotateBy(0, 0, -kPi / 4, 0.5);
  fan->runAction(spin);
  expectNear(fan->eulerAngles(), {0.5f, 0, -kPi / 4});
  EXPECT_EQ(spin->kind(), Action::Kind::rotateBy);
  EXPECT_EQ(spin->duration(), 0.5);

  const auto tilt = Action::rotateBy(1, 2, 0, 0);
  for (int i = 0; i < 100; ++i) fan->runAction(i % 2 ? tilt : spin);
  expectNear(fan->eulerAngles(), {50.5f, 100, -(51 * kPi / 4)}, 1e-3f);
  EXPECT_EQ(fan->actions().count, 101u);
  EXPECT_EQ(fan->actions().last, tilt);
}

TEST(Action, BadInputStops) {
  auto node = Node::make();
  EXPECT_FATAL(Action::rotateBy(0, 0, 1, -1),
               "rotate-by action: the duration must be a finite number of seconds, 0 or more");
  EXPECT_FATAL(Action::rotateBy(0, 0, 1.0 / 0.0, 1), "rotate-by action: the angles must be finite");
  EXPECT_FATAL(node->runAction(nullptr), "runAction: no action given");
}

}  // namespace
