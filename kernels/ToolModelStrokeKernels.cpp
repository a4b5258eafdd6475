// The tool-model kernels that move paint between the head and the working window: the brush,
// knife and roller paints of a stroke step, and the pickups that load a head with the paint under
// one sample.
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
#include "gpu/Parallel.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"

namespace kernels {
namespace {

using namespace tessivarium;

enum class Tool { Brush, Knife, WideBrush, Roller };

// How deep (in thickness bytes) a force of 1 presses an upright tool past its lowest point.
constexpr float kPressBytes = 24;
constexpr float kMaxForce = 4;
// The most paint cells a knife's blade carries, and how high over the surface it rides unpressed.
constexpr int kKnifeHold = 16;
constexpr int kKnifeLayer = 12;
// The film a roller lays over its whole footprint, in thickness bytes; it carries what a knife does.
constexpr int kRollerFilm = 6;
constexpr int kFullWet = kFullWetness;
// The share of its load a brush lays at each sample it touches the canvas with, one in so many.
constexpr int kBrushShare = 16;
// Head rows a worker takes at a time in a paint pass.
constexpr std::size_t kRowsPerChunk = 2;

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

TESS_KERNEL_INLINE std::uint8_t weighted(int a, int weightA, int sumB, int total) {
  return static_cast<std::uint8_t>((a * weightA + sumB + total / 2) / total);
}

// The head during a paint pass. Each column's paint is held as runs of like cells (from the body
// down), so taking and hanging paint costs no walk through the texture; at the end each column
// writes to slot 10 the cells it changed: those between the lowest and the highest its paint's
// bottom reached (all under the body once its runs had to be merged).
class StrokeHead {
 public:
  static constexpr int kRuns = 16;
  struct Run {
    Texel paint;
    int count;
  };
  struct Column {
    HeadColumn shape;
    int lowest = 0, unchanged = 0, runs = 0;
    Run run[kRuns];
  };

  StrokeHead(std::size_t width, std::size_t height) : width_(width), columns_(width * height) {}

  // Reads row y of the head at slot 9 (RGBA8 or BGRA8, whose kind byte is the fourth either way)
  // slice by slice, each slice's row being contiguous: first the bodies, then the paint under them.
  void readRow(const gpu::TexelView& head, std::size_t y) {
    Column* row = &columns_[y * width_];
    std::size_t found = 0;
    for (std::size_t x = 0; x < width_; ++x) row[x] = Column{}, row[x].shape = {static_cast<int>(head.depth()), 0, false};
    for (std::size_t z = 0; z < head.depth() && found < width_; ++z) {
      const std::uint8_t* cells = head.texel(0, y, z);
      for (std::size_t x = 0; x < width_; ++x) {
        if (!row[x].shape.head && cells[4 * x + 3] == kHeadSolid) row[x].shape = {static_cast<int>(z), 0, true}, ++found;
      }
    }
    int top = 0;
    for (std::size_t x = 0; x < width_; ++x) {
      if (row[x].shape.head) top = std::max(top, row[x].shape.body), row[x].lowest = -1;  // -1: still reading
    }
    for (int z = top - 1; z >= 0; --z) {
      const std::uint8_t* cells = head.texel(0, y, static_cast<std::size_t>(z));
      for (std::size_t x = 0; x < width_; ++x) {
        Column& c = row[x];
        if (c.lowest != -1 || z != c.shape.bottom() - 1) continue;
        if (isHeadPaint(cells[4 * x + 3])) {
          hang(c, 1, load(head, x, y, static_cast<std::size_t>(z)));
        } else {
          c.lowest = c.shape.bottom();
        }
      }
    }
    for (std::size_t x = 0; x < width_; ++x) finishReading(row[x]);
  }

  // Reads column (x, y) of the head at slot 9, cell by cell (any texture format).
  void read(const gpu::TexelView& head, std::size_t x, std::size_t y) {
    Column& c = columns_[y * width_ + x];
    c = Column{};
    c.shape = headColumn(head, x, y, false);
    c.shape.paint = 0;
    for (int z = c.shape.body - 1; c.shape.head && z >= 0; --z) {
      const Texel cell = load(head, x, y, static_cast<std::size_t>(z));
      if (!isHeadPaint(cell.a)) break;
      hang(c, 1, cell);
    }
    finishReading(c);
  }

  HeadColumn& column(std::size_t k) { return columns_[k].shape; }

