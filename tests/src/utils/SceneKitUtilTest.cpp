#include "utils/SceneKitUtil.h"

#include <cmath>

#include <gtest/gtest.h>

namespace tessivarium {
namespace {

void expectNear(const SCNVector3& got, const SCNVector3& want) {
  EXPECT_FLOAT_EQ(got.x, want.x);
  EXPECT_FLOAT_EQ(got.y, want.y);
  EXPECT_FLOAT_EQ(got.z, want.z);
}

TEST(SceneKitUtil, FreeVectorFunctions) {
  EXPECT_EQ(SCNVector3Length({3, 4, 0}), 5.0f);
  expectNear(SCNVector3Normalize({3, 4, 0}), {0.6f, 0.8f, 0});
  expectNear(SCNVector3Negate({1, -2, 3}), {-1, 2, -3});
  EXPECT_EQ(SCNVector3Distance({1, 1, 1}, {4, 5, 1}), 5.0f);
  EXPECT_EQ(SCNVector3DotProduct({1, 2, 3}, {4, -5, 6}), 12.0f);
  expectNear(SCNVector3CrossProduct({1, 0, 0}, {0, 1, 0}), {0, 0, 1});
  expectNear(SCNVector3CrossProduct({0, 1, 0}, {1, 0, 0}), {0, 0, -1});
  expectNear(SCNVector3Lerp({0, 0, 0}, {2, 4, 6}, 0.5f), {1, 2, 3});
  expectNear(SCNVector3Lerp({1, 2, 3}, {5, 2, -1}, 0.25f), {2, 2, 2});
  expectNear(SCNVector3Project({2, 3, 4}, {1, 0, 0}), {2, 0, 0});
  // Onto a longer, slanted axis: p (p·v / p·p) = (2, 2, 0) · (10 / 8).
  expectNear(SCNVector3Project({3, 2, 7}, {2, 2, 0}), {2.5f, 2.5f, 0});
  // No checks: a zero vector normalises to NaN.
  EXPECT_TRUE(std::isnan(SCNVector3Normalize({0, 0, 0}).x));
}

}  // namespace
}  // namespace tessivarium
