// The drop tools' paint kernels: the paint tube's bead of thick paint along the stroke's path
// ("mac_add_sphere") and the sprayer's speckle of droplets around each sample ("DAESprayer_paint").
// Both lay paint of the colour at BUFFER_COLOR on top of what the cell holds, mixed with it by
// amount; the colour's alpha is the paint's wetness, as the colour fills read it (none: fully wet).
//
// Neither lays paint on a masked cell (WindowMask): the tube lays dry paint, and draws into a layer,
// straight into the textures that are kept, past the overlay map that keeps a step's wet changes off
// the mask.
//
// Both lay their paint through kernels/HeadlessPaint.h, one thread to a cell; threads outside the
// box round the samples' reach return at once.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "gpu/KernelRuntime.h"
#include "kernels/HeadlessPaint.h"
#include "kernels/KernelList.h"
#include "kernels/Travel.h"

namespace kernels {
namespace {

using namespace tessivarium;

// The tube's blob: radius and height at the centre, in cells and thickness bytes, at force 0 and
// added per unit of force.
constexpr float kBlobRadius = 2, kBlobRadiusPerForce = 4;
constexpr float kBlobHeight = 4, kBlobHeightPerForce = 20;
// The sprayer's reach in cells at force 0 and per unit of force; the chance (of 256) that a
// droplet lands on a cell under the path for every kSprayTravel cells it travels, falling to 0 at
// the reach; a droplet's thickness.
constexpr float kSprayReach = 6, kSprayReachPerForce = 10;
constexpr float kDropletChance = 96, kSprayTravel = 4;
constexpr int kDropletThickness = 2, kDropletThicknessRange = 3;
// The sprayer's place within a cell that seeds its droplets is taken in 1/256ths of a cell, so that
// one place seen through two windows seeds the same droplets.
constexpr float kSeedSteps = 256;

// The drawing modes at BUFFER_DRAWING_MODE.
constexpr std::int32_t kWetMode = 0, kDryMode = 1;

// The 32-bit integer at `slot`, `absent` when none (or too short a buffer) is bound.
std::int32_t intArgument(const gpu::Dispatch& dispatch, std::int64_t slot, std::int32_t absent) {
  if (dispatch.bufferLength(slot) < sizeof(std::int32_t)) return absent;
  std::int32_t value;
  std::memcpy(&value, dispatch.bufferBytes(slot), sizeof value);
  return value;
}

// The wetness of a drop tool's paint: its colour's alpha, as a fill gives it (a fill at wetness 0
// brings the first level, the driest). A colour that carries no wetness (alpha 0: the tools'
// starting red, never filled) is laid fully wet, as paint placed wet is: paint meant to stay put is
// laid with wet drawing off.
std::uint8_t dropWetness(const Texel& colour) {
  return colour.a == 0 ? kFullWetness : quantisedWetness(colour.a);
}

// The tube's bead where a sample lies: a half sphere whose radius and height grow with the force.
Reach beadAt(const Sample& s) {
  const float f = unitForce(s.force);
  return Reach{s.x, s.y, kBlobRadius + kBlobRadiusPerForce * f, kBlobHeight + kBlobHeightPerForce * f};
}

// The height, in thickness bytes, of the half sphere `s` over the centre of cell p.
TESS_KERNEL_INLINE float blobHeight(gpu::uint3 p, const Reach& s) {
  const float d2 = distanceSquared(p, s), r2 = s.radius * s.radius;
  return d2 < r2 ? s.strength * std::sqrt(1.0f - d2 / r2) : 0.0f;
}

// The height of the bead drawn from `a` to `b` over cell p: the half sphere swept along the
// segment, its radius and height changing linearly from a's to b's, and never below either end's.
TESS_KERNEL_INLINE float sweptHeight(gpu::uint3 p, const Reach& a, const Reach& b) {
  const float dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
  const float cx = static_cast<float>(p.x) + 0.5f, cy = static_cast<float>(p.y) + 0.5f;
  const float t = length2 > 0 ? std::clamp(((cx - a.x) * dx + (cy - a.y) * dy) / length2, 0.0f, 1.0f) : 0.0f;
  const Reach nearest{a.x + t * dx, a.y + t * dy, a.radius + t * (b.radius - a.radius),
                      a.strength + t * (b.strength - a.strength)};
  return std::max({blobHeight(p, a), blobHeight(p, b), blobHeight(p, nearest)});
}

// The tube's path in one step: the samples, after the one it carries on from when that is bound,
// each a bead (samples at no finite place left out), and the cells each segment between neighbours
// can reach.
class BeadPath {
 public:
  BeadPath(const gpu::Dispatch& dispatch, gpu::Size limit)
      : start_(pathStartArgument(dispatch)), reaches_(pathOf(dispatch, start_), limit, beadAt) {
    carriesOn_ = start_ && Reaches::reachesAnything(beadAt(*start_));
    const std::vector<Reach>& points = reaches_.samples;
    for (std::size_t i = 1; i < points.size(); ++i) {
      const Reach &a = points[i - 1], &b = points[i];
      boxes_.push_back({std::min(a.x - a.radius, b.x - b.radius), std::min(a.y - a.radius, b.y - b.radius),
                        std::max(a.x + a.radius, b.x + b.radius), std::max(a.y + a.radius, b.y + b.radius)});
    }
  }