  // The kind byte (the wetness) of the column's lowest paint.
  std::uint8_t bottomWetness(std::size_t k) const {
    const Column& c = columns_[k];
    return c.runs > 0 ? c.run[c.runs - 1].paint.a : 0;
  }

  // Takes `count` cells off the bottom of column k (their place becomes air).
  PaintSum take(std::size_t k, int count) {
    Column& c = columns_[k];
    PaintSum sum;
    sum.amount = count;
    while (count > 0) {
      Run& bottom = c.run[c.runs - 1];
      const int n = std::min(count, bottom.count);
      sum.r += n * bottom.paint.r, sum.g += n * bottom.paint.g, sum.b += n * bottom.paint.b, sum.wetness += n * bottom.paint.a;
      bottom.count -= n, count -= n, c.shape.paint -= n;
      if (bottom.count == 0) --c.runs;
    }
    c.unchanged = std::max(c.unchanged, c.shape.bottom());
    return sum;
  }

  // Hangs `count` cells of `paint` under the bottom of column k.
  void hang(std::size_t k, int count, Texel paint) {
    Column& c = columns_[k];
    hang(c, count, paint);
    c.lowest = std::min(c.lowest, c.shape.bottom());
  }

  // Writes column (x, y)'s changed cells into the head at slot 10.
  void write(const gpu::TexelView& head, std::size_t x, std::size_t y) const {
    const Column& c = columns_[y * width_ + x];
    int z = c.lowest;
    for (; z < c.shape.bottom() && z < c.unchanged; ++z) store(head, Texel{}, x, y, static_cast<std::size_t>(z));
    for (int r = c.runs - 1; r >= 0 && z < c.unchanged; --r)
      for (int n = 0; n < c.run[r].count && z < c.unchanged; ++n, ++z) store(head, c.run[r].paint, x, y, static_cast<std::size_t>(z));
  }

 private:
  // The paint's bottom as read is where the column's changes begin; a merge while reading has
  // already made the whole column count as changed.
  static void finishReading(Column& c) {
    c.lowest = c.shape.bottom();
    c.unchanged = std::max(c.unchanged, c.lowest);
  }

  static void hang(Column& c, int count, Texel paint) {
    c.shape.paint += count;
    if (c.runs > 0 && c.run[c.runs - 1].paint == paint) {
      c.run[c.runs - 1].count += count;
      return;
    }
    if (c.runs == kRuns) {
      // Too many kinds of paint: the lowest run takes the new paint in, mixed by amount, and the
      // whole column is written back, so the head holds what the runs say.
      Run& bottom = c.run[kRuns - 1];
      const int total = bottom.count + count;
      bottom.paint = {weighted(bottom.paint.r, bottom.count, paint.r * count, total),
                      weighted(bottom.paint.g, bottom.count, paint.g * count, total),
                      weighted(bottom.paint.b, bottom.count, paint.b * count, total),
                      headPaintKind(weighted(bottom.paint.a, bottom.count, paint.a * count, total))};
      bottom.count = total;
      c.unchanged = c.shape.body;
      return;
    }
    c.run[c.runs++] = {paint, count};
  }

