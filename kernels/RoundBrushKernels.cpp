// The round brush's paint kernel ("DAEToolModel_brush_bristle_paint"): the round tip of one bristle
// drawn along the path, without a head. The brush takes no colour (it refuses a fill and its pass
// sends none), so its paint is the kernel's own: black, fully wet. Pressed harder the tip lays a
// wider and thicker trail, and held flatter a wider one. The bristle lets its paint go by the
// distance it travels, as the other brushes do: a cell takes a share of the tip's thickness for
// the length of path that passes within the tip's reach of it, so the stroke's paint is the same
// however densely its samples come and however they fall into steps. The paint is laid on top of
// the cell's own (kernels/HeadlessPaint.h). As the head tools do (HeadWalk::holdTrail), the
// bristle holds back from the step's blur the cells it painted about its last place, where the next
// piece may lay on them again, and levels them in the step that leaves them (or in the stroke's
// closing step, which brings the path start and no sample): each cell of the trail is levelled
// once, however the samples fall into steps.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "gpu/KernelRuntime.h"
#include "kernels/HeadlessPaint.h"
#include "kernels/KernelList.h"

namespace kernels {
namespace {

// The tip's radius in cells, at no force and added per unit of force, with the brush lying flat
// (altitude 0 as uploaded); upright (π/2) it is half as wide.
constexpr float kTipRadius = 2, kTipRadiusPerForce = 6;
// The thickness in bytes a unit of force lays along the middle of the trail.
constexpr float kTipThickness = 16;
// The one paint of the round brush.
constexpr Texel kRoundBrushPaint{0, 0, 0, 0};

// The tip of one sample: where it is pressed, how wide and how thick. A sample without force, or at
// no finite place, lays nothing (radius 0).
Reach tipOf(const Sample& s) {
  const float force = unitForce(s.force);
  const float altitude = std::isfinite(s.altitude) ? std::clamp(s.altitude, 0.0f, 1.5707964f) : 0.0f;
  const float thickness = std::round(kTipThickness * force);
  if (!(thickness > 0)) return {s.x, s.y, 0, 0};
  return {s.x, s.y, (kTipRadius + kTipRadiusPerForce * force) * (1.0f + std::cos(altitude)) / 2.0f, thickness};
}

// One piece of the path: the tip of its end sample drawn from (fromX, fromY) to the sample. A
// stroke's first sample comes from nowhere: it is pressed down, its tip laying half its thickness
// (the path on from it lays the other half under its middle), so that a tap leaves a dot.
struct Piece {
  Reach tip;
  float fromX = 0, fromY = 0;
  bool pressedDown = false;
};

// How far past its tip's reach the bristle holds its trail back from the blur: the next piece,
// which starts at the last sample, reaches a little beyond the tip there.
constexpr float kHeldMargin = 2;

// The tip's reach taken to the middle of its rim's cells, so that a cell at the rim takes a
// part of the trail rather than all or nothing.
TESS_KERNEL_INLINE float coreRadius(const Reach& tip) { return std::max(tip.radius - 0.5f, 0.5f); }

// The length of the piece of path lying within `radius` of (cx, cy).
TESS_KERNEL_INLINE float lengthWithin(const Piece& piece, float cx, float cy, float radius) {
  const float dx = piece.tip.x - piece.fromX, dy = piece.tip.y - piece.fromY;
  const float length = std::sqrt(dx * dx + dy * dy);
  if (!(length > 0)) return 0;
  const float ux = dx / length, uy = dy / length;
  const float ax = cx - piece.fromX, ay = cy - piece.fromY;
  const float along = ax * ux + ay * uy, across = ax * uy - ay * ux;
  const float half2 = radius * radius - across * across;
  if (!(half2 > 0)) return 0;
  const float half = std::sqrt(half2);
  return std::max(0.0f, std::min(length, along + half) - std::max(0.0f, along - half));
}

// What a piece lays on the cell whose centre is (cx, cy), in bytes and parts of a byte: along a
// straight path the cell under its middle takes the tip's thickness, those towards its sides less.
TESS_KERNEL_INLINE float laidBy(const Piece& piece, float cx, float cy) {
  const Reach& tip = piece.tip;
  const float radius = coreRadius(tip);
  float laid = tip.strength * lengthWithin(piece, cx, cy, radius) / (2 * radius);
  if (piece.pressedDown) {
    const float dx = cx - tip.x, dy = cy - tip.y;
    laid += tip.strength * std::clamp(tip.radius - std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f) / 2;
  }
  return laid;
}

// The cells held back about one place: those within the reach of its tip held flat, the widest
// its force gives, and the margin beyond. Not the tip's own reach: the next step finds the place
// from the path start, which brings no altitude, and must level every cell held about it.
struct Held {
  float x = 0, y = 0, radius = -1;  // none held

