// The fluffy mop's kernels: the paint pass softens the paint the mop sweeps over at each cell corner
// it comes to, evening out thickness and stirring the colours together within the reach of its
// hairs, and marks those cells; the mop's blur evens them out once more when the mop has left them.

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
// While the mop sweeps, as much for each cell it travels: `travel256` in 1/256ths of a cell.
struct MixingGift {
  int travel256 = 256;
  TESS_KERNEL_INLINE int operator()(int from, int fromWetness, int, int) const {
    return from * fromWetness * travel256 / (8 * kFullWetness * 256);
  }
};

// The hairs stir the wet paint they sweep: every two cells swept at a visit at most kReach cells
// apart across and along trade equal amounts, min(thickness) x min(wetness) / 252 over twice the
// number of partners a cell has, times the visit's travel in cells, so a cell stirs at most half its
// paint away for a cell of travel and the gifts above take at most the other half. Equal amounts
// both ways move no paint: thickness stays, colours mix. (The sums take in the cell's trade with
// itself, which changes nothing and spares a test per cell.)
struct HairStir {
  static constexpr int kReach = 5;
  static constexpr int kPartners = (2 * kReach + 1) * (2 * kReach + 1) - 1;
  // The shares are counted in 1/256ths of a cell travelled too (see MixingGift).
  static constexpr std::int64_t kUnit = 2 * kPartners * kFullWetness * 256;
  static constexpr std::size_t kRowsPerChunk = 1;
  int travel256 = 256;

  // The sums of every cell of row y of the swept cells' snapshot, into out[0 .. width): a cell as
  // thick and as wet as the one before it takes that one's sums less the column of partners it
  // leaves and plus the one it comes to, so that paint of one kind costs two columns a cell rather
  // than the whole square.
  void row(const WindowSnapshot& s, std::size_t y, Stirred* out) const {
    const std::size_t width = s.marks.width();
    Stirred sums;
    int thickness = -1, wetness = -1;  // of the cell before, whose sums `sums` are; -1: none
    for (std::size_t x = 0; x < width; ++x) {
      const std::size_t k = y * width + x;
      if (!stirs(s, k)) {
        out[x] = {}, thickness = -1;
        continue;
      }
      if (s.wet[k].a == thickness && s.grid[k].r == wetness) {
        if (x + kReach < width) addColumn(s, x + kReach, y, thickness, wetness, 1, sums);
        if (x >= kReach + 1) addColumn(s, x - kReach - 1, y, thickness, wetness, -1, sums);
      } else {
        thickness = s.wet[k].a, wetness = s.grid[k].r, sums = {};
        const std::size_t x0 = x >= kReach ? x - kReach : 0, x1 = std::min(width, x + kReach + 1);
        for (std::size_t qx = x0; qx < x1; ++qx) addColumn(s, qx, y, thickness, wetness, 1, sums);
      }
      out[x] = scaled(sums);
    }
  }

 private:
  // Whether cell k stirs: a marked cell with wet paint.
  TESS_KERNEL_INLINE static bool stirs(const WindowSnapshot& s, std::size_t k) {
    return s.marks.marked(k) && s.wet[k].a > 0 && s.grid[k].r > 0;
  }

  // Adds (sign 1) or takes away (-1) the trades of a cell `thickness` thick and `wetness` wet in row
  // y with its partners in column qx.
  TESS_KERNEL_INLINE static void addColumn(const WindowSnapshot& s, std::size_t qx, std::size_t y, int thickness, int wetness,
                                           int sign, Stirred& sums) {
    const MarkedCells& marks = s.marks;
    const std::size_t width = marks.width();
    const bool withMask = !s.masked.empty();
    const std::size_t y0 = y >= kReach ? y - kReach : 0, y1 = std::min(marks.height(), y + kReach + 1);
    // A column of at most 11 partners sums within an int.
    int share = 0, r = 0, g = 0, b = 0, wet = 0;
    for (std::size_t q = y0 * width + qx; q < y1 * width; q += width) {
      const bool partner = marks.marked(q) && !(withMask && s.masked[q]);
      const Texel& paint = s.wet[q];
      const int f = partner ? std::min<int>(thickness, paint.a) * std::min<int>(wetness, s.grid[q].r) : 0;
      share += f, r += f * paint.r, g += f * paint.g, b += f * paint.b, wet += f * s.grid[q].r;
    }
    sums.share += sign * share, sums.r += sign * r, sums.g += sign * g, sums.b += sign * b, sums.wetness += sign * wet;
  }

  TESS_KERNEL_INLINE Stirred scaled(Stirred sums) const {
    sums.share *= travel256, sums.r *= travel256, sums.g *= travel256, sums.b *= travel256, sums.wetness *= travel256;
    return sums;
  }
};

// The stir sums HairStir::row worked out for the row being blurred, looked up cell by cell.
struct RowOfStirs {
  static constexpr std::int64_t kUnit = HairStir::kUnit;
  const Stirred* row;
  TESS_KERNEL_INLINE Stirred operator()(const WindowSnapshot&, std::size_t x, std::size_t) const { return row[x]; }
};

// The hairs at work along the path: after each visit's meetings the cells the mop swept there are
// blended by the mop's gift, as its blur gives, and stirred together, over those cells alone. So a
// cell is worked for every cell the mop travels over it, however the samples fall into steps; the
// blur then evens out the trail once, after the mop has left it.
class SweepingHairs {
 public:
  SweepingHairs(StrokeWindow& window, const HeadWalk& walk)
      : window_(window), walk_(walk), swept_(window.width() * window.height(), 0) {}

  // From the column that owns the cell, during the visit's meetings. Whether there is wet paint
  // to stir (in the cell or in a neighbour the gifts reach) is noted, so that a visit over a bare
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
    const int travel256 = walk_.travel256();
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
    // A box about the head, read on this thread: shorter than handing it to the workers.
    WindowSnapshot s(marks, true);
    for (std::size_t y = 0, k = 0; y < marks.height(); ++y)
      for (std::size_t x = 0; x < marks.width(); ++x, ++k) {
        const StrokeWindow::Cell cell = window_.get(x0 + x, y0 + y);
        s.wet[k] = cell.wet, s.grid[k] = cell.grid, s.masked[k] = !walk_.open(static_cast<long>(x0 + x), static_cast<long>(y0 + y));
      }
    const HairStir stirring{.travel256 = travel256};
    marks.eachRow([&](std::size_t y) {
      gpu::ScratchArray<Stirred> sums(marks.width());
      stirring.row(s, y, sums.data());
      for (std::size_t x = 0; x < marks.width(); ++x) {
        StrokeWindow::Cell cell;
        if (blurCell(s, x, y, MixingGift{travel256}, RowOfStirs{sums.data()}, cell.wet, cell.grid)) window_.put(x0 + x, y0 + y, cell);
      }
    }, HairStir::kRowsPerChunk);
  }

 private:
  StrokeWindow& window_;
  const HeadWalk& walk_;
  gpu::ScratchArray<std::uint32_t> swept_;  // the number of the visit that last swept the cell
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

// The blur evens the trail out once the mop has left it, by the gifts alone: the hairs stirred it
// while they swept it, at every visit, and a stir here would take as partners the cells of one
// step, more of them the more samples a frame brings.
void fluffyMopBlurImage(const gpu::Dispatch& dispatch) { blurAroundMarks(dispatch, MixingGift{}); }

}  // namespace kernels
