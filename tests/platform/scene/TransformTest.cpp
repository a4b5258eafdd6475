#include <cmath>

#include <gtest/gtest.h>

#include "FatalStop.h"
#include "SceneTestSupport.h"
#include "scene/Matrix4.h"
#include "scene/Node.h"

namespace {

using scene::Matrix4;
using scene::Node;
using scene::Vector3;
using scene::Vector4;
using scenetest::expectNear;
using scenetest::expectRotation;
using scenetest::kPi;

Matrix4 eulerOf(const Vector3& e) {
  Node node;
  node.setEulerAngles(e);
  return node.localTransform();
}

TEST(Transform, SingleAxisEulerAnglesAreRightHandedQuarterTurns) {
  const double rx[3][3] = {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}};
  const double ry[3][3] = {{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}};
  const double rz[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}};
  expectRotation(eulerOf({kPi / 2, 0, 0}), rx);
  expectRotation(eulerOf({0, kPi / 2, 0}), ry);
  expectRotation(eulerOf({0, 0, kPi / 2}), rz);
  // A tool turned by x = π/2: local (x, y, z) lands at (x, −z, y).
  Node turned;
  turned.setEulerAngles({kPi / 2, 0, 0});
  expectNear(turned.toWorld({1, 2, 3}), {1, -3, 2});
}

TEST(Transform, EulerAnglesTurnAboutZThenYThenX) {
  // Rx(π/2) · Ry(π/2): +x is turned about y to −z, then about x to +y.
  const double xy[3][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
  expectRotation(eulerOf({kPi / 2, kPi / 2, 0}), xy);
  Node node;
  node.setEulerAngles({kPi / 2, kPi / 2, 0});
  expectNear(node.toWorld({1, 0, 0}), {0, 1, 0});

  // Three general angles against Rx(a) · Ry(b) · Rz(c) written out.
  const double a = 0.3, b = -0.5, c = 1.1;
  const double ca = std::cos(float(a)), sa = std::sin(float(a)), cb = std::cos(float(b)),
               sb = std::sin(float(b)), cc = std::cos(float(c)), sc = std::sin(float(c));
  const double general[3][3] = {
      {cb * cc, -cb * sc, sb},
      {ca * sc + sa * sb * cc, ca * cc - sa * sb * sc, -sa * cb},
      {sa * sc - ca * sb * cc, sa * cc + ca * sb * sc, ca * cb}};
  expectRotation(eulerOf({float(a), float(b), float(c)}), general);
}

TEST(Transform, LocalTransformIsTranslateRotateScale) {
  Node node;
  node.setPosition({1, 2, 3});
  node.setEulerAngles({0, 0, kPi / 2});
  node.setScale({2, 3, 4});
  // (1, 1, 1) scaled to (2, 3, 4), turned about z to (−3, 2, 4), moved to (−2, 4, 7).
  expectNear(node.toWorld({1, 1, 1}), {-2, 4, 7});
  node.setEulerY(kPi);  // one component, keeping x and z
  EXPECT_EQ(node.eulerAngles(), Vector3(0, kPi, kPi / 2));
}

TEST(Transform, WorldPositionsThroughThreeScaledTurnedParents) {
  auto a = Node::make(), b = Node::make(), c = Node::make();
  a->setPosition({1, 2, 3});
  a->setEulerAngles({0, 0, kPi / 2});
  a->setScale({2, 2, 2});
  b->setPosition({1, 0, 0});
  b->setEulerAngles({kPi / 2, 0, 0});
  b->setScale({1, 3, 1});
  c->setPosition({0, 1, 0});
  c->setEulerAngles({0, kPi / 2, 0});
  c->setScale({0.5f, 0.5f, 0.5f});
  a->addChildNode(b);
  b->addChildNode(c);

  // By hand, innermost first: (0, 0, 2) → C (1, 1, 0) → B (2, 0, 3) → A (1, 6, 9).
  expectNear(c->toWorld({0, 0, 2}), {1, 6, 9});
  expectNear(c->worldPosition(), {1, 4, 9});
  expectNear(c->fromWorld({1, 6, 9}), {0, 0, 2});
  expectNear(b->fromWorld(c->worldPosition()), c->position());
}

TEST(Transform, FromWorldThroughAZeroScaleStops) {
  auto parent = Node::make(), child = Node::make();
  parent->setScale({1, 0, 1});
  parent->addChildNode(child);
  child->setName("flat");
  EXPECT_FATAL(child->fromWorld({0, 0, 0}),
               "fromWorld: node \"flat\" has a zero scale on its way to the root");
}

TEST(Transform, AxisAngleRotationSetsTheEulerAngles) {
  Node node;
  node.setRotation({1, 0, 0, kPi / 2});
  expectNear(node.eulerAngles(), {kPi / 2, 0, 0});
  node.setRotation({0, 0, 2, kPi / 4});  // the axis need not be unit length
  expectNear(node.eulerAngles(), {0, 0, kPi / 4});

  // Any axis: the Euler angles found give back the same turn.
  const Vector4 r{1, -2, 0.5f, 2.2f};
  node.setRotation(r);
  const Matrix4 expected = Matrix4::rotation({r.x, r.y, r.z}, r.w);
  const Matrix4 actual = node.localTransform();
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(actual(i, j), expected(i, j), 1e-6);
  }

  node.setRotation({0, 0, 0, 0});
  EXPECT_EQ(node.eulerAngles(), Vector3(0, 0, 0));
  EXPECT_FATAL(node.setRotation({0, 0, 0, 1}), "setRotation: a turn needs a non-zero axis");
}

TEST(Transform, DecomposeTakesBackPositionEulerAndScale) {
  struct Case {
    Vector3 position, euler, scale;
  };
  const Case cases[] = {
      {{3, 0, -2}, {0.17f, 0.35f, 0.52f}, {1, 0.5f, 3}},
      {{0, 0, 0}, {-2.5f, 1.2f, 3.0f}, {2, 2, 2}},
      {{1, 1, 1}, {0, 0, 0}, {-1, 1, 1}},  // a mirror comes back as a negative x scale
  };
  for (const Case& c : cases) {
    const Matrix4 m = Matrix4::translation(c.position) * Matrix4::eulerRotation(c.euler) *
                      Matrix4::scaling(c.scale);
    const auto parts = scene::decompose(m);
    ASSERT_TRUE(parts);
    expectNear(parts->position, c.position);
    expectNear(parts->eulerAngles, c.euler);
    expectNear(parts->scale, c.scale);
  }

  // Gimbal lock (y = π/2): the turn is kept, with z folded into x.
  const Matrix4 locked = Matrix4::eulerRotation({0.4f, kPi / 2, 0.3f});
  const auto parts = scene::decompose(locked);
  ASSERT_TRUE(parts);
  const Matrix4 again = Matrix4::eulerRotation(parts->eulerAngles);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(again(i, j), locked(i, j), 1e-6);
  }

  Matrix4 shear;
  shear(0, 1) = 0.5;
  EXPECT_FALSE(scene::decompose(shear));
  EXPECT_FALSE(scene::decompose(Matrix4::scaling({1, 0, 1})));
}

}  // namespace