  bool empty() const { return reaches_.samples.empty(); }
  TESS_KERNEL_INLINE bool contains(gpu::uint3 p) const { return reaches_.contains(p); }

  // The bytes the step lays on cell p: the bead's height over it, rounded, less what the step before
  // laid there for the sample the path carries on from, so that the segment joining the two steps
  // is laid once and the joint not twice.
  TESS_KERNEL_INLINE int amount(gpu::uint3 p) const {
    const std::vector<Reach>& points = reaches_.samples;
    float height = points.size() == 1 ? blobHeight(p, points[0]) : 0.0f;
    const float cx = static_cast<float>(p.x) + 0.5f, cy = static_cast<float>(p.y) + 0.5f;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
      const Box& box = boxes_[i];
      if (cx > box.lowX && cx < box.highX && cy > box.lowY && cy < box.highY) {
        height = std::max(height, sweptHeight(p, points[i], points[i + 1]));
      }
    }
    const long laid = std::lround(height) - (carriesOn_ ? std::lround(blobHeight(p, points[0])) : 0);
    return static_cast<int>(laid);
  }

 private:
  struct Box {
    float lowX, lowY, highX, highY;
  };

  static std::vector<Sample> pathOf(const gpu::Dispatch& dispatch, const std::optional<Sample>& start) {
    std::vector<Sample> path = samplesArgument(dispatch);
    if (start) path.insert(path.begin(), *start);
    return path;
  }

  std::optional<Sample> start_;
  Reaches reaches_;
  bool carriesOn_ = false;
  std::vector<Box> boxes_;
};

// The droplet the sprayer drops on a cell from a place of its path, decided by the cell's place
// relative to that place and the place itself on the layer (the window's offset added): a place
// sprays the same pattern wherever the window lies, and each place along a stroke its own, however
// the samples fall, so that no row or column of a stroke's band repeats along it.
TESS_KERNEL_INLINE std::uint32_t dropletHash(gpu::uint3 p, const Reach& s, gpu::uint3 offset) {
  const float cellX = std::floor(s.x), cellY = std::floor(s.y);
  const auto dx = static_cast<std::uint32_t>(static_cast<std::int32_t>(p.x) - static_cast<std::int32_t>(cellX));
  const auto dy = static_cast<std::uint32_t>(static_cast<std::int32_t>(p.y) - static_cast<std::int32_t>(cellY));
  const auto atX = static_cast<std::uint32_t>(static_cast<std::int32_t>(cellX)) + offset.x;
  const auto atY = static_cast<std::uint32_t>(static_cast<std::int32_t>(cellY)) + offset.y;
  const auto within = [](float v) { return static_cast<std::uint32_t>((v - std::floor(v)) * kSeedSteps); };
  std::uint32_t h = mix32(dx * 0x9e3779b9u ^ dy);
  h = mix32(h ^ atX * 0x85ebca6bu ^ within(s.x));
  return mix32(h ^ atY * 0xc2b2ae35u ^ within(s.y) << 8);
}

}  // namespace