  std::size_t width_;
  std::vector<Column> columns_;
};

// Paint taken off the head laid onto a window cell: colours and wetness mix by amount.
void deposit(StrokeWindow::Cell& cell, const PaintSum& paint) {
  const int w = cell.wet.a, total = w + paint.amount;
  // (a x w + sum) / total to nearest, halves up, by one reciprocal: a quotient with a denominator of
  // at most 510 lies either on a half or 1/1020 away from it, far beyond the float's error.
  const float inverse = 1.0f / static_cast<float>(total);
  const auto mix = [&](int a, int sum) {
    return static_cast<std::uint8_t>(static_cast<float>(a * w + sum) * inverse + 0.5001f);
  };
  cell.wet = {mix(cell.wet.r, paint.r), mix(cell.wet.g, paint.g), mix(cell.wet.b, paint.b), static_cast<std::uint8_t>(total)};
  cell.grid.r = quantisedWetness(mix(cell.grid.r, paint.wetness));
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
//
// A roller's surface is level: it is a knife whose blade rides at one film over the surface in
// every column, whatever the head's shape and the press, so it rolls the paint it meets into an
// even band, thinning where its load runs out.
void meet(Tool tool, bool forward, int rise, int press, StrokeHead& head, std::size_t k, StrokeWindow::Cell& cell,
          bool& changed) {
  HeadColumn& column = head.column(k);
  const int n = column.paint, w = cell.wet.a;
  if (n + w == 0) return;
  int give = 0, take = 0, room = column.bottom();
  const bool bladed = tool == Tool::Knife || tool == Tool::Roller;
  if (bladed) {
    const int blade = tool == Tool::Roller ? kRollerFilm : rise + std::max(0, kKnifeLayer - press / 2);
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
    room = bladed ? std::max(0, std::min(column.body, kKnifeHold) - column.paint) : column.bottom();
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

  HeadFootprint(StrokeHead& head, std::size_t width, std::size_t height, const HeadPlacement& placement)
      : first_(width * height + 1, 0) {
    const int reach = static_cast<int>(std::ceil(placement.reach(width, height)));
    // Twice over the cells near the sample: first counting each column's cells, then placing them.
    const auto each = [&](auto&& visit) {
      for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
          std::size_t i, j;
          if (placement.columnOver(dx + 0.5f, dy + 0.5f, width, height, i, j) && head.column(j * width + i).head)
            visit(j * width + i, Offset{dx, dy});
        }
    };
    each([&](std::size_t k, Offset) { ++first_[k + 1]; });
    for (std::size_t k = 0; k + 1 < first_.size(); ++k) first_[k + 1] += first_[k];
    offsets_.resize(first_.back());
    std::vector<std::size_t> next(first_.begin(), first_.end() - 1);
    each([&](std::size_t k, Offset o) { offsets_[next[k]++] = o; });
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
  StrokeHead head(width, height);
  // The head's rows spread over the worker threads: each row's columns belong to one thread.
  const auto eachRow = [height](auto&& body) {
    gpu::parallelFor(0, height, kRowsPerChunk, [&](std::size_t first, std::size_t end) {
      for (std::size_t y = first; y < end; ++y) body(y);
    });
  };
  const bool rgba8 = read.bytesPerPixel() == 4;
  eachRow([&](std::size_t y) {
    if (rgba8) {
      head.readRow(read, y);
    } else {
      for (std::size_t x = 0; x < width; ++x) head.read(read, x, y);
    }
  });
  int lowest = static_cast<int>(read.depth());
  for (std::size_t k = 0; k < width * height; ++k)
    if (head.column(k).head) lowest = std::min(lowest, head.column(k).body);
  const HeadFootprint footprint(head, width, height, placement);

  // The samples one after another; within a sample each head column meets the cells it alone meets.
  const long windowWidth = static_cast<long>(window.width()), windowHeight = static_cast<long>(window.height());
  for (const Sample& sample : samples) {
    if (!(std::isfinite(sample.x) && std::isfinite(sample.y))) continue;
    const long sx = std::lround(std::floor(std::clamp(sample.x, -1e6f, 1e6f)));
    const long sy = std::lround(std::floor(std::clamp(sample.y, -1e6f, 1e6f)));
    const int press = pressOf(sample);
    eachRow([&](std::size_t y) {
      for (std::size_t k = y * width; k < (y + 1) * width; ++k) {
        HeadColumn& column = head.column(k);
        if (!column.head) continue;
        for (const HeadFootprint::Offset* o = footprint.begin(k); o != footprint.end(k); ++o) {
          const long cx = sx + o->dx, cy = sy + o->dy;
          if (cx < 0 || cy < 0 || cx >= windowWidth || cy >= windowHeight) continue;
          StrokeWindow::Cell cell = window.get(static_cast<std::size_t>(cx), static_cast<std::size_t>(cy));
          bool changed = false;
          meet(tool, forward, column.body - lowest, press, head, k, cell, changed);
          if (changed) window.put(static_cast<std::size_t>(cx), static_cast<std::size_t>(cy), cell);
        }
      }
    });
  }
  eachRow([&](std::size_t y) {
    for (std::size_t x = 0; x < width; ++x) head.write(write, x, y);
  });
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

void rollerPaint(const gpu::Dispatch& dispatch) { paint(dispatch, Tool::Roller); }

void toolModelBrushPickup(const gpu::Dispatch& dispatch) { pickup(dispatch, Tool::Brush); }

void toolModelKnifePickup(const gpu::Dispatch& dispatch) { pickup(dispatch, Tool::Knife); }

void toolModelWideBrushPickup(const gpu::Dispatch& dispatch) { pickup(dispatch, Tool::WideBrush); }

}  // namespace kernels
