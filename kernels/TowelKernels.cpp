// The towel's kernels: the paint pass that wipes wet paint off the window into the towel's head,
// its gentle blur, and the map pass, which merges a step's changes as the overlay map does.

#include <algorithm>

#include "kernels/HeadStroke.h"
#include "kernels/KernelList.h"
#include "kernels/WindowBlur.h"

namespace kernels {
namespace {

using namespace tessivarium;

// The towel only smudges the edges of its track: half the common blur's rate.
constexpr int kTowelBlurShare = 16;

// The press at which a column lifts a fully wet cell's paint whole at one sample; a lighter press
// lifts a share in proportion, drier paint less. A towel lying flat at force 1 presses half as much.
constexpr int kLiftPress = static_cast<int>(kPressBytes);

}  // namespace

void towelPaint(const gpu::Dispatch& dispatch) {
  StrokeWindow window(dispatch);
  HeadWalk walk(dispatch);
  if (!walk || window.width() == 0) return;
  walk.eachMeeting(window.width(), window.height(), [&](std::size_t k, int rise, int press, std::size_t cx, std::size_t cy) {
    StrokeWindow::Cell cell = window.get(cx, cy);
    const int w = cell.wet.a;
    if (w == 0 || !reaches(rise, press, w)) return;
    const int whole = kFullWetness * kLiftPress;
    const int lifted = (w * cell.grid.r * std::min(press, kLiftPress) + whole - 1) / whole;
    // The towel holds what its column has room for under the paint it already holds.
    const int take = std::min(lifted, walk.head().column(k).bottom());
    if (take <= 0) return;
    walk.head().hang(k, take, {cell.wet.r, cell.wet.g, cell.wet.b, headPaintKind(cell.grid.r)});
    lift(cell, take);
    window.put(cx, cy, cell);
  });
  walk.writeHead();
}

void towelMapPaint(const gpu::Dispatch& dispatch) { toolModelOverlayMap(dispatch); }

void towelBlurImage(const gpu::Dispatch& dispatch) { blurAroundMarks(dispatch, LevellingGift<kTowelBlurShare>{}); }

}  // namespace kernels
