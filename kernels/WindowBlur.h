#pragma once
// The blur of a stroke step's window around the cells its paint pass marked (kernels/README.md,
// "The tool model"), shared by the common blur and the tools' own: each edge between 4-neighbours
// that touches a marked cell, and no cell the canvas's mask covers, carries paint from one cell to
// the other, by a rule the blur gives (its gift), and colour and wetness go with the paint by
// amount. Every cell reads its neighbours as they were before the pass, from a copy of the rows
// within reach of a mark, and writes only itself, so what one cell gives its neighbour receives
// exactly and the result is the same on any number of threads. Also here: the copy of a whole
// head, for the passes that carry it on.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "gpu/Dispatch.h"
#include "gpu/KernelRuntime.h"
#include "gpu/Parallel.h"
#include "gpu/ScratchArray.h"
#include "kernels/PaintModel.h"

namespace kernels {

// Window rows a worker takes at a time in a blur.
inline constexpr std::size_t kBlurRowsPerChunk = 8;

// The cells of a window that its map marks (byte B is kStrokeMark) or holds back (kHeldMark), and
// which rows hold a mark: a stroke step marks a band of the window, not all of it.
class MarkedCells {
 public:
  MarkedCells(const gpu::TexelView& map, std::size_t width, std::size_t height)
      : width_(width), height_(height), marked_(width * height, 0), markedRow_(height + 4, 0) {
    eachRow([&](std::size_t y) {
      std::uint8_t any = 0;
      for (std::size_t x = 0; x < width; ++x) {
        const std::uint8_t b = load(map, x, y).b;
        marked_[y * width + x] = b == kStrokeMark ? kMarked : b == kHeldMark ? kHeld : 0;
        any |= b == kStrokeMark;
      }
      markedRow_[y + 2] = any;
    });
  }

  // None marked yet, in a window of `width` x `height` (see mark()).
  MarkedCells(std::size_t width, std::size_t height)
      : width_(width), height_(height), marked_(width * height, 0), markedRow_(height + 4, 0) {}

  std::size_t width() const { return width_; }
  std::size_t height() const { return height_; }
  void mark(std::size_t x, std::size_t y) { marked_[y * width_ + x] = kMarked, markedRow_[y + 2] = 1; }
  TESS_KERNEL_INLINE bool marked(std::size_t k) const { return marked_[k] == kMarked; }
  // A cell the step held back from its blur (kHeldMark): the head may still change it, and it is
  // levelled in a later step.
  TESS_KERNEL_INLINE bool held(std::size_t k) const { return marked_[k] == kHeld; }
  // The cell or one of its 4-neighbours is marked.
  TESS_KERNEL_INLINE bool nearMark(std::size_t x, std::size_t y) const {
    const std::size_t k = y * width_ + x;
    return marked(k) || (x > 0 && marked(k - 1)) || (x + 1 < width_ && marked(k + 1)) || (y > 0 && marked(k - width_)) ||
           (y + 1 < height_ && marked(k + width_));
  }
  // A row at most `rows` (0 to 2) rows away from row y holds a mark.
  bool rowNear(std::size_t y, int rows) const {
    for (int d = -rows; d <= rows; ++d)
      if (markedRow_[static_cast<std::size_t>(static_cast<int>(y) + 2 + d)]) return true;
    return false;
  }
  // body(y) for every row, the rows spread over the worker threads `rowsPerChunk` at a time.
  template <class Body>
  void eachRow(Body&& body, std::size_t rowsPerChunk = kBlurRowsPerChunk) const {
    gpu::parallelFor(0, height_, rowsPerChunk, [&](std::size_t first, std::size_t end) {
      for (std::size_t y = first; y < end; ++y) body(y);
    });
  }