  Held() = default;
  explicit Held(const Sample& s) {
    Sample flat = s;
    flat.altitude = 0;
    const Reach tip = tipOf(flat);
    if (tip.radius > 0) x = tip.x, y = tip.y, radius = tip.radius + kHeldMargin;
  }
  TESS_KERNEL_INLINE bool holds(float cx, float cy) const {
    return radius > 0 && (cx - x) * (cx - x) + (cy - y) * (cy - y) <= radius * radius;
  }
};

// The pieces of one step's path and the box of window cells they reach, clipped to `limit`: the
// reach of both ends of every piece at its tip's radius, and the cells held about the step's last
// place and about the one the step before ended at.
struct Path {
  std::vector<Piece> pieces;
  Held heldBefore, heldNow;
  Reaches box;

  Path(const std::vector<Sample>& samples, const std::optional<Sample>& start, gpu::Size limit)
      : box(endsOf(samples, start, pieces, heldBefore, heldNow), limit,
            [](const Sample& end) { return Reach{end.x, end.y, end.force, 1}; }) {}

  TESS_KERNEL_INLINE bool contains(gpu::uint3 p) const { return box.contains(p); }

 private:
  // Fills `pieces` and the held places and gives both ends of each piece and the held places, their
  // radius in place of the force.
  static std::vector<Sample> endsOf(const std::vector<Sample>& samples, const std::optional<Sample>& start,
                                    std::vector<Piece>& pieces, Held& heldBefore, Held& heldNow) {
    std::vector<Sample> ends;
    const auto reachOf = [&ends](const Held& held) {
      if (held.radius <= 0) return;
      Sample s;
      s.x = held.x, s.y = held.y, s.force = held.radius;
      ends.push_back(s);
    };
    bool comesOn = start && placed(*start);
    if (comesOn) heldBefore = Held(*start), reachOf(heldBefore);
    const auto last = std::find_if(samples.rbegin(), samples.rend(), [](const Sample& s) { return placed(s); });
    if (last != samples.rend()) heldNow = Held(*last), reachOf(heldNow);
    float beforeX = comesOn ? start->x : 0, beforeY = comesOn ? start->y : 0;
    for (const Sample& s : samples) {
      if (!placed(s)) continue;
      const Piece piece{tipOf(s), comesOn ? beforeX : s.x, comesOn ? beforeY : s.y, !comesOn};
      comesOn = true, beforeX = s.x, beforeY = s.y;
      if (!(piece.tip.radius > 0)) continue;
      pieces.push_back(piece);
      Sample from, to;
      from.x = piece.fromX, from.y = piece.fromY, from.force = piece.tip.radius;
      to.x = piece.tip.x, to.y = piece.tip.y, to.force = piece.tip.radius;
      ends.push_back(from), ends.push_back(to);
    }
    return ends;
  }
};

}  // namespace

// Reads grid0 and wet0, the samples, the sample the step carries on from (BUFFER_VALUE) and the
// mask; writes the cells it paints, marked, to grid1 and wet1 for the overlay map. The ground, the
// dry paint and the azimuths are not used.
void brushBristlePaint(const gpu::Dispatch& dispatch) {
  const HeadlessCells cells(dispatch);
  if (!cells.canLayWet()) return;
  const std::vector<Sample> samples = samplesArgument(dispatch);
  const Path path(samples, pathStartArgument(dispatch), cells.wetLimit());
  if (path.pieces.empty() && path.heldBefore.radius <= 0) return;
  // Each cell starts its rounding where startingFraction puts it (a step may bring no sample and
  // still level what the step before held back).
  const std::uint32_t seed = samplesSeed(samples);
  const std::size_t width = cells.wetLimit().width;
  gpu::forEachThread(dispatch, cells.wetLimit(), [&path, cells, seed, width](gpu::uint3 p) {
    if (!path.contains(p) || cells.masked(p)) return;
    const float cx = static_cast<float>(p.x) + 0.5f, cy = static_cast<float>(p.y) + 0.5f;
    float laid = 0;
    for (const Piece& piece : path.pieces) laid += laidBy(piece, cx, cy);
    const float start = static_cast<float>(startingFraction(seed, p.y * width + p.x)) / 256.0f;
    const int amount = static_cast<int>(std::min(laid + start, 255.0f));
    const std::uint8_t mark = path.heldNow.holds(cx, cy) ? kHeldMark : kStrokeMark;
    if (amount > 0 && cells.layWet(p.x, p.y, kRoundBrushPaint, kFullWetness, amount, mark)) return;
    // A cell the step before held back is held on or, once the bristle has left it, levelled.
    if (cells.markBefore(p.x, p.y) == kHeldMark && path.heldBefore.holds(cx, cy)) cells.keep(p.x, p.y, mark);
  });
}

}  // namespace kernels
