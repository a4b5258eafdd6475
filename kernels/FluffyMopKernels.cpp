// The fluffy mop's kernels: the paint pass marks the cells the mop sweeps over, and the mop's blur
// softens the paint there, evening out both thickness and colour.

#include "kernels/HeadStroke.h"
#include "kernels/KernelList.h"
#include "kernels/WindowBlur.h"

namespace kernels {
namespace {

using namespace tessivarium;

// Across each edge of the swept cells, each cell gives its neighbour an eighth of its own paint
// (times its wetness over full wetness). Between equally wet cells the net flow is the common
// blur's, from the thicker to the thinner, and the colours mix even where the two are equally thick.
struct MixingGift {
  TESS_KERNEL_INLINE int operator()(int from, int fromWetness, int, int) const {
    return from * fromWetness / (8 * kFullWetness);
  }
};

}  // namespace

void fluffyMopPaint(const gpu::Dispatch& dispatch) {
  StrokeWindow window(dispatch);
  HeadWalk walk(dispatch);
  if (!walk || window.width() == 0) return;
  walk.eachMeeting(window.width(), window.height(), [&](std::size_t, int rise, int press, std::size_t cx, std::size_t cy) {
    const StrokeWindow::Cell cell = window.get(cx, cy);
    if (reaches(rise, press, cell.wet.a)) window.put(cx, cy, cell);
  });
}

void fluffyMopBlurImage(const gpu::Dispatch& dispatch) { blurAroundMarks(dispatch, MixingGift{}); }

}  // namespace kernels
