#include "commands/RegionClustering.h"

#include "foundation/Clock.h"
#include "foundation/Fatal.h"

namespace tessivarium {
namespace {

// The area both rectangles cover (0 when they only touch or are apart).
double commonArea(const graphics::Rect& a, const graphics::Rect& b) { return a.intersection(b).area(); }

// Sum of the areas less the pairwise intersections.
double coveredArea(const RegionClustering::Cluster& rects) {
  double s = 0;
  for (std::size_t i = 0; i < rects.size(); ++i) {
    s += rects[i].area();
    for (std::size_t j = i + 1; j < rects.size(); ++j) s -= commonArea(rects[i], rects[j]);
  }
  return s;
}

}  // namespace

RegionClustering::RegionClustering(std::vector<graphics::Rect> rects, Snapshot snapshot)
    : rects_(std::move(rects)), snapshot_(std::move(snapshot)), done_(rects_.size(), false) {
  if (!snapshot_) foundation::fatalError("RegionClustering: no snapshot function");
  const std::size_t n = rects_.size();
  if (n > kMaxGroupedRects) return;  // never grouped
  areas_.resize(n);
  meets_.assign(n * n, 0);
  common_.assign(n * n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    areas_[i] = rects_[i].area();
    for (std::size_t j = i; j < n; ++j) {
      const graphics::Rect both = rects_[i].intersection(rects_[j]);
      const char meet = both.isEmpty() ? 0 : 1;
      const double area = both.area();
      meets_[i * n + j] = meets_[j * n + i] = meet;
      common_[i * n + j] = common_[j * n + i] = area;
    }
  }
}

bool RegionClustering::snapshot(const graphics::Rect& rect) {
  if (!snapshot_(rect)) refused_ = true;
  return !refused_;
}

bool RegionClustering::run() {
  intervals_.clear();
  const double start = foundation::monotonicSeconds();
  if (rects_.size() > kMaxGroupedRects) {
    const bool made = snapshot(getBounds(rects_));
    intervals_.push_back(foundation::monotonicSeconds() - start);
    return made;
  }
  double phaseStart = start;
  auto phaseEnd = [&] {
    const double now = foundation::monotonicSeconds();
    intervals_.push_back(now - phaseStart);
    phaseStart = now;
  };

  while (handlesClustors(3)) {
  }
  if (refused_) return false;
  phaseEnd();

  for (const Cluster& pair : findClustors(2)) {
    if (getSurface(pair) > 0.8) {
      if (!snapshot(getBounds(pair))) return false;
    } else {
      for (const graphics::Rect& rect : pair)
        if (!snapshot(rect)) return false;
    }
  }
  phaseEnd();

  for (std::size_t i = 0; i < rects_.size(); ++i)
    if (!done_[i] && !snapshot(rects_[i])) return false;
  phaseEnd();
  intervals_.push_back(foundation::monotonicSeconds() - start);
  return true;
}

std::vector<RegionClustering::Group> RegionClustering::findGroups(std::size_t size) {
  const std::size_t n = rects_.size();
  std::vector<std::vector<std::size_t>> neighbours(n);
  std::size_t longest = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (done_[i]) continue;
    for (std::size_t j = 0; j < n; ++j)
      if (!done_[j] && meets(j, i)) neighbours[i].push_back(j);
    if (neighbours[i].size() > longest) longest = neighbours[i].size();
  }
  std::vector<Group> groups;
  if (longest < size) return groups;
  // Flags set here do not exclude later lists: mutual neighbours give one cluster each.
  for (std::size_t i = 0; i < n; ++i) {
    if (neighbours[i].size() != longest) continue;
    Group group;
    group.members = std::move(neighbours[i]);
    group.bounds = rects_[group.members.front()];
    for (std::size_t a = 0; a < group.members.size(); ++a) {
      const std::size_t m = group.members[a];
      done_[m] = true;
      group.bounds = group.bounds.united(rects_[m]);
      group.covered += areas_[m];
      for (std::size_t b = a + 1; b < group.members.size(); ++b) group.covered -= common(m, group.members[b]);
    }
    groups.push_back(std::move(group));
  }
  return groups;
}

std::vector<RegionClustering::Cluster> RegionClustering::findClustors(std::size_t size) {
  std::vector<Cluster> clusters;
  for (const Group& group : findGroups(size)) {
    Cluster cluster;
    for (std::size_t m : group.members) cluster.push_back(rects_[m]);
    clusters.push_back(std::move(cluster));
  }
  return clusters;
}

bool RegionClustering::handlesClustors(std::size_t size) {
  std::vector<Group> groups = findGroups(size);
  if (groups.empty()) return false;
  for (std::size_t i = 0; i < rects_.size(); ++i) {
    if (done_[i]) continue;
    for (Group& group : groups) {
      bool intersects = false;
      double covered = group.covered + areas_[i];
      for (std::size_t m : group.members) {
        intersects = intersects || meets(i, m);
        covered -= common(i, m);
      }
      if (!intersects) continue;
      const graphics::Rect bounds = group.bounds.united(rects_[i]);
      const double gain = covered / bounds.area() - group.covered / group.bounds.area();
      // A gain that is not a number does not join.
      if (gain < 0.1) {
        group.members.push_back(i);
        group.covered = covered;
        group.bounds = bounds;
        done_[i] = true;
      }
    }
  }
  for (const Group& group : groups)
    if (!snapshot(group.bounds)) return false;
  return true;
}

double RegionClustering::getSurface(const Cluster& rects) { return coveredArea(rects) / getBounds(rects).area(); }

double RegionClustering::getSurface(const Cluster& rects, const graphics::Rect& rect) {
  double s = coveredArea(rects) + rect.area();
  for (const graphics::Rect& other : rects) s -= commonArea(rect, other);
  return s / getBounds(rects).united(rect).area();
}

bool RegionClustering::isIntersects(const Cluster& rects, const graphics::Rect& rect) {
  for (const graphics::Rect& other : rects)
    if (other.intersects(rect)) return true;
  return false;
}

graphics::Rect RegionClustering::getBounds(const Cluster& rects) {
  if (rects.empty()) foundation::fatalError("RegionClustering.getBounds: no rectangle");
  graphics::Rect bounds = rects.front();
  for (std::size_t i = 1; i < rects.size(); ++i) bounds = bounds.united(rects[i]);
  return bounds;
}

}  // namespace tessivarium
