// The sander's kernels: the paint pass grinds the working dry paint down under the head and marks
// the sanded cells in the step's map; the blur then levels the sanded cells, so that none stands
// more than the grit's thickness above its lowest neighbour. Both only ever take dry paint away:
// sanding turns paint into dust, which is not kept.

#include <algorithm>
#include <cmath>

#include "gpu/ScratchArray.h"
#include "kernels/HeadStroke.h"
#include "kernels/KernelList.h"
#include "kernels/WindowBlur.h"

namespace kernels {
namespace {

using namespace tessivarium;

// Bytes of press that grind one byte of dry paint off at a sample.
constexpr int kGritPress = 8;
// How far a sanded cell may stand above its lowest neighbour when no thickness is bound.
constexpr float kDefaultThickness = 7.0f;

// `texel`'s paint `thickness` bytes thick: no paint at all at 0.
TESS_KERNEL_INLINE Texel withThickness(Texel texel, int thickness) {
  if (thickness <= 0) return {};
  texel.a = static_cast<std::uint8_t>(thickness);
  return texel;
}

}  // namespace

void sanderPaint(const gpu::Dispatch& dispatch) {
  // The sander's composite makes no copy of the head before the pass, so the pass carries it to
  // slot 10 itself: the exchange after the pass then leaves the head as it was.
  carryHead(dispatch, dispatch.texels(TEXTURE_TOOL_READ), dispatch.texels(TEXTURE_TOOL_WRITE));
  const gpu::TexelView dry = dispatch.texels(TEXTURE_DRY_READ), map = dispatch.texels(TEXTURE_MAP_WRITE);
  HeadWalk walk(dispatch);
  if (!walk || !dry) return;
  const gpu::Size grid = dispatch.gridSize();
  std::size_t width = std::min(grid.width, dry.width()), height = std::min(grid.height, dry.height());
  if (map) width = std::min(width, map.width()), height = std::min(height, map.height());
  walk.eachMeeting(width, height, [&](std::size_t, int rise, int press, std::size_t cx, std::size_t cy) {
    if (!reaches(rise, press, 0)) return;
    if (map) store(map, Texel{0, 0, kStrokeMark, 0}, cx, cy);
    const Texel paint = load(dry, cx, cy);
    if (paint.a > 0) store(dry, withThickness(paint, paint.a - std::max(1, press / kGritPress)), cx, cy);
  });
}

void sanderBlurImage(const gpu::Dispatch& dispatch) {
  const gpu::TexelView dry = dispatch.texels(TEXTURE_DRY_READ), dryOut = dispatch.texels(TEXTURE_DRY_WRITE),
                       map = dispatch.texels(TEXTURE_MAP_READ);
  if (!dry || !dryOut || !map) return;
  const float thickness = floatArgument(dispatch, BUFFER_THICKNESS, kDefaultThickness);
  const int step = static_cast<int>(std::lround(std::isfinite(thickness) ? std::clamp(thickness, 0.0f, 255.0f) : kDefaultThickness));
  const gpu::Size grid = dispatch.gridSize();
  const MarkedCells marks(map, std::min({grid.width, dry.width(), dryOut.width(), map.width()}),
                          std::min({grid.height, dry.height(), dryOut.height(), map.height()}));
  const std::size_t width = marks.width(), height = marks.height();
  // The dry thickness as it was, in the rows a sanded cell reads.
  gpu::ScratchArray<std::uint8_t> before(width * height);
  marks.eachRow([&](std::size_t y) {
    if (!marks.rowNear(y, 1)) return;
    for (std::size_t x = 0; x < width; ++x) before[y * width + x] = load(dry, x, y).a;
  });
  marks.eachRow([&](std::size_t y) {
    if (!marks.rowNear(y, 0)) return;
    for (std::size_t x = 0; x < width; ++x) {
      const std::size_t k = y * width + x;
      if (!marks.marked(k) || before[k] == 0) continue;
      int lowest = before[k];
      if (x > 0) lowest = std::min<int>(lowest, before[k - 1]);
      if (x + 1 < width) lowest = std::min<int>(lowest, before[k + 1]);
      if (y > 0) lowest = std::min<int>(lowest, before[k - width]);
      if (y + 1 < height) lowest = std::min<int>(lowest, before[k + width]);
      if (before[k] > lowest + step) store(dryOut, withThickness(load(dry, x, y), lowest + step), x, y);
    }
  });
}

}  // namespace kernels
