#include <gtest/gtest.h>

#include "graphics/AffineTransform.h"
#include "graphics/Geometry.h"

namespace {

using graphics::AffineTransform;
using graphics::Point;
using graphics::Rect;

struct RectCase {
  const char* name;
  Rect a, b;
  bool intersects;
  Rect intersection, united;
};

class GeometryRectAlgebra : public ::testing::TestWithParam<RectCase> {};

TEST_P(GeometryRectAlgebra, IntersectionAndUnion) {
  const RectCase& c = GetParam();
  EXPECT_EQ(c.a.intersects(c.b), c.intersects);
  EXPECT_EQ(c.b.intersects(c.a), c.intersects);
  EXPECT_EQ(c.a.intersection(c.b), c.intersection);
  EXPECT_EQ(c.b.intersection(c.a), c.intersection);
  EXPECT_EQ(c.a.united(c.b), c.united);
  EXPECT_EQ(c.b.united(c.a), c.united);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GeometryRectAlgebra,
    ::testing::Values(
        RectCase{"overlapping", {0, 0, 10, 10}, {5, 5, 10, 10}, true, {5, 5, 5, 5}, {0, 0, 15, 15}},
        RectCase{"disjoint", {0, 0, 10, 10}, {20, 0, 5, 5}, false, Rect::null(), {0, 0, 25, 10}},
        RectCase{"touchingEdge", {0, 0, 10, 10}, {10, 2, 5, 5}, false, {10, 2, 0, 5},
                 {0, 0, 15, 10}},
        RectCase{"touchingCorner", {0, 0, 10, 10}, {10, 10, 5, 5}, false, {10, 10, 0, 0},
                 {0, 0, 15, 15}},
        RectCase{"contained", {0, 0, 10, 10}, {2, 3, 4, 5}, true, {2, 3, 4, 5}, {0, 0, 10, 10}},
        RectCase{"withNull", {0, 0, 10, 10}, Rect::null(), false, Rect::null(), {0, 0, 10, 10}},
        RectCase{"negativeSizeIsStandardised", {10, 10, -10, -10}, {5, 5, 10, 10}, true,
                 {5, 5, 5, 5}, {0, 0, 15, 15}},
        RectCase{"withInfinite", {1, 2, 3, 4}, Rect::infinite(), true, {1, 2, 3, 4},
                 Rect::infinite()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Geometry, NullRectangle) {
  const Rect null = Rect::null();
  EXPECT_TRUE(null.isNull());
  EXPECT_TRUE(null.isEmpty());
  EXPECT_FALSE(null.contains({0, 0}));
  EXPECT_EQ(null.area(), 0.0);
  EXPECT_EQ(null.united(Rect::null()), Rect::null());
  EXPECT_FALSE(Rect(0, 0, 0, 0).isNull());
  EXPECT_TRUE(Rect(0, 0, 0, 5).isEmpty());
}

TEST(Geometry, ContainsUsesHalfOpenEdges) {
  const Rect r(1, 1, 2, 2);
  EXPECT_TRUE(r.contains({1, 1}));
  EXPECT_TRUE(r.contains({2.999, 2.5}));
  EXPECT_FALSE(r.contains({3, 2}));
  EXPECT_FALSE(r.contains({2, 3}));
}

TEST(Geometry, IntegralHoldsTheRectangleWithWholeEdges) {
  EXPECT_EQ(Rect(0.5, 1.2, 2.0, 3.9).integral(), Rect(0, 1, 3, 5));
  EXPECT_EQ(Rect(-0.5, -0.5, 1, 1).integral(), Rect(-1, -1, 2, 2));
  EXPECT_EQ(Rect(2, 3, 4, 5).integral(), Rect(2, 3, 4, 5));
  EXPECT_TRUE(Rect::null().integral().isNull());
}

TEST(Geometry, ContextOrderAppliesTheLastCallFirst) {
  // translate (0, h) then scale (1, -1): a point is scaled first, then translated.
  const auto flip = AffineTransform::identity().translatedBy(0, 10).scaledBy(1, -1);
  EXPECT_EQ(flip.apply(Point{3, 0}), (Point{3, 10}));
  EXPECT_EQ(flip.apply(Point{3, 10}), (Point{3, 0}));
  // concatenating applies the receiver first.
  const auto scaleThenMove =
      AffineTransform::makeScale(2, 3).concatenating(AffineTransform::makeTranslation(1, 1));
  EXPECT_EQ(scaleThenMove.apply(Point{1, 1}), (Point{3, 4}));
}

TEST(Geometry, InverseAndRectangles) {
  const auto t = AffineTransform::makeScale(2, -4).translatedBy(1, 2);
  const auto inverse = t.inverted();
  ASSERT_TRUE(inverse);
  const Point p{5, 7};
  const Point back = inverse->apply(t.apply(p));
  EXPECT_DOUBLE_EQ(back.x, p.x);
  EXPECT_DOUBLE_EQ(back.y, p.y);
  EXPECT_FALSE(AffineTransform::makeScale(0, 1).inverted());
  EXPECT_EQ(t.apply(Rect(0, 0, 1, 1)), Rect(2, -12, 2, 4));
  EXPECT_TRUE(t.apply(Rect::null()).isNull());
}

}  // namespace
