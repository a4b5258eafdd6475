#include <cmath>

#include <gtest/gtest.h>

#include "SceneTestSupport.h"
#include "scene/Vector.h"

namespace {

using scene::Vector3;
using scenetest::expectNear;

TEST(Vector, LengthNormalDistanceDotAndCross) {
  const Vector3 v{3, 4, 0};
  EXPECT_EQ(v.length(), 5.0f);
  expectNear(v.normalized(), {0.6f, 0.8f, 0});
  EXPECT_EQ(Vector3(1, 1, 1).distance({4, 5, 1}), 5.0f);
  EXPECT_EQ(Vector3(1, 2, 3).dot({4, -5, 6}), 12.0f);
  EXPECT_EQ(Vector3(1, 0, 0).cross({0, 1, 0}), Vector3(0, 0, 1));
  EXPECT_EQ(Vector3(0, 1, 0).cross({1, 0, 0}), Vector3(0, 0, -1));
  // No checks: a zero vector normalises to NaN.
  EXPECT_TRUE(std::isnan(Vector3().normalized().x));
}

TEST(Vector, InPlaceAndNewVariantsKeepTheirNames) {
  Vector3 v{1, -2, 3};
  EXPECT_EQ(v.negate(), Vector3(-1, 2, -3));
  EXPECT_EQ(v, Vector3(1, -2, 3));  // negate() leaves v alone
  EXPECT_EQ(v.negated(), Vector3(-1, 2, -3));
  EXPECT_EQ(v, Vector3(-1, 2, -3));  // negated() changes v

  Vector3 w{0, 3, 4};
  expectNear(w.normalize(), {0, 0.6f, 0.8f});
  expectNear(w, {0, 0.6f, 0.8f});
}

TEST(Vector, ComponentwiseOperators) {
  const Vector3 a{2, 4, 8}, b{1, 2, 4};
  EXPECT_EQ(a + b, Vector3(3, 6, 12));
  EXPECT_EQ(a - b, Vector3(1, 2, 4));
  EXPECT_EQ(a * b, Vector3(2, 8, 32));
  EXPECT_EQ(a / b, Vector3(2, 2, 2));
  EXPECT_EQ(a * 0.5f, Vector3(1, 2, 4));
  EXPECT_EQ(a / 2.0f, Vector3(1, 2, 4));

  Vector3 c = a;
  c += b;
  c -= Vector3(1, 1, 1);
  c *= Vector3(2, 1, 0.5f);
  c /= Vector3(1, 5, 1);
  EXPECT_EQ(c, Vector3(4, 1, 5.5f));
  c *= 2.0f;
  c /= 4.0f;
  EXPECT_EQ(c, Vector3(2, 0.5f, 2.75f));
}

}  // namespace
