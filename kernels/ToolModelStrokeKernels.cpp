// The tool-model kernels that move paint between the head and the working window: the brush and
// knife paints of a stroke step, and the pickups that load a head with the paint under one sample.
//
// A paint pass walks the samples in order: each sample meets the paint the samples before it left,
// on the canvas and on the head. Within a sample every window cell is met by one head column only,
// so the columns work in parallel and the result does not depend on the thread count. It costs
// samples x head columns; the depth of a column is looked at once per dispatch, and then only the
// cells that change. What the head and the window lose and gain is counted in whole thickness
// bytes, so paint is conserved exactly up to the 255 ceiling.

#include <algorithm>
#include <cmath>
#include <vector>

#include "gpu/KernelRuntime.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"

namespace kernels {
namespace {

using namespace tessivarium;

enum class Tool { Brush, Knife, WideBrush };

// How deep (in thickness bytes) a force of 1 presses an upright tool past its lowest point.
constexpr float kPressBytes = 24;
constexpr float kMaxForce = 4;
// The most paint cells a knife's blade carries, and how high over the surface it rides unpressed.
constexpr int kKnifeHold = 16;
constexpr int kKnifeLayer = 12;
constexpr int kFullWet = kFullWetness;
// The share of its load a brush lays at each sample it touches the canvas with, one in so many.
constexpr int kBrushShare = 16;

// The press of a sample: its force, less when the tool is tilted (the altitude arrives already
// lowered by the tool). A broken value presses not at all.
int pressOf(const Sample& s) {
  const float force = std::isfinite(s.force) ? std::clamp(s.force, 0.0f, kMaxForce) : 0.0f;
  const float altitude = std::isfinite(s.altitude) ? std::clamp(s.altitude, 0.0f, 1.5707964f) : 0.0f;
  return static_cast<int>(std::lround(force * kPressBytes * (1.0f + std::sin(altitude)) / 2.0f));
}

// The working window of a stroke step: it reads the cells of grid0 and wet0 and writes its changes
// into grid1 and wet1, marked; once a cell is changed its state lives in grid1 and wet1.
class StrokeWindow {
 public:
  struct Cell {
    Texel wet, grid;
  };

  explicit StrokeWindow(const gpu::Dispatch& dispatch)
      : grid0_(dispatch.texels(TEXTURE_GRID_READ)), grid1_(dispatch.texels(TEXTURE_GRID_WRITE)),
        wet0_(dispatch.texels(TEXTURE_WET_READ)), wet1_(dispatch.texels(TEXTURE_WET_WRITE)) {
    if (!grid0_ || !grid1_ || !wet0_ || !wet1_) return;
    const gpu::Size grid = dispatch.gridSize();
    width_ = std::min({grid.width, grid0_.width(), grid1_.width(), wet0_.width(), wet1_.width()});
    height_ = std::min({grid.height, grid0_.height(), grid1_.height(), wet0_.height(), wet1_.height()});
    changed_.assign(width_ * height_, 0);
  }

  std::size_t width() const { return width_; }
  std::size_t height() const { return height_; }

  Cell get(std::size_t x, std::size_t y) const {
    if (changed_[y * width_ + x]) return {load(wet1_, x, y), load(grid1_, x, y)};
    return {load(wet0_, x, y), load(grid0_, x, y)};
  }

  void put(std::size_t x, std::size_t y, Cell cell) {
    cell.grid.b = kStrokeMark;
    store(wet1_, cell.wet, x, y);
    store(grid1_, cell.grid, x, y);
    changed_[y * width_ + x] = 1;
  }

 private:
  gpu::TexelView grid0_, grid1_, wet0_, wet1_;
  std::size_t width_ = 0, height_ = 0;
  std::vector<std::uint8_t> changed_;
};

// Paint taken off a head column: its amount and the sums of its colour and wetness.
struct PaintSum {
  int amount = 0, r = 0, g = 0, b = 0, wetness = 0;
};

// The head during a paint pass: its columns as read from slot 9, every change written to slot 10.
// Cells of a column at or above `unchanged` still hold what slot 9 holds; below it, slot 10 has
// the current state (the pass wrote each of them).
class StrokeHead {
 public:
  StrokeHead(const gpu::TexelView& read, const gpu::TexelView& write, std::vector<HeadColumn> columns, std::size_t width)
      : read_(read), write_(write), columns_(std::move(columns)), width_(width), unchanged_(columns_.size()) {
    for (std::size_t k = 0; k < columns_.size(); ++k) unchanged_[k] = columns_[k].bottom();
  }

