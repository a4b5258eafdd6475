#pragma once
// Paint laid without a head, from the samples alone: the drop tools' and the round brush's kernels.
// Each thread owns one window cell and works out what lands on it from every sample of the step,
// so the bytes written are the same on every run and any number of threads; the samples' reach
// bounds the cells worth looking at. New paint lands on top of the cell's own (thicknesses added
// up to 255, colour and wetness mixed by amount) and never on a masked cell (WindowMask).

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "gpu/Dispatch.h"
#include "kernels/PaintModel.h"

namespace kernels {

// A force brought to 0 to 1; one that is not a number presses not at all.
inline float unitForce(float force) { return std::isfinite(force) ? std::clamp(force, 0.0f, 1.0f) : 0.0f; }

// One sample's reach: its position, how far it reaches and the strength it reaches with.
struct Reach {
  float x, y, radius, strength;
};

// The samples that reach anything (a finite position and a positive radius) and the box of cells
// they reach, clipped to a window of `limit`.
struct Reaches {
  std::vector<Reach> samples;
  std::size_t minX = 0, minY = 0, endX = 0, endY = 0;

  template <class MakeReach>
  Reaches(const gpu::Dispatch& dispatch, gpu::Size limit, MakeReach makeReach)
      : Reaches(samplesArgument(dispatch), limit, makeReach) {}

  template <class MakeReach>
  Reaches(const std::vector<Sample>& from, gpu::Size limit, MakeReach makeReach) {
    constexpr float far = std::numeric_limits<float>::infinity();
    float lowX = far, lowY = far, highX = -far, highY = -far;
    for (const Sample& s : from) {
      const Reach r = makeReach(s);
      if (!reachesAnything(r)) continue;
      samples.push_back(r);
      lowX = std::min(lowX, r.x - r.radius), highX = std::max(highX, r.x + r.radius);
      lowY = std::min(lowY, r.y - r.radius), highY = std::max(highY, r.y + r.radius);
    }
    if (samples.empty()) return;
    const auto clip = [](float v, std::size_t side) {
      return static_cast<std::size_t>(std::clamp(v, 0.0f, static_cast<float>(side)));
    };
    minX = clip(std::floor(lowX), limit.width), endX = clip(std::ceil(highX) + 1, limit.width);
    minY = clip(std::floor(lowY), limit.height), endY = clip(std::ceil(highY) + 1, limit.height);
  }

  TESS_KERNEL_INLINE bool contains(gpu::uint3 p) const {
    return p.x >= minX && p.x < endX && p.y >= minY && p.y < endY;
  }

  static bool reachesAnything(const Reach& r) { return std::isfinite(r.x) && std::isfinite(r.y) && r.radius > 0; }
};

// `amount` bytes of `paint`'s colour laid on `under` (colour and thickness): the thickness adds up
// to 255 at most and the colours mix by amount. `laid` becomes what fitted.
TESS_KERNEL_INLINE Texel layOn(Texel under, Texel paint, int amount, int& laid) {
  laid = std::min(amount, 255 - under.a);
  if (laid <= 0) return under;
  const int total = under.a + laid;
  const auto mix = [&](int u, int p) {
    return static_cast<std::uint8_t>((u * under.a + p * laid + total / 2) / total);
  };
  return {mix(under.r, paint.r), mix(under.g, paint.g), mix(under.b, paint.b), static_cast<std::uint8_t>(total)};
}

// The working cells a headless kernel paints: in a stroke step it reads grid0 and wet0 and writes
// its changes, marked, to grid1 and wet1; bound to the same textures (the tube's direct drawing into
// a layer) it works in place and leaves the marks alone. The dry texture it lays dry paint into is
// the one at TEXTURE_DRY_READ (dry0 in a step, the texture the step writes back), in place.
class HeadlessCells {
 public:
  explicit HeadlessCells(const gpu::Dispatch& dispatch)
      : gridIn_(dispatch.texels(tessivarium::TEXTURE_GRID_READ)),
        gridOut_(dispatch.texels(tessivarium::TEXTURE_GRID_WRITE)),
        wetIn_(dispatch.texels(tessivarium::TEXTURE_WET_READ)),
        wetOut_(dispatch.texels(tessivarium::TEXTURE_WET_WRITE)),
        dry_(dispatch.texels(tessivarium::TEXTURE_DRY_READ)), mask_(dispatch) {
    inStep_ = gridIn_ && gridOut_ && gridIn_.texel(0, 0) != gridOut_.texel(0, 0);
  }

  bool canLayWet() const { return gridIn_ && gridOut_ && wetIn_ && wetOut_; }
  bool canLayDry() const { return static_cast<bool>(dry_); }
  gpu::Size wetLimit() const {
    return {std::min({gridIn_.width(), gridOut_.width(), wetIn_.width(), wetOut_.width()}),
            std::min({gridIn_.height(), gridOut_.height(), wetIn_.height(), wetOut_.height()}), 1};
  }
  gpu::Size dryLimit() const { return dry_.size(); }
  TESS_KERNEL_INLINE bool masked(gpu::uint3 p) const { return mask_.masked(p.x, p.y); }

  // Wet paint of `paint`'s colour with `wetness`, `amount` bytes of it, on cell (x, y), marked
  // `mark` in a step; false when none fitted.
  TESS_KERNEL_INLINE bool layWet(std::size_t x, std::size_t y, Texel paint, std::uint8_t wetness, int amount,
                                 std::uint8_t mark = kStrokeMark) const {
    const Texel under = load(wetIn_, x, y);
    Texel cell = load(gridIn_, x, y);
    int laid = 0;
    const Texel wet = layOn(under, paint, amount, laid);
    if (laid <= 0) return false;
    cell.r = quantisedWetness((cell.r * under.a + wetness * laid + wet.a / 2) / wet.a);
    cell.a = tessivarium::TOOL_FLUID;
    if (inStep_) cell.b = mark;
    store(wetOut_, wet, x, y);
    store(gridOut_, cell, x, y);
    return true;
  }

  // In a step: the mark the step before left on cell (x, y), and the cell passed on as it is, marked
  // `mark` (held back from the blur again, or levelled now).
  TESS_KERNEL_INLINE std::uint8_t markBefore(std::size_t x, std::size_t y) const { return inStep_ ? load(gridIn_, x, y).b : 0; }
  TESS_KERNEL_INLINE void keep(std::size_t x, std::size_t y, std::uint8_t mark) const {
    Texel cell = load(gridIn_, x, y);
    cell.b = mark;
    store(wetOut_, load(wetIn_, x, y), x, y);
    store(gridOut_, cell, x, y);
  }

  // Dry paint of `paint`'s colour, `amount` bytes of it, on cell (x, y).
  TESS_KERNEL_INLINE void layDry(std::size_t x, std::size_t y, Texel paint, int amount) const {
    int laid = 0;
    const Texel dry = layOn(load(dry_, x, y), paint, amount, laid);
    if (laid > 0) store(dry_, dry, x, y);
  }

 private:
  gpu::TexelView gridIn_, gridOut_, wetIn_, wetOut_, dry_;
  WindowMask mask_;
  bool inStep_ = false;
};

// The distance from the centre of cell (x, y) to a sample, squared.
TESS_KERNEL_INLINE float distanceSquared(gpu::uint3 p, const Reach& s) {
  const float dx = static_cast<float>(p.x) + 0.5f - s.x, dy = static_cast<float>(p.y) + 0.5f - s.y;
  return dx * dx + dy * dy;
}

}  // namespace kernels
