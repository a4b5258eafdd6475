// Turpentine's kernels: the paint pass that wets the paint under the head again, and the blur that
// lets the wetted paint run out thinner.

#include <algorithm>

#include "kernels/HeadStroke.h"
#include "kernels/KernelList.h"
#include "kernels/WindowBlur.h"

namespace kernels {
namespace {

using namespace tessivarium;

// Thinned paint runs freely: twice the common blur's rate.
constexpr int kTurpentineBlurShare = 4;

}  // namespace

void turpentinePaint(const gpu::Dispatch& dispatch) {
  StrokeWindow window(dispatch);
  HeadWalk walk(dispatch);
  if (!walk || window.width() == 0) return;
  walk.eachMeeting(window.width(), window.height(), [&](std::size_t, int rise, int press, std::size_t cx, std::size_t cy) {
    StrokeWindow::Cell cell = window.get(cx, cy);
    if (!reaches(rise, press, cell.wet.a)) return;
    // Wet paint gains half of full wetness per full press (at least a level); every cell met is
    // marked, so the blur thins what lies there.
    if (cell.wet.a > 0) {
      const int gain = std::max<int>(kWetnessStep, kFullWetness * press / (2 * static_cast<int>(kPressBytes)));
      cell.grid.r = quantisedWetness(std::min<int>(kFullWetness, cell.grid.r + gain));
    }
    window.put(cx, cy, cell);
  });
  walk.holdTrail(window);
}

void turpentineBlurImage(const gpu::Dispatch& dispatch) {
  blurAroundMarks(dispatch, LevellingGift<kTurpentineBlurShare>{});
}

}  // namespace kernels