 private:
  static constexpr std::uint8_t kMarked = 1, kHeld = 2;
  std::size_t width_, height_;
  gpu::ScratchArray<std::uint8_t> marked_;  // kMarked, kHeld or 0
  std::vector<std::uint8_t> markedRow_;  // row y at y + 2, two empty rows either side
};

// The window's wet and grid texels as they were before the blur, and which cells are masked, in the
// rows within reach of a mark.
struct WindowSnapshot {
  WindowSnapshot(const MarkedCells& cells, bool withMask)
      : marks(cells), wet(cells.width() * cells.height()), grid(cells.width() * cells.height()),
        masked(withMask ? cells.width() * cells.height() : 0) {}
  const MarkedCells& marks;
  gpu::ScratchArray<Texel> wet, grid;
  gpu::ScratchArray<std::uint8_t> masked;  // empty without a mask
};

// What a cell trades in a stir: the shares summed, and the shares times the colour and wetness of
// the cells it trades with.
struct Stirred {
  std::int64_t share = 0, r = 0, g = 0, b = 0, wetness = 0;
};

// No stirring: the plain blurs, whose cells trade paint only by their gift.
struct NoStir {
  static constexpr int kUnit = 1;
  static constexpr std::size_t kRowsPerChunk = kBlurRowsPerChunk;
  TESS_KERNEL_INLINE Stirred operator()(const WindowSnapshot&, std::size_t, std::size_t) const { return {}; }
};

// The blurred state of one cell: its own paint less what it gives, plus what each neighbour gives
// it, colours and wetness mixed by amount. gift(from, fromWetness, to, toWetness) is the paint a
// cell of thickness `from` gives a neighbour of thickness `to`: never negative, and at most a
// quarter of `from`, so no cell gives more than it holds and none holds more than 255.
// A stir may add trades of equal amounts both ways with cells further off: stir(s, x, y) sums the
// cell's trades (Stirred), each share being what the two cells trade in 1/Stir::kUnit bytes.
// Equal amounts both ways move no paint; only colour and wetness mix. What a cell stirs away, with
// what its gifts take, is at most what it holds. A stir's rows cost more than a plain blur's, so
// it spreads them over the threads in chunks of Stir::kRowsPerChunk.
// False when the cell is left as it was; otherwise `wet` and `grid` are its new texels.
template <class Gift, class Stir = NoStir>
TESS_KERNEL_INLINE bool blurCell(const WindowSnapshot& s, std::size_t x, std::size_t y, const Gift& gift, const Stir& stir,
                                 Texel& wetOut, Texel& gridOut) {
  const MarkedCells& marks = s.marks;
  if (!marks.nearMark(x, y)) return false;
  const std::size_t width = marks.width(), k = y * width + x;
  const bool withMask = !s.masked.empty();
  if (withMask && s.masked[k]) return false;
  const Texel own = s.wet[k];
  const int ownWetness = s.grid[k].r;
  int kept = own.a, in = 0, r = 0, g = 0, b = 0, wetness = 0;
  const auto neighbour = [&](std::size_t q) {
    if (!marks.marked(k) && !marks.marked(q)) return;
    // An edge to a held cell is left to the step that levels that cell, so that it is carried once
    // however many steps a stroke takes, as in a stroke of one step.
    if (marks.held(k) || marks.held(q)) return;
    if (withMask && s.masked[q]) return;
    const Texel& other = s.wet[q];
    const int otherWetness = s.grid[q].r;
    kept -= gift(own.a, ownWetness, other.a, otherWetness);
    const int f = gift(other.a, otherWetness, own.a, ownWetness);
    in += f, r += f * other.r, g += f * other.g, b += f * other.b, wetness += f * otherWetness;
  };
  if (x > 0) neighbour(k - 1);
  if (x + 1 < width) neighbour(k + 1);
  if (y > 0) neighbour(k - width);
  if (y + 1 < marks.height()) neighbour(k + width);
  const Stirred stirred = stir(s, x, y);
  if (in == 0 && kept == own.a && stirred.share == 0) return false;
  const int total = kept + in;
  gridOut = s.grid[k];
  if (total == 0) {
    gridOut.r = 0, gridOut.a = tessivarium::TOOL_AIR;
    wetOut = Texel{};
  } else {
    // The plain blurs keep to int; a stir's fine shares need 64 bits.
    using Amount = std::conditional_t<Stir::kUnit == 1, int, std::int64_t>;
    constexpr Amount unit = Stir::kUnit;
    const Amount keptShare = kept * unit - static_cast<Amount>(stirred.share), totalShare = total * unit;
    const auto mix = [&](int mine, int theirs, std::int64_t stirredIn) {
      return static_cast<std::uint8_t>((keptShare * mine + theirs * unit + static_cast<Amount>(stirredIn) + totalShare / 2) /
                                       totalShare);
    };
    wetOut = {mix(own.r, r, stirred.r), mix(own.g, g, stirred.g), mix(own.b, b, stirred.b), static_cast<std::uint8_t>(total)};
    gridOut.r = quantisedWetness(mix(ownWetness, wetness, stirred.wetness));
    gridOut.a = tessivarium::TOOL_FLUID;
  }
  return true;
}

// A blur pass: in place on grid0 and wet0 (slots 0/1 and 16/17) around the marks of the map at
// TEXTURE_MAP_READ, by `gift` (and `stir`), kept off the cells of the mask at TEXTURE_MASK_IMAGE.
// Cells away from the marks, and masked cells, are not written. A stir trades only between marked
// cells, whose rows the copy holds.
template <class Gift, class Stir = NoStir>
void blurAroundMarks(const gpu::Dispatch& dispatch, const Gift& gift, const Stir& stir = {}) {
  using namespace tessivarium;
  const gpu::TexelView grid = dispatch.texels(TEXTURE_GRID_READ), gridOut = dispatch.texels(TEXTURE_GRID_WRITE),
                       wet = dispatch.texels(TEXTURE_WET_READ), wetOut = dispatch.texels(TEXTURE_WET_WRITE),
                       map = dispatch.texels(TEXTURE_MAP_READ);
  if (!grid || !gridOut || !wet || !wetOut || !map) return;
  const gpu::Size grid2D = dispatch.gridSize();
  const MarkedCells marks(map, std::min({grid2D.width, grid.width(), gridOut.width(), wet.width(), wetOut.width(), map.width()}),
                          std::min({grid2D.height, grid.height(), gridOut.height(), wet.height(), wetOut.height(), map.height()}));
  const WindowMask mask(dispatch);
  WindowSnapshot s(marks, static_cast<bool>(mask));
  const std::size_t width = marks.width();
  marks.eachRow([&](std::size_t y) {
    if (!marks.rowNear(y, 2)) return;  // a blurred row reads the rows next to it
    for (std::size_t x = 0; x < width; ++x) s.wet[y * width + x] = load(wet, x, y), s.grid[y * width + x] = load(grid, x, y);
    if (mask)
      for (std::size_t x = 0; x < width; ++x) s.masked[y * width + x] = mask.masked(x, y);
  });
  marks.eachRow([&](std::size_t y) {
    if (!marks.rowNear(y, 1)) return;
    for (std::size_t x = 0; x < width; ++x) {
      Texel w, g;
      if (blurCell(s, x, y, gift, stir, w, g)) store(wetOut, w, x, y), store(gridOut, g, x, y);
    }
  }, Stir::kRowsPerChunk);
}

// The gift of the wet blurs: the higher of two cells gives the lower a share of the difference in
// thickness, times its own wetness over full wetness; one in `kShare` (at least 4) of it.
template <int kShare>
struct LevellingGift {
  static_assert(kShare >= 4);
  TESS_KERNEL_INLINE int operator()(int from, int fromWetness, int to, int) const {
    return from > to ? (from - to) * fromWetness / (kShare * kFullWetness) : 0;
  }
};

// Copies every cell of one head to the other: each thread takes whole rows of some slices.
inline void carryHead(const gpu::Dispatch& dispatch, const gpu::TexelView& from, const gpu::TexelView& to) {
  if (!from || !to) return;
  const std::size_t width = std::min(from.width(), to.width()), height = std::min(from.height(), to.height()),
                    depth = std::min(from.depth(), to.depth());
  const gpu::Size grid = dispatch.gridSize();
  const std::size_t strideZ = std::min(grid.width, depth), strideY = std::min(grid.height, height);
  const bool sameFormat = from.pixelFormat() == to.pixelFormat();
  gpu::forEachThread(dispatch, gpu::Size{strideZ, strideY, 1}, [=](gpu::uint3 p) {
    for (std::size_t z = p.x; z < depth; z += strideZ) {
      for (std::size_t y = p.y; y < height; y += strideY) {
        if (sameFormat) {
          std::memcpy(to.texel(0, y, z), from.texel(0, y, z), width * from.bytesPerPixel());
        } else {
          for (std::size_t x = 0; x < width; ++x) store(to, load(from, x, y, z), x, y, z);
        }
      }
    }
  });
}

}  // namespace kernels
