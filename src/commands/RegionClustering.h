#pragma once
// The grouping of a stroke's rectangles into region snapshots, as pure rectangle geometry: each
// snapshot is handed, as the rectangle it must cover, to a function the caller gives (the stroke
// step makes the snapshot there). Groups trade snapshot count against snapshot size:
// 1. clusters: a rectangle and all that intersect it, when that makes three or more, grow by
//    every further intersecting rectangle that raises their coverage by less than 0.1, and take
//    one snapshot of their bounds each; repeated while clusters are found;
// 2. pairs: two intersecting rectangles take one snapshot of their bounds when they cover more
//    than 0.8 of it, else one snapshot each;
// 3. leftovers: one snapshot each.
// More than 200 rectangles skip the grouping, whose work grows steeply with their number, and
// take one snapshot of their bounds.
// Coverage is the sum of the areas less the pairwise intersections, over the area of the
// bounds: an estimate that falls below the truth where three or more overlap, and that a bounds
// of zero area makes infinite or not a number (which joins nothing and counts as 0.8 or less).
// Rectangles intersect when they share an area; touching edges do not count.
//
// The intersections of every pair are computed once, and a growing cluster keeps its covered area
// and bounds, so a join test costs one pass over the cluster. (The covered area then adds up in
// another order than the plain estimate's; with whole-number rectangles, as the tools give, both
// are exact.)
//
// Overlapping rectangles that all intersect one another give one identical cluster per member,
// and so as many identical snapshots: the grouping keeps them (their memory is counted).

#include <cstddef>
#include <functional>
#include <vector>

#include "graphics/Geometry.h"

namespace tessivarium {

class RegionClustering {
 public:
  using Cluster = std::vector<graphics::Rect>;
  // Takes the snapshot of one rectangle; false when none could be had, which ends the grouping.
  using Snapshot = std::function<bool(const graphics::Rect&)>;

  RegionClustering(std::vector<graphics::Rect> rects, Snapshot snapshot);

  // The most rectangles that are grouped.
  static constexpr std::size_t kMaxGroupedRects = 200;

  // Snapshots every rectangle; false as soon as a snapshot is refused.
  bool run();
  // The seconds run() took: after grouping, those of the clusters, the pairs, the leftovers and
  // the whole; without grouping, the whole alone.
  const std::vector<double>& intervals() const { return intervals_; }
  // One flag per rectangle: set once it belongs to a group.
  const std::vector<bool>& done() const { return done_; }

  // The clusters of at least `size` rectangles: for every unflagged rectangle, the unflagged
  // rectangles (itself included, in index order) that intersect it; the longest such lists, if
  // at least `size` long, each become a cluster, and their members are flagged.
  std::vector<Cluster> findClustors(std::size_t size);
  // Finds clusters of at least `size`, grows them and snapshots each one's bounds; false when no
  // cluster was found or a snapshot was refused.
  bool handlesClustors(std::size_t size);

  static double getSurface(const Cluster& rects);
  // The coverage of `rects` with `rect` added.
  static double getSurface(const Cluster& rects, const graphics::Rect& rect);
  static bool isIntersects(const Cluster& rects, const graphics::Rect& rect);
  // The union of a non-empty list.
  static graphics::Rect getBounds(const Cluster& rects);

 private:
  // A cluster as rectangle indices, with its covered area (the estimate's numerator) and bounds.
  struct Group {
    std::vector<std::size_t> members;
    double covered = 0;
    graphics::Rect bounds;
  };
  std::vector<Group> findGroups(std::size_t size);
  bool meets(std::size_t i, std::size_t j) const { return meets_[i * rects_.size() + j] != 0; }
  double common(std::size_t i, std::size_t j) const { return common_[i * rects_.size() + j]; }
  bool snapshot(const graphics::Rect& rect);

  std::vector<graphics::Rect> rects_;
  Snapshot snapshot_;
  std::vector<bool> done_;
  std::vector<double> areas_;
  std::vector<char> meets_;     // n x n: whether the pair intersects
  std::vector<double> common_;  // n x n: the area of the pair's intersection
  bool refused_ = false;
  std::vector<double> intervals_;
};

}  // namespace tessivarium