  HeadColumn& column(std::size_t k) { return columns_[k]; }

  // The kind byte of the column's lowest paint cell.
  std::uint8_t bottomWetness(std::size_t k) const { return cellAt(k, columns_[k].bottom()).a; }

  // Takes `count` cells off the bottom of column k (their place becomes air).
  PaintSum take(std::size_t k, int count) {
    HeadColumn& column = columns_[k];
    PaintSum sum;
    sum.amount = count;
    for (int z = column.bottom(); z < column.bottom() + count; ++z) {
      const Texel cell = cellAt(k, z);
      sum.r += cell.r, sum.g += cell.g, sum.b += cell.b, sum.wetness += cell.a;
      store(write_, Texel{}, k % width_, k / width_, static_cast<std::size_t>(z));
    }
    column.paint -= count;
    unchanged_[k] = std::max(unchanged_[k], column.bottom());
    return sum;
  }

  // Hangs `count` cells of `paint` under the bottom of column k.
  void hang(std::size_t k, int count, Texel paint) {
    HeadColumn& column = columns_[k];
    for (int z = column.bottom() - count; z < column.bottom(); ++z)
      store(write_, paint, k % width_, k / width_, static_cast<std::size_t>(z));
    column.paint += count;
  }

 private:
  Texel cellAt(std::size_t k, int z) const {
    const gpu::TexelView& from = z >= unchanged_[k] ? read_ : write_;
    return load(from, k % width_, k / width_, static_cast<std::size_t>(z));
  }

  gpu::TexelView read_, write_;
  std::vector<HeadColumn> columns_;
  std::size_t width_;
  std::vector<int> unchanged_;
};

TESS_KERNEL_INLINE std::uint8_t weighted(int a, int weightA, int sumB, int total) {
  return static_cast<std::uint8_t>((a * weightA + sumB + total / 2) / total);
}

// Paint taken off the head laid onto a window cell: colours and wetness mix by amount.
void deposit(StrokeWindow::Cell& cell, const PaintSum& paint) {
  const int w = cell.wet.a, total = w + paint.amount;
  cell.wet = {weighted(cell.wet.r, w, paint.r, total), weighted(cell.wet.g, w, paint.g, total),
              weighted(cell.wet.b, w, paint.b, total), static_cast<std::uint8_t>(total)};
  cell.grid.r = quantisedWetness(weighted(cell.grid.r, w, paint.wetness, total));
  cell.grid.a = TOOL_FLUID;
}

// `count` bytes of a cell's wet paint lifted off; a cell left without paint is air again.
void lift(StrokeWindow::Cell& cell, int count) {
  cell.wet.a = static_cast<std::uint8_t>(cell.wet.a - count);
  if (cell.wet.a == 0) cell.wet = {}, cell.grid.r = 0, cell.grid.a = TOOL_AIR;
}

// One head column meeting one window cell. The column's body stands `rise` bytes above the head's
// lowest point, which the press pushes down onto the canvas's dry surface.
//
// A brush's column meets the cell when the head's paint hanging under the body and the cell's wet
// paint together fill the gap left between body and surface. It deposits what is squeezed out
// below the surface and a sixteenth of its load (the wetter, the more), then smears: it takes up a
// quarter of the cell's wet paint (the wetter, the more).
//
// A knife's blade rides at a height over the surface that the press lowers: it lays its paint
// where the cell's paint stands lower, up to that height, and, drawing forward, scrapes up the wet
// paint standing higher (the wetter, the more; as much as the blade holds) to push it on to the
// next samples.
void meet(Tool tool, bool forward, int rise, int press, StrokeHead& head, std::size_t k, StrokeWindow::Cell& cell,
          bool& changed) {
  HeadColumn& column = head.column(k);
  const int n = column.paint, w = cell.wet.a;
  if (n + w == 0) return;
  int give = 0, take = 0, room = column.bottom();
  if (tool == Tool::Knife) {
    const int blade = rise + std::max(0, kKnifeLayer - press / 2);
    if (w < blade) give = blade - w;
    if (forward && w > blade) take = (w - blade) * cell.grid.r / kFullWet;
    room = std::max(0, std::min(column.body, kKnifeHold) - n);
  } else {
    const int gap = std::max(0, rise - press);
    if (n + w < gap) return;
    if (n > 0) {
      const int share = kBrushShare * kFullWet;
      give = std::max(0, n - gap) + (n * head.bottomWetness(k) + share - 1) / share;
    }
  }
  give = std::min({give, n, static_cast<int>(MAX_DEPTH) - w});
  if (give > 0) {
    deposit(cell, head.take(k, give));
    changed = true;
    room = tool == Tool::Knife ? std::max(0, std::min(column.body, kKnifeHold) - column.paint) : column.bottom();
  }
  if (tool == Tool::Brush && forward) take = cell.wet.a * cell.grid.r / (4 * kFullWet);
  take = std::min(take, room);
  if (take > 0) {
    head.hang(k, take, {cell.wet.r, cell.wet.g, cell.wet.b, headPaintKind(cell.grid.r)});
    lift(cell, take);
    changed = true;
  }
}

// Which window cells, taken from the sample's cell, each head column meets: every cell near the
// sample goes to the one column over its centre, so no two columns meet the same cell and the
// columns of one sample can work side by side. The placement is the same for every sample of a
// dispatch (the head turns by the descriptor's rotation), so it is found once.
class HeadFootprint {
 public:
  struct Offset {
    int dx, dy;
  };

