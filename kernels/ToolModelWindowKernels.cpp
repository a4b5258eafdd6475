// The tool-model kernels that finish a stroke step in the working window: the overlay map that
// merges the paint pass's changes into the window, the blur that softens them, and the mask that
// ends the step (and carries the head on). The overlay map and the blur keep off the canvas's
// masked cells, so a masked cell ends the step as it began whatever the paint pass did.

#include <algorithm>
#include <cstring>
#include <vector>

#include "gpu/KernelRuntime.h"
#include "gpu/Parallel.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"

namespace kernels {
namespace {

using namespace tessivarium;

// The blur moves an eighth of the difference in thickness between two neighbours (times the
// wetness of the higher one, as a share of full wetness) from the higher to the lower.
constexpr int kBlurShare = 8;
// Window rows a worker takes at a time in the blur.
constexpr std::size_t kBlurRowsPerChunk = 8;

// The paint that flows from a cell of thickness `from` (wetness `fromWetness`) into its neighbour of
// thickness `to`; negative when it flows the other way. flow(a, b) == -flow(b, a) exactly, so what one
// cell gives its neighbour receives.
TESS_KERNEL_INLINE int flow(int from, int fromWetness, int to, int toWetness) {
  if (from > to) return (from - to) * fromWetness / (kBlurShare * kFullWetness);
  return -((to - from) * toWetness / (kBlurShare * kFullWetness));
}

// A snapshot of the window's wet and grid textures, of the map's marks and of the masked cells,
// taken before the blur changes anything, so every cell reads its neighbours as they were.
struct WindowSnapshot {
  std::size_t width = 0, height = 0;
  std::vector<Texel> wet, grid;
  std::vector<std::uint8_t> marked, masked;  // masked stays empty without a mask

