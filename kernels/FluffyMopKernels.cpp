// The fluffy mop's kernels: the paint pass marks the cells the mop sweeps over, and the mop's blur
// softens the paint there, evening out thickness and stirring the colours together within the
// reach of its hairs.

#include <algorithm>
#include <cstdint>

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

// The hairs stir the wet paint they swept: every two swept cells at most kReach cells apart across
// and along trade equal amounts, min(thickness) x min(wetness) / 252 over twice the number of
// partners a cell has, so a cell stirs at most half its paint away and the gifts above take at
// most the other half. Equal amounts both ways move no paint: thickness stays, colours mix. (The
// sums take in the cell's trade with itself, which changes nothing and spares a test per cell.)
struct HairStir {
  static constexpr int kReach = 5;
  static constexpr int kPartners = (2 * kReach + 1) * (2 * kReach + 1) - 1;
  static constexpr std::int64_t kUnit = 2 * kPartners * kFullWetness;
  static constexpr std::size_t kRowsPerChunk = 1;

  TESS_KERNEL_INLINE Stirred operator()(const WindowSnapshot& s, std::size_t x, std::size_t y) const {
    const MarkedCells& marks = s.marks;
    const std::size_t width = marks.width(), k = y * width + x;
    const int thickness = s.wet[k].a, wetness = s.grid[k].r;
    Stirred sums;
    if (!marks.marked(k) || thickness == 0 || wetness == 0) return sums;
    const bool withMask = !s.masked.empty();
    const std::size_t y0 = y >= kReach ? y - kReach : 0, y1 = std::min(marks.height(), y + kReach + 1);
    const std::size_t x0 = x >= kReach ? x - kReach : 0, x1 = std::min(width, x + kReach + 1);
    for (std::size_t qy = y0; qy < y1; ++qy) {
      // A row of at most 11 partners sums within an int.
      int share = 0, r = 0, g = 0, b = 0, wet = 0;
      for (std::size_t q = qy * width + x0; q < qy * width + x1; ++q) {
        const bool partner = marks.marked(q) && !(withMask && s.masked[q]);
        const Texel& paint = s.wet[q];
        const int f = partner ? std::min<int>(thickness, paint.a) * std::min<int>(wetness, s.grid[q].r) : 0;
        share += f, r += f * paint.r, g += f * paint.g, b += f * paint.b, wet += f * s.grid[q].r;
      }
      sums.share += share, sums.r += r, sums.g += g, sums.b += b, sums.wetness += wet;
    }
    return sums;
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

void fluffyMopBlurImage(const gpu::Dispatch& dispatch) { blurAroundMarks(dispatch, MixingGift{}, HairStir{}); }

}  // namespace kernels
