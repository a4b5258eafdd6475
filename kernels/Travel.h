#pragma once
// Acting by the distance travelled (kernels/README.md, "The walk"). A tablet brings samples as
// often as it likes: one every half point on a slow stroke, one every ten on a quick one. A pass that
// did its work once a sample would do it the more often the more densely its samples came, and one
// that worked only where a sample stands would leave what lies between sparse samples. So the
// passes do their work in proportion to the distance travelled, and those that must reach every
// cell of their path walk it a cell at a time.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <type_traits>
#include <vector>

#include "kernels/PaintModel.h"

namespace kernels {

// A walk that visits each cell corner its path comes to once:
// a head stands on the cell corner nearest its sample (HeadPlacement::nearestCorner), so the cells
// it meets change only where the path crosses into the square round another corner, once for each
// cell it travels. The visits are the same whether the path is sampled every half cell or every
// ten, and however its samples fall into dispatches.
//
// Each visit is a sample standing in the middle of the stretch of the line through its square along
// the way it goes, so that the distance from one visit to the next is as far as the path goes from
// the one square to the next (one cell, along or across), whatever the samples; its force is the
// path's where it enters, its tilt and turn those of the sample the path runs to.
struct CellVisits {
  std::vector<Sample> samples;
  // For a walk that comes on from the step before: where the visit of the square it starts in
  // stands on the way the path goes on, the distance to the first visit being its travel.
  std::optional<Sample> from;
};

namespace travel {

// The most cell lines a walk crosses between two samples; a farther jump (beyond any window) lands
// on the sample's own corner.
inline constexpr int kMostCrossings = 512;
// Crossings of a row's and a column's line less than this far apart along the path are taken as
// one, the path going across the corner between the two.
inline constexpr float kSameCrossing = 1.0f / 256;

inline float cornerAt(float v) { return std::floor(v + 0.5f); }

// The sample in the middle of the stretch of the line through `at` along (ux, uy) that lies in the
// square round corner (cx, cy).
inline Sample middleOfSquare(Sample at, float ux, float uy, float cx, float cy) {
  constexpr float far = std::numeric_limits<float>::infinity();
  const auto slab = [](float p, float u, float c, float& low, float& high) {
    if (u == 0) return;
    const float a = (c - 0.5f - p) / u, b = (c + 0.5f - p) / u;
    low = std::max(low, std::min(a, b)), high = std::min(high, std::max(a, b));
  };
  float low = -far, high = far;
  slab(at.x, ux, cx, low, high);
  slab(at.y, uy, cy, low, high);
  const float middle = (low + high) / 2;
  at.x += ux * middle, at.y += uy * middle;
  return at;
}

}  // namespace travel

// The visits of a walk along `samples` (samples at no finite place left out), from `start`, where
// the step before ended, when the path comes on from it; else the first sample is where the head
// lands, a visit of its own.
inline CellVisits cellVisits(const std::vector<Sample>& samples, const std::optional<Sample>& start) {
  using travel::cornerAt;
  CellVisits out;
  std::optional<Sample> at = start && placed(*start) ? start : std::nullopt;
  float cx = at ? cornerAt(at->x) : 0, cy = at ? cornerAt(at->y) : 0;
  const bool comesOn = at.has_value();
  bool landing = !comesOn;  // where the head lands is not yet placed on its way
  for (const Sample& s : samples) {
    if (!placed(s)) continue;
    if (!at) {
      at = s, cx = cornerAt(s.x), cy = cornerAt(s.y);
      out.samples.push_back(s);
      continue;
    }
    const float dx = s.x - at->x, dy = s.y - at->y, length = std::hypot(dx, dy);
    if (!(length > 0)) continue;
    const float ux = dx / length, uy = dy / length;
    if (landing) out.samples.back() = travel::middleOfSquare(out.samples.back(), ux, uy, cx, cy), landing = false;
    if (comesOn && !out.from) out.from = travel::middleOfSquare(*at, ux, uy, cx, cy);
    if (std::abs(cornerAt(s.x) - cx) + std::abs(cornerAt(s.y) - cy) > travel::kMostCrossings) {
      // A jump: the head lands on the sample's corner.
      cx = cornerAt(s.x), cy = cornerAt(s.y);
      out.samples.push_back(s);
      at = s;
      continue;
    }
    const float far = std::numeric_limits<float>::infinity();
    for (;;) {
      // The next row or column line the path crosses: a point on a line x = c + 1/2 belongs to the
      // corner after it, so going up a line is crossed where it is reached, going down past it.
      const float tx = dx > 0 ? (cx + 0.5f - at->x) / dx : dx < 0 ? (cx - 0.5f - at->x) / dx : far;
      const float ty = dy > 0 ? (cy + 0.5f - at->y) / dy : dy < 0 ? (cy - 0.5f - at->y) / dy : far;
      const bool crossesX = dx > 0 ? tx <= 1 : tx < 1, crossesY = dy > 0 ? ty <= 1 : ty < 1;
      if (!crossesX && !crossesY) break;
      const float t = std::min(crossesX ? tx : far, crossesY ? ty : far);
      const bool stepX = crossesX && (tx - t) * length < travel::kSameCrossing;
      const bool stepY = crossesY && (ty - t) * length < travel::kSameCrossing;
      if (stepX) cx += dx > 0 ? 1.0f : -1.0f;
      if (stepY) cy += dy > 0 ? 1.0f : -1.0f;
      Sample visit = s;
      visit.x = at->x + dx * t, visit.y = at->y + dy * t;
      visit.force = at->force + (s.force - at->force) * t;
      out.samples.push_back(travel::middleOfSquare(visit, ux, uy, cx, cy));
    }
    at = s;
  }
  return out;
}

// How far, in cells, the path goes to each of its visits from the one before (for the first, from
// `from` when the walk comes on from the step before). Where the head lands it comes one cell,
// whether the visits after it come in the same step or in later ones.
inline std::vector<float> travelsOf(const CellVisits& visits) {
  const std::vector<Sample>& at = visits.samples;
  std::vector<float> out(at.size(), 1.0f);
  for (std::size_t i = 0; i < at.size(); ++i) {
    const Sample* before = i > 0 ? &at[i - 1] : visits.from ? &*visits.from : nullptr;
    if (before) out[i] = std::hypot(at[i].x - before->x, at[i].y - before->y);
  }
  return out;
}

// What is left of something after a travel, when a part `left` of it is left for every 2^spanLog2
// cells travelled (spanLog2 0 to 8): left^(travel / span). Worked out from square roots and
// products alone, which round alike on every machine, so the bytes a pass lays are the same
// everywhere; after() multiplies the factors of the bits of the travel (in 1/256ths of a cell).
class LeftOver {
 public:
  static constexpr std::size_t kTravelBits = 24;

  constexpr LeftOver() = default;  // nothing left over any travel but 0
  constexpr LeftOver(double left, int spanLog2) {
    const auto span = static_cast<std::size_t>(spanLog2) + 8;  // the bit of the span in 1/256ths
    factor_[span] = left;
    for (std::size_t b = span; b > 0; --b) factor_[b - 1] = squareRoot(factor_[b]);
    for (std::size_t b = span + 1; b < kTravelBits; ++b) factor_[b] = factor_[b - 1] * factor_[b - 1];
  }

  // What is left over a travel of travel256 / 256 cells (0 to 2^24 - 1).
  constexpr double after(int travel256) const {
    double left = 1;
    for (std::size_t b = 0; b < kTravelBits; ++b)
      if ((static_cast<unsigned>(travel256) >> b) & 1u) left *= factor_[b];
    return left;
  }

 private:
  // std::sqrt, which is exact; by Newton's steps while a table is made at compile time.
  static constexpr double squareRoot(double v) {
    if (!std::is_constant_evaluated()) return std::sqrt(v);
    double r = v > 1 ? v : 1;
    for (int i = 0; i < 64; ++i) r = (r + v / r) / 2;
    return r;
  }

  std::array<double, kTravelBits> factor_{};
};

}  // namespace kernels