  TESS_KERNEL_INLINE bool nearMark(std::size_t x, std::size_t y) const {
    const std::size_t k = y * width + x;
    return marked[k] || (x > 0 && marked[k - 1]) || (x + 1 < width && marked[k + 1]) || (y > 0 && marked[k - width]) ||
           (y + 1 < height && marked[k + width]);
  }
};

// The blurred state of one cell: its own paint less what flows out, plus what flows in from each
// neighbour, colours and wetness mixed by amount. Only edges that touch a marked cell carry paint,
// and none that touches a masked cell.
TESS_KERNEL_INLINE void blurCell(const WindowSnapshot& s, const gpu::TexelView& wetOut, const gpu::TexelView& gridOut,
                                 std::size_t x, std::size_t y) {
  if (!s.nearMark(x, y)) return;
  const std::size_t k = y * s.width + x;
  const bool withMask = !s.masked.empty();
  if (withMask && s.masked[k]) return;
  const Texel own = s.wet[k];
  const int ownWetness = s.grid[k].r;
  int kept = own.a, in = 0, r = 0, g = 0, b = 0, wetness = 0;
  const auto neighbour = [&](std::size_t q) {
    if (!s.marked[k] && !s.marked[q]) return;
    if (withMask && s.masked[q]) return;
    const int f = flow(s.wet[q].a, s.grid[q].r, own.a, ownWetness);
    if (f < 0) {
      kept += f;
    } else if (f > 0) {
      in += f, r += f * s.wet[q].r, g += f * s.wet[q].g, b += f * s.wet[q].b, wetness += f * s.grid[q].r;
    }
  };
  if (x > 0) neighbour(k - 1);
  if (x + 1 < s.width) neighbour(k + 1);
  if (y > 0) neighbour(k - s.width);
  if (y + 1 < s.height) neighbour(k + s.width);
  if (in == 0 && kept == own.a) return;
  const int total = kept + in;
  Texel cell = s.grid[k];
  if (total == 0) {
    cell.r = 0, cell.a = TOOL_AIR;
    store(wetOut, Texel{}, x, y);
  } else {
    const auto mix = [&](int mine, int theirs) { return static_cast<std::uint8_t>((kept * mine + theirs + total / 2) / total); };
    store(wetOut, Texel{mix(own.r, r), mix(own.g, g), mix(own.b, b), static_cast<std::uint8_t>(total)}, x, y);
    cell.r = quantisedWetness(mix(ownWetness, wetness));
    cell.a = TOOL_FLUID;
  }
  store(gridOut, cell, x, y);
}

// Copies every cell of one head to the other: each thread takes whole rows of some slices.
void carryHead(const gpu::Dispatch& dispatch, const gpu::TexelView& from, const gpu::TexelView& to) {
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

}  // namespace

void toolModelOverlayMap(const gpu::Dispatch& dispatch) {
  const gpu::TexelView map = dispatch.texels(TEXTURE_GRID_READ), grid = dispatch.texels(TEXTURE_GRID_WRITE),
                       changes = dispatch.texels(TEXTURE_WET_READ), wet = dispatch.texels(TEXTURE_WET_WRITE);
  if (!map || !grid || !changes || !wet) return;
  const WindowMask mask(dispatch);
  const gpu::Size limit{std::min({wet.width(), grid.width(), map.width(), changes.width()}),
                        std::min({wet.height(), grid.height(), map.height(), changes.height()}), 1};
  gpu::forEachThread(dispatch, limit, [=](gpu::uint3 p) {
    const Texel changed = load(map, p.x, p.y);
    // A change to a masked cell is not taken, whichever paint pass made it.
    if (changed.b == kStrokeMark && !mask.masked(p.x, p.y)) {
      store(grid, changed, p.x, p.y);
      store(wet, load(changes, p.x, p.y), p.x, p.y);
      return;
    }
    // Outside the map the wet changes texture holds stale paint and is not read; only the mark of an
    // earlier step is cleared.
    Texel current = load(grid, p.x, p.y);
    if (current.b == kStrokeMark) {
      current.b = 0;
      store(grid, current, p.x, p.y);
    }
  });
}

void toolModelBlurImage(const gpu::Dispatch& dispatch) {
  const gpu::TexelView grid = dispatch.texels(TEXTURE_GRID_READ), gridOut = dispatch.texels(TEXTURE_GRID_WRITE),
                       wet = dispatch.texels(TEXTURE_WET_READ), wetOut = dispatch.texels(TEXTURE_WET_WRITE),
                       map = dispatch.texels(TEXTURE_MAP_READ);
  if (!grid || !gridOut || !wet || !wetOut || !map) return;
  const gpu::Size grid2D = dispatch.gridSize();
  const WindowMask mask(dispatch);
  WindowSnapshot s;
  s.width = std::min({grid2D.width, grid.width(), gridOut.width(), wet.width(), wetOut.width(), map.width()});
  s.height = std::min({grid2D.height, grid.height(), gridOut.height(), wet.height(), wetOut.height(), map.height()});
  s.wet.resize(s.width * s.height), s.grid.resize(s.width * s.height), s.marked.resize(s.width * s.height);
  if (mask) s.masked.resize(s.width * s.height);
  // Only rows within reach of a mark are copied and blurred: a stroke step marks a band of the
  // window, not all of it.
  const std::size_t width = s.width, height = s.height;
  std::vector<std::uint8_t> markedRow(height + 4, 0);  // row y at y + 2, two empty rows either side
  const auto eachRow = [height](auto&& body) {
    gpu::parallelFor(0, height, kBlurRowsPerChunk, [&](std::size_t first, std::size_t end) {
      for (std::size_t y = first; y < end; ++y) body(y);
    });
  };
  eachRow([&](std::size_t y) {
    std::uint8_t any = 0;
    for (std::size_t x = 0; x < width; ++x) any |= s.marked[y * width + x] = load(map, x, y).b == kStrokeMark;
    markedRow[y + 2] = any;
  });
  const auto within = [&](std::size_t y, int rows) {
    for (int d = -rows; d <= rows; ++d)
      if (markedRow[static_cast<std::size_t>(static_cast<int>(y) + 2 + d)]) return true;
    return false;
  };
  eachRow([&](std::size_t y) {
    if (!within(y, 2)) return;  // a blurred row reads the rows next to it
    for (std::size_t x = 0; x < width; ++x) s.wet[y * width + x] = load(wet, x, y), s.grid[y * width + x] = load(grid, x, y);
    if (mask)
      for (std::size_t x = 0; x < width; ++x) s.masked[y * width + x] = mask.masked(x, y);
  });
  eachRow([&](std::size_t y) {
    if (!within(y, 1)) return;
    for (std::size_t x = 0; x < width; ++x) blurCell(s, wetOut, gridOut, x, y);
  });
}

void toolModelMask(const gpu::Dispatch& dispatch) {
  // The head passes through unchanged, every cell of it, whatever the window's size.
  carryHead(dispatch, dispatch.texels(TEXTURE_TOOL_READ), dispatch.texels(TEXTURE_TOOL_WRITE));
  // The overlay map and the blur have kept the step off the masked cells already; what is left is
  // to end the step: its marks are cleared.
  const gpu::TexelView grid = dispatch.texels(TEXTURE_GRID_READ), gridOut = dispatch.texels(TEXTURE_GRID_WRITE);
  if (!grid || !gridOut) return;
  gpu::forEachThread(dispatch, gridOut, [=](gpu::uint3 p) {
    Texel cell = load(grid, p.x, p.y);
    if (cell.b != kStrokeMark) return;
    cell.b = 0;
    store(gridOut, cell, p.x, p.y);
  });
}

}  // namespace kernels