  HeadFootprint(const HeadPlacement& placement, const std::vector<HeadColumn>& columns, std::size_t width,
                std::size_t height)
      : first_(columns.size() + 1, 0) {
    const int reach = static_cast<int>(std::ceil(placement.reach(width, height)));
    std::vector<std::vector<Offset>> lists(columns.size());
    for (int dy = -reach; dy <= reach; ++dy)
      for (int dx = -reach; dx <= reach; ++dx) {
        std::size_t i, j;
        if (!placement.columnOver(dx + 0.5f, dy + 0.5f, width, height, i, j)) continue;
        if (columns[j * width + i].head) lists[j * width + i].push_back({dx, dy});
      }
    for (std::size_t k = 0; k < lists.size(); ++k) {
      first_[k + 1] = first_[k] + lists[k].size();
      offsets_.insert(offsets_.end(), lists[k].begin(), lists[k].end());
    }
  }

  const Offset* begin(std::size_t k) const { return offsets_.data() + first_[k]; }
  const Offset* end(std::size_t k) const { return offsets_.data() + first_[k + 1]; }

 private:
  std::vector<std::size_t> first_;
  std::vector<Offset> offsets_;
};

void paint(const gpu::Dispatch& dispatch, Tool tool) {
  const gpu::TexelView read = dispatch.texels(TEXTURE_TOOL_READ), write = dispatch.texels(TEXTURE_TOOL_WRITE);
  StrokeWindow window(dispatch);
  const std::vector<Sample> samples = samplesArgument(dispatch);
  if (!read || !write || window.width() == 0 || samples.empty()) return;
  if (read.depth() != write.depth()) return;  // not one head's pair
  DAEToolDescriptor descriptor;
  const HeadPlacement placement(read, descriptorArgument(dispatch, descriptor) ? &descriptor : nullptr);
  // Byte 1 of the pencil state: drawing forward (a knife that is not only lays its paint).
  const bool forward = dispatch.bufferLength(BUFFER_PENCIL_STATE) < 2 || dispatch.bufferBytes(BUFFER_PENCIL_STATE)[1] != 0;

  const std::size_t width = std::min(read.width(), write.width()), height = std::min(read.height(), write.height());
  std::vector<HeadColumn> columns(width * height);
  HeadColumn* out = columns.data();
  const gpu::Size headColumns{width, height, 1};
  gpu::forEachThread(dispatch, headColumns, [=](gpu::uint3 p) { out[p.y * width + p.x] = headColumn(read, p.x, p.y, false); });
  int lowest = static_cast<int>(read.depth());
  for (const HeadColumn& column : columns)
    if (column.head) lowest = std::min(lowest, column.body);
  const HeadFootprint footprint(placement, columns, width, height);
  StrokeHead head(read, write, std::move(columns), width);

  // The samples one after another; within a sample each thread takes one head column and the cells
  // that column alone meets.
  const long windowWidth = static_cast<long>(window.width()), windowHeight = static_cast<long>(window.height());
  StrokeHead* heads = &head;
  StrokeWindow* cells = &window;
  const HeadFootprint* stamp = &footprint;
  for (const Sample& sample : samples) {
    if (!(std::isfinite(sample.x) && std::isfinite(sample.y))) continue;
    const long sx = std::lround(std::floor(std::clamp(sample.x, -1e6f, 1e6f)));
    const long sy = std::lround(std::floor(std::clamp(sample.y, -1e6f, 1e6f)));
    const int press = pressOf(sample);
    gpu::forEachThread(dispatch, headColumns, [=](gpu::uint3 p) {
      const std::size_t k = p.y * width + p.x;
      HeadColumn& column = heads->column(k);
      if (!column.head) return;
      for (const HeadFootprint::Offset* o = stamp->begin(k); o != stamp->end(k); ++o) {
        const long cx = sx + o->dx, cy = sy + o->dy;
        if (cx < 0 || cy < 0 || cx >= windowWidth || cy >= windowHeight) continue;
        StrokeWindow::Cell cell = cells->get(static_cast<std::size_t>(cx), static_cast<std::size_t>(cy));
        bool changed = false;
        meet(tool, forward, column.body - lowest, press, *heads, k, cell, changed);
        if (changed) cells->put(static_cast<std::size_t>(cx), static_cast<std::size_t>(cy), cell);
      }
    });
  }
}

// The paint a head column takes from one window cell when a pattern is picked: wet over dry paint,
// or, on a bare cell, the given colour (the canvas's background) as a full load.
TESS_KERNEL_INLINE void pickColumn(Tool tool, const gpu::TexelView& read, const gpu::TexelView& write,
                                   const gpu::TexelView& wet, const gpu::TexelView& dry, const gpu::TexelView& grid,
                                   std::size_t i, std::size_t j, std::size_t cx, std::size_t cy, Texel background) {
  const HeadColumn column = headColumn(read, i, j, tool == Tool::WideBrush);
  if (!column.head) return;
  int room = column.bottom();
  if (tool == Tool::Knife) room = std::min(room, std::max(0, kKnifeHold - column.paint));
  const Texel w = load(wet, cx, cy), d = load(dry, cx, cy);
  Texel paint;
  int amount = w.a + d.a;
  if (amount > 0) {
    // The colour one sees there: the wet paint over the dry, either alone where the other is none.
    paint = d.a == 0 ? w : w.a == 0 ? d : over(w, d);
    paint.a = headPaintKind(w.a > 0 ? load(grid, cx, cy).r : 0);
  } else if (background.a > 0) {
    paint = {background.r, background.g, background.b, headPaintKind(background.a)};
    amount = room;
  } else {
    return;
  }
  const int count = std::min(room, amount);
  for (int z = column.bottom() - count; z < column.bottom(); ++z) store(write, paint, i, j, static_cast<std::size_t>(z));
}

// A pickup reads the head at slot 9 (the emptied head) and writes into slot 10 only the cells it
// fills, under the first sample; each column works on its own.
void pickup(const gpu::Dispatch& dispatch, Tool tool) {
  const gpu::TexelView read = dispatch.texels(TEXTURE_TOOL_READ), write = dispatch.texels(TEXTURE_TOOL_WRITE),
                       wet = dispatch.texels(TEXTURE_WET_READ), dry = dispatch.texels(TEXTURE_DRY_READ),
                       grid = dispatch.texels(TEXTURE_GRID_READ);
  const std::vector<Sample> samples = samplesArgument(dispatch);
  if (!read || !write || !wet || samples.empty() || read.depth() != write.depth()) return;
  DAEToolDescriptor descriptor;
  const HeadPlacement placement(read, descriptorArgument(dispatch, descriptor) ? &descriptor : nullptr);
  const Texel background = bytesOf(float4Argument(dispatch, BUFFER_COLOR, {0, 0, 0, 0}));
  const Sample sample = samples.front();
  const std::size_t windowWidth = wet.width(), windowHeight = wet.height();
  gpu::forEachThread(dispatch, gpu::Size{std::min(read.width(), write.width()), std::min(read.height(), write.height()), 1},
                     [=](gpu::uint3 p) {
                       std::size_t cx, cy;
                       if (!placement.cellUnder(p.x, p.y, sample.x, sample.y, windowWidth, windowHeight, cx, cy)) return;
                       pickColumn(tool, read, write, wet, dry, grid, p.x, p.y, cx, cy, background);
                     });
}

}  // namespace

void toolModelBrushPaint(const gpu::Dispatch& dispatch) { paint(dispatch, Tool::Brush); }

void toolModelKnifePaint(const gpu::Dispatch& dispatch) { paint(dispatch, Tool::Knife); }

void toolModelBrushPickup(const gpu::Dispatch& dispatch) { pickup(dispatch, Tool::Brush); }

void toolModelKnifePickup(const gpu::Dispatch& dispatch) { pickup(dispatch, Tool::Knife); }

void toolModelWideBrushPickup(const gpu::Dispatch& dispatch) { pickup(dispatch, Tool::WideBrush); }

}  // namespace kernels
