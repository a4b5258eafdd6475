// The sander's kernels: the paint pass grinds the working dry paint down under the head and marks
// the sanded cells in the step's map; the blur then levels the sanded cells, so that none stands
// more than the grit's thickness above its lowest neighbour. Both only ever take dry paint away:
// sanding turns paint into dust, which is not kept.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "gpu/ScratchArray.h"
#include "kernels/HeadStroke.h"
#include "kernels/KernelList.h"
#include "kernels/WindowBlur.h"

namespace kernels {
namespace {

using namespace tessivarium;

// Bytes of press that grind one byte of dry paint off for each cell the pad travels.
constexpr int kGritPress = 8;
// How far a sanded cell may stand above its lowest neighbour when no thickness is bound.
constexpr float kDefaultThickness = 7.0f;

// `texel`'s paint `thickness` bytes thick: no paint at all at 0.
TESS_KERNEL_INLINE Texel withThickness(Texel texel, int thickness) {
  if (thickness <= 0) return {};
  texel.a = static_cast<std::uint8_t>(thickness);
  return texel;
}

// The lowest dry thickness among the 4-neighbours of cell (x, y) inside a window of width x height
// (`at(x, y)` the thickness), and the cell's own when it has none lower.
template <class At>
TESS_KERNEL_INLINE int lowestAround(std::size_t x, std::size_t y, std::size_t width, std::size_t height, At&& at) {
  int lowest = at(x, y);
  if (x > 0) lowest = std::min(lowest, at(x - 1, y));
  if (x + 1 < width) lowest = std::min(lowest, at(x + 1, y));
  if (y > 0) lowest = std::min(lowest, at(x, y - 1));
  if (y + 1 < height) lowest = std::min(lowest, at(x, y + 1));
  return lowest;
}

// The pad levels what it grinds as it goes: after the meetings at each cell corner it comes to, no
// cell it swept there is left standing more than the grit's thickness above its lowest neighbour.
// Done at every corner, whatever dispatch brings it, the levelling does not depend on how the
// samples fall into steps; the cells under the pad at the step's last corner are then marked, and
// the blur finds them level already.
class LevellingPad {
 public:
  LevellingPad(const gpu::TexelView& dry, std::size_t width, std::size_t height, const HeadWalk& walk)
      : dry_(dry), width_(width), height_(height), walk_(walk), visit_(width * height, 0) {}

  // From the column that owns the cell, during a corner's meetings.
  void sweep(std::size_t cx, std::size_t cy) { visit_[cy * width_ + cx] = visits_; }

  // After a corner's meetings, on the calling thread: grinds the cells swept there down, all
  // reading their neighbours as they were, until none stands too high.
  void level() {
    cells_.clear();
    walk_.eachCellMet([&](std::size_t cx, std::size_t cy) {
      if (visit_[cy * width_ + cx] == visits_) cells_.push_back({cx, cy, 0});
    });
    const auto at = [&](std::size_t x, std::size_t y) { return int{load(dry_, x, y).a}; };
    for (bool lowered = true; lowered;) {
      lowered = false;
      for (Cell& c : cells_) c.level = std::min(at(c.x, c.y), lowestAround(c.x, c.y, width_, height_, at) + kStep);
      for (const Cell& c : cells_) {
        const Texel paint = load(dry_, c.x, c.y);
        if (c.level >= paint.a) continue;
        store(dry_, withThickness(paint, c.level), c.x, c.y);
        lowered = true;
      }
    }
    ++visits_;
  }

  // Marks in `map` the cells swept at the last corner.
  void markLast(const gpu::TexelView& map) const {
    for (std::size_t k = 0; k < visit_.size(); ++k)
      if (visits_ > 1 && visit_[k] == visits_ - 1) store(map, Texel{0, 0, kStrokeMark, 0}, k % width_, k / width_);
  }

 private:
  static constexpr int kStep = static_cast<int>(kDefaultThickness);
  struct Cell {
    std::size_t x, y;
    int level;
  };

  gpu::TexelView dry_;
  std::size_t width_, height_;
  const HeadWalk& walk_;
  gpu::ScratchArray<std::uint32_t> visit_;  // the number of the corner at which the pad last swept the cell
  std::uint32_t visits_ = 1;
  std::vector<Cell> cells_;
};

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
  // The pad walks its path a cell at a time and grinds by the distance, its fractions of a byte
  // carried from meeting to meeting, so dense samples grind no more than sparse ones.
  LevellingPad pad(dry, width, height, walk);
  walk.eachMeeting(
      width, height,
      [&](std::size_t k, int rise, int press, std::size_t cx, std::size_t cy) {
        if (!reaches(rise, press, 0)) return;
        pad.sweep(cx, cy);
        const int ground = walk.head().carriedLay(k, std::max(1, press / kGritPress) * walk.travel256());
        const Texel paint = load(dry, cx, cy);
        if (paint.a > 0 && ground > 0) store(dry, withThickness(paint, paint.a - ground), cx, cy);
      },
      [&] { pad.level(); });
  if (map) pad.markLast(map);
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
      const auto was = [&](std::size_t qx, std::size_t qy) { return int{before[qy * width + qx]}; };
      const int lowest = lowestAround(x, y, width, height, was);
      if (before[k] > lowest + step) store(dryOut, withThickness(load(dry, x, y), lowest + step), x, y);
    }
  });
}

}  // namespace kernels
