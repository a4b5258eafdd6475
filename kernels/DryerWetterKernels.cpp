// The dryer's and the wetter's kernels. Their init kernels render the current layer's picture from
// the copy the tool put aside, darkened where the paint is wet; their paint kernels turn wet paint
// into dry paint (dryer) or dry paint into wet paint (wetter) near the stroke's samples, in place in
// the working window, and reshade the picture's pixels over the cells that changed.
//
// Both run over the whole layer picture, one thread per picture pixel. A pixel stands for the layer
// cells it covers (several on a layer with more cells than pixels): it owns them and no other thread
// touches them, so the results do not depend on the thread order. The paint kernels skip every
// picture row and column whose cells the samples cannot reach, so nearly all of their threads do
// nothing.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "gpu/KernelRuntime.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"
#include "kernels/Travel.h"

namespace kernels {
namespace {

using namespace tessivarium;

// How far the fan's air reaches from its path, in cells, and how many thickness bytes it turns on
// the path per unit of force for every kFanTravel cells it travels; the amount falls off linearly
// to none at the reach.
constexpr float kReach = 24;
constexpr float kBytesPerForce = 32, kFanTravel = 8;
constexpr float kMaxForce = 4;
// The picture shows a cell's wetness in this many steps, each darkening it by one part in
// kShadeParts: fully wet paint shows at two thirds of its colour.
constexpr int kWetLevels = 4;
constexpr int kShadeParts = 12;
constexpr int kMaxThickness = static_cast<int>(MAX_DEPTH);

// A layer cell's three texels, as the kernels change them together.
struct Cell {
  Texel grid, wet, dry;
};

// How wet a cell shows, 0 to kWetLevels: the wet share of its paint times the wet paint's wetness.
// A cell without wet paint shows 0.
TESS_KERNEL_INLINE int wetLevel(const Cell& cell) {
  if (cell.wet.a == 0) return 0;
  const int share = kWetLevels * cell.wet.a * cell.grid.r;
  const int whole = (cell.wet.a + cell.dry.a) * kFullWetness;
  return std::min(kWetLevels, (2 * share + whole) / (2 * whole));
}

// A picture byte darkened for a wet level, and one darkened for `from` shaded again for `to`.
TESS_KERNEL_INLINE std::uint8_t shaded(std::uint8_t colour, int level) {
  return static_cast<std::uint8_t>((colour * (kShadeParts - level) + kShadeParts / 2) / kShadeParts);
}
TESS_KERNEL_INLINE std::uint8_t reshaded(std::uint8_t colour, int from, int to) {
  const int was = kShadeParts - from, now = kShadeParts - to;
  return static_cast<std::uint8_t>(std::min(255, (2 * colour * now + was) / (2 * was)));
}
TESS_KERNEL_INLINE Texel reshadedPixel(Texel pixel, int from, int to) {
  return {reshaded(pixel.r, from, to), reshaded(pixel.g, from, to), reshaded(pixel.b, from, to), pixel.a};
}

// Which layer cells a picture pixel stands for along one axis, where the layer has `cells` and the
// picture `pixels`: pixel p owns the cells from ceil(p x cells / pixels) up to the next pixel's
// first, so each cell has exactly one owner; a pixel shows the wetness of its first cell. (On a
// layer with fewer cells than pixels some pixels own none.) All in integers, so both kernels agree.
struct Axis {
  std::uint64_t cells, pixels;
  std::uint64_t first(std::uint64_t p) const { return (p * cells + pixels - 1) / pixels; }
  std::uint64_t owner(std::uint64_t c) const { return c * pixels / cells; }
};

// A place of the fan's path as the paint kernels use it: where it is, in window cells, and how
// many bytes it turns at its centre.
struct Gust {
  float x, y, strength;
};

// The fan blows along its path by the distance travelled (kernels/Travel.h): from each cell corner
// it comes to (the step before's last sample first, when bound), as much as the way to it, so that
// dense and sparse samples of one path turn the same bytes. A sample with a force that is not a
// number turns nothing.
std::vector<Gust> gustsOf(const gpu::Dispatch& dispatch) {
  const CellVisits visits = cellVisits(samplesArgument(dispatch), pathStartArgument(dispatch));
  const std::vector<float> travels = travelsOf(visits);
  std::vector<Gust> gusts;
  for (std::size_t i = 0; i < visits.samples.size(); ++i) {
    const Sample& s = visits.samples[i];
    if (!std::isfinite(s.force)) continue;
    const float strength = std::clamp(s.force, 0.0f, kMaxForce) * kBytesPerForce * travels[i] / kFanTravel;
    if (strength > 0) gusts.push_back({s.x, s.y, strength});
  }
  return gusts;
}

// The bytes one gust turns in a window cell whose centre lies (dx, dy) from it; 0 out of reach.
TESS_KERNEL_INLINE float doseOf(const Gust& gust, float dx, float dy) {
  const float d = std::sqrt(dx * dx + dy * dy);
  return d < kReach ? gust.strength * (1.0f - d / kReach) : 0.0f;
}

// Adds to dose[x - first] the bytes the gusts turn in the window cells (x, y), first <= x < end,
// taken at each cell's centre, gust by gust over the cells it reaches.
void addDoses(const std::vector<Gust>& gusts, std::int64_t y, std::int64_t first, std::int64_t end, float* dose) {
  const float cy = static_cast<float>(y) + 0.5f;
  for (const Gust& g : gusts) {
    const float dy = cy - g.y;
    if (std::abs(dy) >= kReach) continue;
    const float half = std::sqrt(kReach * kReach - dy * dy);
    // Compared as floats first: a gust far off the window converts to no integer.
    const float low = std::floor(g.x - half - 0.5f), high = std::ceil(g.x + half + 0.5f);
    if (!(high > static_cast<float>(first) && low < static_cast<float>(end))) continue;
    const std::int64_t from = low > static_cast<float>(first) ? static_cast<std::int64_t>(low) : first;
    const std::int64_t to = high < static_cast<float>(end) ? static_cast<std::int64_t>(high) : end;
    for (std::int64_t x = from; x < to; ++x) dose[x - first] += doseOf(g, static_cast<float>(x) + 0.5f - g.x, dy);
  }
}

// A half-open range of layer cells along one axis.
struct Span {
  std::uint64_t begin = 0, end = 0;
  bool empty() const { return begin >= end; }
  Span meet(Span other) const { return {std::max(begin, other.begin), std::min(end, other.end)}; }
};

// The dryer's move: up to `dose` bytes of the cell's wet paint settle on its dry paint, as drying
// the layer settles them (the wet colour over the dry by its coverage, the thicknesses added), as
// far as the dry texel has room. A cell left without wet paint is dry: no wetness, and air.
bool dryCell(Cell& cell, int dose) {
  const int moved = std::min({dose, static_cast<int>(cell.wet.a), kMaxThickness - static_cast<int>(cell.dry.a)});
  if (moved <= 0) return false;
  Texel settled = cell.dry.a == 0 ? cell.wet
                                  : over({cell.wet.r, cell.wet.g, cell.wet.b, static_cast<std::uint8_t>(moved)}, cell.dry);
  settled.a = static_cast<std::uint8_t>(cell.dry.a + moved);
  cell.dry = settled;
  cell.wet.a = static_cast<std::uint8_t>(cell.wet.a - moved);
  if (cell.wet.a == 0) {
    cell.wet = {};
    cell.grid.r = 0;
    if (cell.grid.a == TOOL_FLUID) cell.grid.a = TOOL_AIR;
  }
  return true;
}

// The wetter's move: up to `dose` bytes of the cell's dry paint rise into its wet paint, as far as
// the wet texel has room. Colours mix by amount; the paint raised is fully wet, so the wetness
// mixes towards 252, and the cell is fluid. A dry texel left without paint is cleared.
bool wetCell(Cell& cell, int dose) {
  const int moved = std::min({dose, static_cast<int>(cell.dry.a), kMaxThickness - static_cast<int>(cell.wet.a)});
  if (moved <= 0) return false;
  const int had = cell.wet.a, total = had + moved;
  const auto mix = [&](int kept, int raised) {
    return static_cast<std::uint8_t>((kept * had + raised * moved + total / 2) / total);
  };
  cell.wet = {mix(cell.wet.r, cell.dry.r), mix(cell.wet.g, cell.dry.g), mix(cell.wet.b, cell.dry.b),
              static_cast<std::uint8_t>(total)};
  cell.grid.r = quantisedWetness(mix(cell.grid.r, kFullWetness));
  cell.grid.a = TOOL_FLUID;
  cell.dry.a = static_cast<std::uint8_t>(cell.dry.a - moved);
  if (cell.dry.a == 0) cell.dry = {};
  return true;
}

// The init kernels: every picture pixel becomes the put-aside copy's pixel darkened by the wet
// level of the layer cell it shows.
void renderByWetness(const gpu::Dispatch& dispatch) {
  const gpu::TexelView grid = dispatch.texels(TEXTURE_GRID_READ), wet = dispatch.texels(TEXTURE_WET_READ),
                       dry = dispatch.texels(TEXTURE_DRY_READ), copy = dispatch.texels(TEXTURE_COLOR_IMAGE_READ),
                       picture = dispatch.texels(TEXTURE_COLOR_IMAGE_WRITE);
  if (!picture) return;
  const Axis ax{grid.width(), picture.width()}, ay{grid.height(), picture.height()};
  gpu::forEachRow(dispatch, picture, [=](gpu::uint3 first, std::size_t count) {
    const std::uint64_t cy = ay.first(first.y);
    for (std::uint64_t px = first.x; px < first.x + count; ++px) {
      const std::uint64_t cx = ax.first(px);
      // Beyond the layer's cells (or without them) the loads give nothing: the copy unshaded.
      const int level = wetLevel({load(grid, cx, cy), load(wet, cx, cy), load(dry, cx, cy)});
      const Texel c = load(copy, px, first.y);
      store(picture, {shaded(c.r, level), shaded(c.g, level), shaded(c.b, level), c.a}, px, first.y);
    }
  });
}

// The paint kernels: `move` changes each window cell the samples reach by the bytes they turn
// there, in place in the working grid, wet and dry textures; a pixel whose shown cell changed its
// wet level is reshaded in place. The grid spans the layer picture; a pixel stands for layer cells
// (by the artwork's scale at BUFFER_SCALE, cells per pixel, 1 when absent), which are window cells
// less the window's offset.
template <class Move>
void changeNearSamples(const gpu::Dispatch& dispatch, Move move) {
  const gpu::TexelView grid = dispatch.texels(TEXTURE_GRID_WRITE), wet = dispatch.texels(TEXTURE_WET_WRITE),
                       dry = dispatch.texels(TEXTURE_DRY_WRITE), picture = dispatch.texels(TEXTURE_COLOR_IMAGE_WRITE);
  if (!grid || !wet || !dry || !picture) return;
  const std::vector<Gust> gusts = gustsOf(dispatch);
  // A cell takes the whole bytes of its dose, rounded from a fraction of its own (startingFraction),
  // so that a slow stroke's many small doses add up to what one large one turns.
  const std::uint32_t seed = samplesSeed(samplesArgument(dispatch));
  const float scale = floatArgument(dispatch, BUFFER_SCALE, 1.0f);
  if (gusts.empty() || !(scale > 0) || !std::isfinite(scale)) return;
  // The layer's cells as its data textures have them: the picture's sides times the scale.
  const Axis ax{static_cast<std::uint64_t>(static_cast<double>(picture.width()) * scale), picture.width()};
  const Axis ay{static_cast<std::uint64_t>(static_cast<double>(picture.height()) * scale), picture.height()};
  if (ax.cells == 0 || ay.cells == 0) return;

  // The layer cells the gusts reach: their box widened by the reach, within the window and the layer.
  const gpu::uint3 offset = offsetArgument(dispatch);
  float x0 = gusts[0].x, x1 = x0, y0 = gusts[0].y, y1 = y0;
  for (const Gust& g : gusts) x0 = std::min(x0, g.x), x1 = std::max(x1, g.x), y0 = std::min(y0, g.y), y1 = std::max(y1, g.y);
  const auto reached = [](float low, float high, std::uint64_t origin, std::uint64_t window, std::uint64_t layer) {
    const double from = std::max(0.0, std::floor(double{low} - kReach));
    const double to = std::min(static_cast<double>(window), std::ceil(double{high} + kReach));
    if (!(from < to)) return Span{};
    return Span{origin + static_cast<std::uint64_t>(from), origin + static_cast<std::uint64_t>(to)}.meet({0, layer});
  };
  const std::size_t windowWidth = std::min({grid.width(), wet.width(), dry.width()});
  const std::size_t windowHeight = std::min({grid.height(), wet.height(), dry.height()});
  const Span columns = reached(x0, x1, offset.x, windowWidth, ax.cells);
  const Span rows = reached(y0, y1, offset.y, windowHeight, ay.cells);
  if (columns.empty() || rows.empty()) return;
  // The pixels that own those cells.
  const std::uint64_t firstColumn = ax.owner(columns.begin), lastColumn = ax.owner(columns.end - 1);
  const std::uint64_t firstRow = ay.owner(rows.begin), lastRow = ay.owner(rows.end - 1);

  // A row task owns the cells of its pixels: their doses row by row, and the wet level each
  // pixel's shown cell had before and after.
  struct Scratch {
    std::vector<Gust> near;
    std::vector<float> dose;
    std::vector<int> before, after;
  };
  gpu::forEachRow(dispatch, picture, [=, scratch = Scratch()](gpu::uint3 first, std::size_t count) mutable {
    const std::uint64_t py = first.y;
    if (py < firstRow || py > lastRow) return;
    const Span cellRows = Span{ay.first(py), ay.first(py + 1)}.meet(rows);
    const std::uint64_t begin = std::max<std::uint64_t>(first.x, firstColumn);
    const std::uint64_t end = std::min<std::uint64_t>(first.x + count, lastColumn + 1);
    if (cellRows.empty() || begin >= end) return;
    const Span cellColumns = Span{ax.first(begin), ax.first(end)}.meet(columns);
    // Only the gusts that reach these rows.
    const float top = static_cast<float>(cellRows.begin - offset.y), bottom = static_cast<float>(cellRows.end - offset.y);
    scratch.near.clear();
    for (const Gust& g : gusts)
      if (g.y > top - kReach && g.y < bottom + kReach) scratch.near.push_back(g);
    if (scratch.near.empty() || cellColumns.empty()) return;
    const std::uint64_t shownY = ay.first(py);
    scratch.before.assign(end - begin, 0);
    scratch.after.assign(end - begin, 0);
    const auto wx0 = static_cast<std::int64_t>(cellColumns.begin - offset.x);
    const auto wx1 = static_cast<std::int64_t>(cellColumns.end - offset.x);
    for (std::uint64_t cy = cellRows.begin; cy < cellRows.end; ++cy) {
      const std::uint64_t wy = cy - offset.y;
      scratch.dose.assign(static_cast<std::size_t>(wx1 - wx0), 0.0f);
      addDoses(scratch.near, static_cast<std::int64_t>(wy), wx0, wx1, scratch.dose.data());
      for (std::int64_t wx = wx0; wx < wx1; ++wx) {
        const std::uint64_t cx = static_cast<std::uint64_t>(wx) + offset.x, px = ax.owner(cx);
        const std::uint32_t rowSeed = seed ^ static_cast<std::uint32_t>(cy) * 0x85ebca6bu;
        const float start = static_cast<float>(startingFraction(rowSeed, cx)) / 256.0f;
        const int dose = static_cast<int>(scratch.dose[static_cast<std::size_t>(wx - wx0)] + start);
        if (dose == 0) continue;
        const auto x = static_cast<std::size_t>(wx), y = static_cast<std::size_t>(wy);
        Cell cell{load(grid, x, y), load(wet, x, y), load(dry, x, y)};
        const bool shown = cy == shownY && cx == ax.first(px);
        if (shown) scratch.before[px - begin] = wetLevel(cell);
        if (move(cell, dose)) store(grid, cell.grid, x, y), store(wet, cell.wet, x, y), store(dry, cell.dry, x, y);
        if (shown) scratch.after[px - begin] = wetLevel(cell);
      }
    }
    for (std::uint64_t px = begin; px < end; ++px) {
      const int from = scratch.before[px - begin], to = scratch.after[px - begin];
      if (from != to) store(picture, reshadedPixel(load(picture, px, py), from, to), px, py);
    }
  });
}

}  // namespace

void dryerInit(const gpu::Dispatch& dispatch) { renderByWetness(dispatch); }
void dryerPaint(const gpu::Dispatch& dispatch) { changeNearSamples(dispatch, dryCell); }
void wetterInit(const gpu::Dispatch& dispatch) { renderByWetness(dispatch); }
void wetterPaint(const gpu::Dispatch& dispatch) { changeNearSamples(dispatch, wetCell); }

}  // namespace kernels
