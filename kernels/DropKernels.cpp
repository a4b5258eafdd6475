// The drop tools' paint kernels: the paint tube's blob of thick paint around each sample
// ("mac_add_sphere") and the sprayer's speckle of droplets ("DAESprayer_paint"). Both lay paint of
// the colour at BUFFER_COLOR on top of what the cell holds, mixed with it by amount; the colour's
// alpha is the paint's wetness, as the colour fills read it.
//
// Neither lays paint on a masked cell (WindowMask): the tube lays dry paint, and draws into a layer,
// straight into the textures that are kept, past the overlay map that keeps a step's wet changes off
// the mask.
//
// Each thread owns one cell and computes what lands on it from every sample of the step, with no
// state carried between cells, so the bytes written are the same on every run and any number of
// threads. Threads outside the box round the samples' reach return at once.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "gpu/KernelRuntime.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"

namespace kernels {
namespace {

using namespace tessivarium;

// The tube's blob: radius and height at the centre, in cells and thickness bytes, at force 0 and
// added per unit of force.
constexpr float kBlobRadius = 2, kBlobRadiusPerForce = 4;
constexpr float kBlobHeight = 4, kBlobHeightPerForce = 20;
// The sprayer's reach in cells at force 0 and per unit of force; the chance (of 256) that a
// droplet lands on a cell under the sample, falling to 0 at the reach; a droplet's thickness.
constexpr float kSprayReach = 6, kSprayReachPerForce = 10;
constexpr float kDropletChance = 96;
constexpr int kDropletThickness = 2, kDropletThicknessRange = 3;

// The drawing modes at BUFFER_DRAWING_MODE.
constexpr std::int32_t kWetMode = 0, kDryMode = 1;

// A force brought to 0 to 1; one that is not a number presses not at all.
float unitForce(float force) { return std::isfinite(force) ? std::clamp(force, 0.0f, 1.0f) : 0.0f; }

// The 32-bit integer at `slot`, `absent` when none (or too short a buffer) is bound.
std::int32_t intArgument(const gpu::Dispatch& dispatch, std::int64_t slot, std::int32_t absent) {
  if (dispatch.bufferLength(slot) < sizeof(std::int32_t)) return absent;
  std::int32_t value;
  std::memcpy(&value, dispatch.bufferBytes(slot), sizeof value);
  return value;
}

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
  Reaches(const gpu::Dispatch& dispatch, gpu::Size limit, MakeReach makeReach) {
    constexpr float far = std::numeric_limits<float>::infinity();
    float lowX = far, lowY = far, highX = -far, highY = -far;
    for (const Sample& s : samplesArgument(dispatch)) {
      const Reach r = makeReach(s);
      if (!std::isfinite(r.x) || !std::isfinite(r.y) || !(r.radius > 0)) continue;
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

// The working cells a drop kernel paints: in a stroke step it reads grid0 and wet0 and writes its
// changes, marked, to grid1 and wet1; bound to the same textures (the tube's direct drawing into a
// layer) it works in place and leaves the marks alone. The dry texture it lays dry paint into is
// the one at TEXTURE_DRY_READ (dry0 in a step, the texture the step writes back), in place.
class DropCells {
 public:
  explicit DropCells(const gpu::Dispatch& dispatch)
      : gridIn_(dispatch.texels(TEXTURE_GRID_READ)), gridOut_(dispatch.texels(TEXTURE_GRID_WRITE)),
        wetIn_(dispatch.texels(TEXTURE_WET_READ)), wetOut_(dispatch.texels(TEXTURE_WET_WRITE)),
        dry_(dispatch.texels(TEXTURE_DRY_READ)), mask_(dispatch) {
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

  // Wet paint of `paint`'s colour with `wetness`, `amount` bytes of it, on cell (x, y).
  TESS_KERNEL_INLINE void layWet(std::size_t x, std::size_t y, Texel paint, std::uint8_t wetness, int amount) const {
    const Texel under = load(wetIn_, x, y);
    Texel cell = load(gridIn_, x, y);
    int laid = 0;
    const Texel wet = layOn(under, paint, amount, laid);
    if (laid <= 0) return;
    cell.r = quantisedWetness((cell.r * under.a + wetness * laid + wet.a / 2) / wet.a);
    cell.a = TOOL_FLUID;
    if (inStep_) cell.b = kStrokeMark;
    store(wetOut_, wet, x, y);
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

// The droplet a sample drops on a cell, decided by the cell's place relative to the sample and
// the sample's place within its cell: the same sample always sprays the same pattern around it,
// wherever the window lies.
TESS_KERNEL_INLINE std::uint32_t dropletHash(gpu::uint3 p, const Reach& s) {
  const float cellX = std::floor(s.x), cellY = std::floor(s.y);
  const auto dx = static_cast<std::uint32_t>(static_cast<std::int32_t>(p.x) - static_cast<std::int32_t>(cellX));
  const auto dy = static_cast<std::uint32_t>(static_cast<std::int32_t>(p.y) - static_cast<std::int32_t>(cellY));
  std::uint32_t h = mix32(dx * 0x9e3779b9u ^ dy);
  h = mix32(h ^ bitsOf(s.x - cellX));
  return mix32(h ^ bitsOf(s.y - cellY));
}

}  // namespace

// The paint tube: around each sample a blob of the colour, a half sphere whose radius and height
// grow with the force. The blobs of one step join as one bead (each cell takes the highest blob over
// it), laid on top of the cell's paint: wet in mode 0 (the default), dry in mode 1.
void addSphere(const gpu::Dispatch& dispatch) {
  if (dispatch.bufferBytes(BUFFER_COLOR) == nullptr) return;  // no colour, no paint
  const Texel colour = bytesOf(float4Argument(dispatch, BUFFER_COLOR, {}));
  const std::uint8_t wetness = quantisedWetness(colour.a);
  const bool dry = intArgument(dispatch, BUFFER_DRAWING_MODE, kWetMode) == kDryMode;
  const DropCells cells(dispatch);
  if (dry ? !cells.canLayDry() : !cells.canLayWet()) return;
  const gpu::Size limit = dry ? cells.dryLimit() : cells.wetLimit();
  const Reaches reaches(dispatch, limit, [](const Sample& s) {
    const float f = unitForce(s.force);
    return Reach{s.x, s.y, kBlobRadius + kBlobRadiusPerForce * f, kBlobHeight + kBlobHeightPerForce * f};
  });
  if (reaches.samples.empty()) return;
  gpu::forEachThread(dispatch, limit, [&reaches, cells, colour, wetness, dry](gpu::uint3 p) {
    if (!reaches.contains(p) || cells.masked(p)) return;
    float height = 0;
    for (const Reach& s : reaches.samples) {
      const float d2 = distanceSquared(p, s), r2 = s.radius * s.radius;
      if (d2 < r2) height = std::max(height, s.strength * std::sqrt(1.0f - d2 / r2));
    }
    const int amount = static_cast<int>(std::lround(height));
    if (amount <= 0) return;
    if (dry) {
      cells.layDry(p.x, p.y, colour, amount);
    } else {
      cells.layWet(p.x, p.y, colour, wetness, amount);
    }
  });
}

// The sprayer: around each sample droplets of the colour land on some cells, more often near the
// sample, within a reach that grows with the force; a cell gathers the droplets of every sample of
// the step and takes them as wet paint on top of its own.
void sprayerPaint(const gpu::Dispatch& dispatch) {
  if (dispatch.bufferBytes(BUFFER_COLOR) == nullptr) return;
  const Texel colour = bytesOf(float4Argument(dispatch, BUFFER_COLOR, {}));
  const std::uint8_t wetness = quantisedWetness(colour.a);
  const DropCells cells(dispatch);
  if (!cells.canLayWet()) return;
  const gpu::Size limit = cells.wetLimit();
  const Reaches reaches(dispatch, limit, [](const Sample& s) {
    return Reach{s.x, s.y, kSprayReach + kSprayReachPerForce * unitForce(s.force), kDropletChance};
  });
  if (reaches.samples.empty()) return;
  gpu::forEachThread(dispatch, limit, [&reaches, cells, colour, wetness](gpu::uint3 p) {
    if (!reaches.contains(p) || cells.masked(p)) return;
    int amount = 0;
    for (const Reach& s : reaches.samples) {
      const float d2 = distanceSquared(p, s), r2 = s.radius * s.radius;
      if (!(d2 < r2)) continue;
      const std::uint32_t h = dropletHash(p, s);
      const float chance = s.strength * (1.0f - std::sqrt(d2 / r2));
      if (static_cast<float>(h & 0xffu) < chance) {
        amount += kDropletThickness + static_cast<int>((h >> 8) % kDropletThicknessRange);
      }
    }
    if (amount > 0) cells.layWet(p.x, p.y, colour, wetness, amount);
  });
}

}  // namespace kernels
