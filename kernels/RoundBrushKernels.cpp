// The round brush's paint kernel ("DAEToolModel_brush_bristle_paint"): the round tip of one bristle
// pressed onto the canvas at every sample, without a head. The brush takes no colour (it refuses a
// fill and its pass sends none), so its paint is the kernel's own: black, fully wet. Pressed harder
// the tip lays a wider and thicker mark, and held flatter a wider one; the marks of one step join as
// one stroke, each cell taking the thickest mark over it, laid on top of the cell's own paint
// (kernels/HeadlessPaint.h).

#include <algorithm>
#include <cmath>

#include "gpu/KernelRuntime.h"
#include "kernels/HeadlessPaint.h"
#include "kernels/KernelList.h"

namespace kernels {
namespace {

// The tip's radius in cells, at no force and added per unit of force, with the brush lying flat
// (altitude 0 as uploaded); upright (π/2) it is half as wide.
constexpr float kTipRadius = 2, kTipRadiusPerForce = 6;
// The thickness in bytes a unit of force lays under the tip; the rim's last cell takes its share.
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

// What a tip lays on a cell whose centre lies `distance` cells from it: its thickness inside, the
// part of the rim's last cell the tip covers, nothing beyond.
TESS_KERNEL_INLINE int laidBy(const Reach& tip, float distance) {
  return static_cast<int>(std::lround(tip.strength * std::clamp(tip.radius - distance, 0.0f, 1.0f)));
}

}  // namespace

// Reads grid0 and wet0, the samples and the mask; writes the cells it paints, marked, to grid1 and
// wet1 for the overlay map. The ground, the dry paint and the azimuths are not used.
void brushBristlePaint(const gpu::Dispatch& dispatch) {
  const HeadlessCells cells(dispatch);
  if (!cells.canLayWet()) return;
  const gpu::Size limit = cells.wetLimit();
  const Reaches tips(dispatch, limit, tipOf);
  if (tips.samples.empty()) return;
  gpu::forEachThread(dispatch, limit, [&tips, cells](gpu::uint3 p) {
    if (!tips.contains(p) || cells.masked(p)) return;
    int amount = 0;
    for (const Reach& tip : tips.samples) amount = std::max(amount, laidBy(tip, std::sqrt(distanceSquared(p, tip))));
    if (amount > 0) cells.layWet(p.x, p.y, kRoundBrushPaint, kFullWetness, amount);
  });
}

}  // namespace kernels
