// The grouping of a stroke's rectangles into snapshots, as rectangles only: each case lists the
// rectangles a stroke recorded and the snapshots, in order, that must be asked for.

#include "commands/RegionClustering.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FatalStop.h"
#include "foundation/Clock.h"

namespace tessivarium {
namespace {

using graphics::Rect;
using Rects = std::vector<Rect>;

Rects snapshotsOf(const Rects& rects, bool* made = nullptr) {
  Rects taken;
  RegionClustering clustering(rects, [&](const Rect& r) {
    taken.push_back(r);
    return true;
  });
  const bool ok = clustering.run();
  if (made) *made = ok;
  return taken;
}

// A cluster that only its first member finds whole: a square with three thin arms that do not
// touch one another (coverage of the four exactly 0.125), and a fifth rectangle that meets only
// the right arm, so it can join the cluster but never belongs to it.
const Rect kCentre(0, 0, 10, 10), kRightArm(9, 0, 3, 1), kDownArm(0, 9, 1, 15), kLeftArm(-40, 5, 41, 1);
const Rect kArmsBounds(-40, 0, 52, 24);

Rects star(const Rect& fifth) { return {kCentre, kRightArm, kDownArm, kLeftArm, fifth}; }
// Two such stars 100 apart, the second mirrored, and a bridge that meets the right arm of the
// first and the left arm of the second.
Rects twoStarsAndABridge() {
  return {kCentre, kRightArm, kDownArm, kLeftArm, Rect(100, 0, 10, 10), Rect(109, 0, 3, 1), Rect(100, 9, 1, 15),
          Rect(60, 5, 41, 1), Rect(11, 0, 50, 6)};
}

TEST(RegionClustering, GroupsRectanglesIntoTheExpectedSnapshots) {
  const Rect a(0, 0, 10, 10);
  struct Case {
    const char* name;
    Rects rects;
    Rects snapshots;
  };
  const Case cases[] = {
      {"one rectangle", {Rect(3, 4, 256, 256)}, {Rect(3, 4, 256, 256)}},
      // A pair is found once for each member.
      {"pair above 0.8", {a, Rect(5, 0, 10, 5)}, {Rect(0, 0, 15, 10), Rect(0, 0, 15, 10)}},
      {"pair at exactly 0.8", {a, Rect(5, 0, 10, 4)}, {a, Rect(5, 0, 10, 4), a, Rect(5, 0, 10, 4)}},
      {"pair below 0.8", {a, Rect(5, 5, 10, 10)}, {a, Rect(5, 5, 10, 10), a, Rect(5, 5, 10, 10)}},
      {"identical pair", {a, a}, {a, a}},
      {"apart and touching", {a, Rect(10, 0, 10, 10)}, {a, Rect(10, 0, 10, 10)}},
      {"three overlapping one another",
       {Rect(0, 0, 100, 100), Rect(20, 10, 100, 100), Rect(40, 30, 100, 100)},
       {Rect(0, 0, 140, 130), Rect(0, 0, 140, 130), Rect(0, 0, 140, 130)}},
      {"a gain of exactly 0.1 stays out", star(Rect(11, 0, 14, 14)), {kArmsBounds, Rect(11, 0, 14, 14)}},
      {"a gain just under 0.1 joins", star(Rect(11, 0, 14, 13)), {Rect(-40, 0, 65, 24)}},
      {"a coverage-lowering rectangle joins", star(Rect(11, 0, 30, 1)), {Rect(-40, 0, 81, 24)}},
      {"a rectangle may join several clusters", twoStarsAndABridge(), {Rect(-40, 0, 101, 24), Rect(11, 0, 101, 24)}},
      {"a rectangle meeting no cluster is a leftover", star(Rect(60, 60, 5, 5)), {kArmsBounds, Rect(60, 60, 5, 5)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(snapshotsOf(c.rects), c.snapshots);
  }
}

TEST(RegionClustering, CoverageIsTheTwoTermEstimate) {
  EXPECT_DOUBLE_EQ(RegionClustering::getSurface({Rect(0, 0, 10, 10), Rect(5, 5, 10, 10)}), 175.0 / 225.0);
  // Three identical rectangles: 3 areas less 3 intersections.
  const Rect a(2, 3, 7, 5);
  EXPECT_EQ(RegionClustering::getSurface({a, a, a}), 0.0);
  EXPECT_EQ(RegionClustering::getSurface({a, a}, a), 0.0);
  EXPECT_TRUE(std::isnan(RegionClustering::getSurface({Rect(1, 1, 0, 4)})));
  EXPECT_FALSE(RegionClustering::isIntersects({}, a));
}

TEST(RegionClustering, MoreThanTwoHundredRectanglesTakeOneSnapshotOfTheirBounds) {
  // A row of overlapping squares stepping by 10: grouped, they give several snapshots.
  Rects rects;
  for (int i = 0; i < 201; ++i) rects.emplace_back(10.0 * i, i % 2, 64, 64);
  const Rects grouped = snapshotsOf(Rects(rects.begin(), rects.end() - 1));
  EXPECT_GT(grouped.size(), 1u);
  EXPECT_EQ(snapshotsOf(rects), (Rects{Rect(0, 0, 2064, 65)}));
}

TEST(RegionClustering, ARefusedSnapshotEndsTheGroupingAtOnce) {
  // Four snapshots would be asked for (a pair at 0.8, twice); the second is refused.
  const Rects rects{Rect(0, 0, 10, 10), Rect(5, 0, 10, 4)};
  int asked = 0;
  RegionClustering clustering(rects, [&](const Rect&) { return ++asked < 2; });
  EXPECT_FALSE(clustering.run());
  EXPECT_EQ(asked, 2);
}

TEST(RegionClustering, IntervalsAreThePhasesAndTheWhole) {
  double now = 0;
  foundation::setTimeSource([&] { return now += 0.25; });
  RegionClustering grouped({Rect(0, 0, 4, 4)}, [](const Rect&) { return true; });
  ASSERT_TRUE(grouped.run());
  EXPECT_EQ(grouped.intervals(), (std::vector<double>{0.25, 0.25, 0.25, 1.0}));

  RegionClustering bounded(Rects(201, Rect(0, 0, 4, 4)), [](const Rect&) { return true; });
  ASSERT_TRUE(bounded.run());
  EXPECT_EQ(bounded.intervals(), (std::vector<double>{0.25}));
}

}  // namespace
}  // namespace tessivarium
