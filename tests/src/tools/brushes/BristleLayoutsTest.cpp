// The bristle layouts: the pattern's draws, the records each family makes from a head's geometry,
// and the heads that cannot be laid.

#include "tools/brushes/BristleLayouts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tools/brushes/PatternGenerator.h"

namespace tessivarium {
namespace {

TEST(PatternGenerator, DrawsStepFirstAndWrapAfterTheLastEntry) {
  struct Case {
    int i4, i10;
    std::vector<std::uint32_t> fours, tens;
  } cases[] = {
      {0, 0, {3, 1, 2, 3, 2}, {5, 3, 0, 5, 8}},
      {4, 4, {2}, {8}},
      {2, 6, {2}, {9}},
      {99, 99, {1, 3}, {3, 5}},  // entry 0 follows entry 99
      {-7, 250, {1}, {3}},      // a cursor outside the table starts at entry 0
  };
  for (const auto& c : cases) {
    PatternGenerator pattern(c.i4, c.i10);
    for (const auto v : c.fours) EXPECT_EQ(pattern.next4(), v) << c.i4;
    for (const auto v : c.tens) EXPECT_EQ(pattern.next10(), v) << c.i10;
  }
  EXPECT_EQ(std::count(PatternGenerator::values4.begin(), PatternGenerator::values4.end(), 0u), 24);
  PatternGenerator pattern;
  std::vector<std::uint32_t> first, second;
  for (int i = 0; i < 100; ++i) first.push_back(pattern.next4());
  for (int i = 0; i < 100; ++i) second.push_back(pattern.next4());
  EXPECT_EQ(first, second) << "the draws repeat every 100";
  EXPECT_EQ(first.back(), PatternGenerator::values4[0]) << "entry 0 is the hundredth draw";
}

// A head with `columns` from x0, one slice per entry of `slices` from z0, and the rim given.
BristleHead head(float leftX, float rightX, float downZ, float topZ) {
  BristleHead h;
  h.left = {leftX, 40, 20};
  h.right = {rightX, 40, 20};
  h.down = {20, 30, downZ};
  h.top = {20, 30, topZ};
  h.headTop = {15, 10, 20};
  h.headLeft = {5, 25, 20};
  h.headCenter = {15, 30, 20};
  h.headRadius = 6;
  return h;
}

std::vector<float> lengths(const BristleLayout& layout) {
  std::vector<float> out;
  for (const auto& b : layout.bristles) out.push_back(b.startPoint.w);
  return out;
}

TEST(BristleLayouts, FlatColumnsKeepTheirCellsByThePattern) {
  const BristleLayout layout = layFlatBristles(head(10.7f, 12.2f, 3, 3));
  ASSERT_TRUE(layout.problem.empty());
  ASSERT_EQ(layout.bristles.size(), 3u);
  EXPECT_EQ(lengths(layout), (std::vector<float>{20 + 8, 20 + 7, 20 + 9})) << "base 30 less 10";
  for (std::size_t i = 0; i < 3; ++i) {
    const Bristle& b = layout.bristles[i];
    EXPECT_EQ(b.startPoint.x, 10.0f + static_cast<float>(i));
    EXPECT_EQ(b.startPoint.y, 40.0f);
    EXPECT_EQ(b.startPoint.z, 3.0f);
    EXPECT_EQ(b.angle, 0.0f);
  }
  BristleHead shortHead = head(10, 12, 3, 3);
  shortHead.left.y = shortHead.headTop.y + 7;
  EXPECT_EQ(lengths(layFlatBristles(shortHead)), (std::vector<float>{8, 7, 9})) << "a base under 10 adds nothing";

  // Columns outer, slices inner, ascending; the same head gives the same records.
  const BristleLayout square = layFlatBristles(head(0, 2, 1, 4));
  for (std::size_t i = 1; i < square.bristles.size(); ++i) {
    const auto& a = square.bristles[i - 1].startPoint;
    const auto& b = square.bristles[i].startPoint;
    EXPECT_TRUE(a.x < b.x || (a.x == b.x && a.z < b.z)) << i;
  }
  EXPECT_EQ(lengths(layFlatBristles(head(0, 2, 1, 4))), lengths(square));
}

TEST(BristleLayouts, FanColumnsLeanTowardsTheirPivotAndKeepOnTwoDraws) {
  BristleHead h = head(3.5f, 5.0f, 0, 6);
  h.headRadius = std::hypot(10.0f, 5.0f);  // the rim passes through headLeft
  const BristleLayout layout = layFanBristles(h);
  ASSERT_TRUE(layout.problem.empty());
  ASSERT_EQ(layout.bristles.size(), 3u) << "one column, its slices 0, 1 and 6";
  std::vector<float> slices;
  for (const auto& b : layout.bristles) slices.push_back(b.startPoint.z);
  EXPECT_EQ(slices, (std::vector<float>{0, 1, 6}));
  // The first pivot is headLeft, (5, 25); the column at x 3.5 reaches towards it.
  const float dx = 3.5f - 5, dy = 40.0f - 25;
  const float base = std::floor(std::sqrt(dx * dx + dy * dy)) - 10;
  EXPECT_EQ(lengths(layout), (std::vector<float>{base + 9, base + 1, base + 4}));
  for (const auto& b : layout.bristles) {
    EXPECT_EQ(b.startPoint.x, 3.5f) << "the column keeps the fraction of left.x";
    EXPECT_NEAR(b.angle, std::atan(dx / dy), 1e-5f);
  }
  EXPECT_TRUE(layFanBristles(head(3.5f, 3.9f, 0, 6)).bristles.empty()) << "no whole column";
}

TEST(BristleLayouts, FilbertLengthsFollowTheHeadCircle) {
  BristleHead h = head(15, 15, 0, 10);
  const BristleLayout layout = layFilbertBristles(h);
  ASSERT_TRUE(layout.problem.empty());
  std::vector<float> slices;
  for (const auto& b : layout.bristles) slices.push_back(b.startPoint.z);
  EXPECT_EQ(slices, (std::vector<float>{0, 1, 2, 3, 4, 5, 6, 10})) << "slices 7 to 9 are dropped";
  const float base = 40 - 30 + 6 - 10;  // at the circle's centre: h + radius
  EXPECT_EQ(lengths(layout), (std::vector<float>{base + 5, base + 3, base + 0, base + 5, base + 8, base + 7, base + 9, base + 1}));

  h.left.y = 45;  // h = 15
  h.left.x = h.right.x = 30;  // beyond the radius: h alone
  EXPECT_EQ(layFilbertBristles(h).bristles.front().startPoint.w, 15 - 10 + 5);
}

TEST(BristleLayouts, HeadsThatCannotBeLaidGiveNoBristlesAndSayWhy) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* what;
    BristleHead head;
    const char* problem;
    bool everyFamily = true;
  } cases[] = {
      {"a point that is no number", [&] { auto h = head(0, 4, 0, 2); h.headTop.y = nan; return h; }(), "a point of the head lies at nan"},
      {"a point at infinity", [&] { auto h = head(0, 4, 0, 2); h.right.x = inf; return h; }(), "a point of the head lies at inf"},
      {"a radius at infinity", [&] { auto h = head(0, 4, 0, 2); h.headRadius = -inf; return h; }(), "the head's radius is -inf"},
      {"columns backwards", head(9, 4, 0, 2), "the head's columns run from 9.0 to 4.0"},
      {"slices backwards", head(0, 4, 5, 2), "the head's slices run from 5.0 to 2.0"},
      {"slices beyond any head", head(0, 4, 0, 5000), "the head's slices run from 0.0 to 5000.0"},
      {"a side above the top", [&] { auto h = head(0, 4, 0, 2); h.left.y = h.headTop.y - 3; return h; }(), "a bristle's base length is -3.0", false},
  };
  for (const auto& c : cases) {
    for (const auto lay : {layFlatBristles, layFilbertBristles, layFanBristles}) {
      if (c.everyFamily || lay == layFlatBristles) {
        EXPECT_TRUE(lay(c.head).bristles.empty()) << c.what;
      }
    }
    EXPECT_EQ(layFlatBristles(c.head).problem, c.problem) << c.what;
  }
  BristleHead rimless = head(0, 4, 0, 2);
  rimless.headLeft = rimless.headCenter;
  EXPECT_EQ(layFanBristles(rimless).problem, "the head's rim has no angle");
  EXPECT_EQ(layFanBristles(head(9, 4, 0, 2)).problem, "the head's columns run from 9.0 to 4.0");
}

}  // namespace
}  // namespace tessivarium
