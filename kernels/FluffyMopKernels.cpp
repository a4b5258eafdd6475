// The fluffy mop's kernels: the paint pass softens the paint the mop sweeps over at each sample,
// evening out thickness and stirring the colours together within the reach of its hairs, and marks
// those cells; the mop's blur softens them once more when the mop has left them.

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "gpu/ScratchArray.h"
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

// The hairs at work along the path: after each sample's meetings the cells the mop swept there are
// blended and stirred as the mop's blur does it, by the same gift and stir, over those cells alone.
// So a cell is worked once for every sample the mop passes over it, however the samples fall into
// steps; the blur then evens out the trail once, after the mop has left it.
class SweepingHairs {
 public:
  SweepingHairs(StrokeWindow& window, const HeadWalk& walk)
      : window_(window), walk_(walk), swept_(window.width() * window.height(), 0) {}

  // From the column that owns the cell, during the sample's meetings. Whether there is wet paint
  // to stir (in the cell or in a neighbour the gifts reach) is noted, so that a sample over a bare
  // canvas costs no more.
  void sweep(std::size_t cx, std::size_t cy) {
    const std::size_t width = window_.width();
    swept_[cy * width + cx] = sample_;
    if (flows_.load(std::memory_order_relaxed)) return;
    const auto wet = [&](std::size_t x, std::size_t y) { return window_.thickness(x, y) > 0; };
    if (wet(cx, cy) || (cx > 0 && wet(cx - 1, cy)) || (cx + 1 < width && wet(cx + 1, cy)) || (cy > 0 && wet(cx, cy - 1)) ||
        (cy + 1 < window_.height() && wet(cx, cy + 1)))
      flows_.store(true, std::memory_order_relaxed);
  }

  void stir() {
    const std::uint32_t sample = sample_++;
    if (!flows_.exchange(false, std::memory_order_relaxed)) return;
    const auto sweptNow = [&](std::size_t cx, std::size_t cy) { return swept_[cy * window_.width() + cx] == sample; };
    std::size_t x0 = window_.width(), y0 = window_.height(), x1 = 0, y1 = 0;
    walk_.eachCellMet([&](std::size_t cx, std::size_t cy) {
      if (sweptNow(cx, cy)) x0 = std::min(x0, cx), y0 = std::min(y0, cy), x1 = std::max(x1, cx + 1), y1 = std::max(y1, cy + 1);
    });
    // The swept cells and their neighbours, to which the gifts reach.
    x0 = x0 > 0 ? x0 - 1 : 0, y0 = y0 > 0 ? y0 - 1 : 0;
    x1 = std::min(x1 + 1, window_.width()), y1 = std::min(y1 + 1, window_.height());
    MarkedCells marks(x1 - x0, y1 - y0);
    walk_.eachCellMet([&](std::size_t cx, std::size_t cy) {
      if (sweptNow(cx, cy)) marks.mark(cx - x0, cy - y0);
    });
    WindowSnapshot s(marks, true);
    marks.eachRow([&](std::size_t y) {
      for (std::size_t x = 0; x < marks.width(); ++x) {
        const std::size_t k = y * marks.width() + x;
        const StrokeWindow::Cell cell = window_.get(x0 + x, y0 + y);
        s.wet[k] = cell.wet, s.grid[k] = cell.grid, s.masked[k] = !walk_.open(static_cast<long>(x0 + x), static_cast<long>(y0 + y));
      }
    });
    marks.eachRow([&](std::size_t y) {
      for (std::size_t x = 0; x < marks.width(); ++x) {
        StrokeWindow::Cell cell;
        if (blurCell(s, x, y, MixingGift{}, HairStir{}, cell.wet, cell.grid)) window_.put(x0 + x, y0 + y, cell);
      }
    }, HairStir::kRowsPerChunk);
  }

 private:
  StrokeWindow& window_;
  const HeadWalk& walk_;
  gpu::ScratchArray<std::uint32_t> swept_;  // the number of the sample that last swept the cell
  std::uint32_t sample_ = 1;
  std::atomic<bool> flows_{false};
};

}  // namespace

void fluffyMopPaint(const gpu::Dispatch& dispatch) {
  StrokeWindow window(dispatch);
  HeadWalk walk(dispatch);
  if (!walk || window.width() == 0) return;
  SweepingHairs hairs(window, walk);
  walk.eachMeeting(
      window.width(), window.height(),
      [&](std::size_t, int rise, int press, std::size_t cx, std::size_t cy) {
        const StrokeWindow::Cell cell = window.get(cx, cy);
        if (!reaches(rise, press, cell.wet.a)) return;
        window.put(cx, cy, cell);
        hairs.sweep(cx, cy);
      },
      [&] { hairs.stir(); });
  walk.holdTrail(window);
}

void fluffyMopBlurImage(const gpu::Dispatch& dispatch) { blurAroundMarks(dispatch, MixingGift{}, HairStir{}); }

}  // namespace kernels