// The paint tube: a bead of the colour along the step's path, from sample to sample (the step
// before's last sample first, when bound), a half sphere swept along it whose radius and height grow
// with the force; where segments meet or cross, each cell takes the highest bead over it. It is laid
// on top of the cell's paint: wet in mode 0 (the default), dry in mode 1.
void addSphere(const gpu::Dispatch& dispatch) {
  if (dispatch.bufferBytes(BUFFER_COLOR) == nullptr) return;  // no colour, no paint
  const Texel colour = bytesOf(float4Argument(dispatch, BUFFER_COLOR, {}));
  const std::uint8_t wetness = dropWetness(colour);
  const bool dry = intArgument(dispatch, BUFFER_DRAWING_MODE, kWetMode) == kDryMode;
  const HeadlessCells cells(dispatch);
  if (dry ? !cells.canLayDry() : !cells.canLayWet()) return;
  const gpu::Size limit = dry ? cells.dryLimit() : cells.wetLimit();
  const BeadPath path(dispatch, limit);
  if (path.empty()) return;
  gpu::forEachThread(dispatch, limit, [&path, cells, colour, wetness, dry](gpu::uint3 p) {
    if (!path.contains(p) || cells.masked(p)) return;
    const int amount = path.amount(p);
    if (amount <= 0) return;
    if (dry) {
      cells.layDry(p.x, p.y, colour, amount);
    } else {
      cells.layWet(p.x, p.y, colour, wetness, amount);
    }
  });
}

// The sprayer: it sprays along its path by the distance travelled (kernels/Travel.h), from each
// cell corner it comes to (the step before's last sample first, when bound), so that a quick
// stroke sprays as densely as a slow one and between its samples too: droplets of the colour land
// on some cells, more often near the path, within a reach that grows with the force; a cell
// gathers the droplets of the whole step and takes them as wet paint on top of its own.
void sprayerPaint(const gpu::Dispatch& dispatch) {
  if (dispatch.bufferBytes(BUFFER_COLOR) == nullptr) return;
  const Texel colour = bytesOf(float4Argument(dispatch, BUFFER_COLOR, {}));
  const std::uint8_t wetness = dropWetness(colour);
  const HeadlessCells cells(dispatch);
  if (!cells.canLayWet()) return;
  const gpu::Size limit = cells.wetLimit();
  const CellVisits visits = cellVisits(samplesArgument(dispatch), pathStartArgument(dispatch));
  const std::vector<float> travels = travelsOf(visits);
  const Reaches reaches(visits.samples, limit, [&travels, i = std::size_t{0}](const Sample& s) mutable {
    return Reach{s.x, s.y, kSprayReach + kSprayReachPerForce * unitForce(s.force), kDropletChance * travels[i++] / kSprayTravel};
  });
  if (reaches.samples.empty()) return;
  const gpu::uint3 offset = offsetArgument(dispatch);
  gpu::forEachThread(dispatch, limit, [&reaches, cells, colour, wetness, offset](gpu::uint3 p) {
    if (!reaches.contains(p) || cells.masked(p)) return;
    int amount = 0;
    for (const Reach& s : reaches.samples) {
      const float d2 = distanceSquared(p, s), r2 = s.radius * s.radius;
      if (!(d2 < r2)) continue;
      const std::uint32_t h = dropletHash(p, s, offset);
      const float chance = s.strength * (1.0f - std::sqrt(d2 / r2));
      if (static_cast<float>(h & 0xffu) < chance) {
        amount += kDropletThickness + static_cast<int>((h >> 8) % kDropletThicknessRange);
      }
    }
    if (amount > 0) cells.layWet(p.x, p.y, colour, wetness, amount);
  });
}

}  // namespace kernels
