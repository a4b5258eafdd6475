#pragma once
// The machinery of the paint passes of a stroke step (kernels/README.md, "The tool model"): the
// working window a pass changes, the head it works with, the press of a sample and the walk of the
// samples, in which each window cell near a sample is met by the one head column over it. The
// brush and knife paints and the paints of the other tool-model tools are built on it.
//
// A walk takes the samples in order, each meeting the paint the earlier ones left, on the canvas
// and on the head. Within a sample every window cell belongs to one head column, so the columns
// work side by side and the result does not depend on the thread count.

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "gpu/Dispatch.h"
#include "gpu/Parallel.h"
#include "gpu/ScratchArray.h"
#include "kernels/PaintModel.h"
#include "kernels/Travel.h"

namespace kernels {

// How deep (in thickness bytes) a force of 1 presses an upright tool past its lowest point.
inline constexpr float kPressBytes = 24;
inline constexpr float kMaxForce = 4;
// Head rows a worker takes at a time in a paint pass.
inline constexpr std::size_t kRowsPerChunk = 2;


// The press of a sample: its force, less when the tool is tilted (the altitude arrives already
// lowered by the tool). A broken value presses not at all.
inline int pressOf(const Sample& s) {
  const float force = std::isfinite(s.force) ? std::clamp(s.force, 0.0f, kMaxForce) : 0.0f;
  const float altitude = std::isfinite(s.altitude) ? std::clamp(s.altitude, 0.0f, 1.5707964f) : 0.0f;
  return static_cast<int>(std::lround(force * kPressBytes * (1.0f + std::sin(altitude)) / 2.0f));
}

// Whether a head column whose body stands `rise` bytes above the head's lowest point comes down
// onto paint `height` bytes high under `press`: the soft heads (the towel, the mop, turpentine's
// sponge, the sander's pad) give way to the canvas as far as they are pressed. No press, no touch.
TESS_KERNEL_INLINE bool reaches(int rise, int press, int height) { return press > 0 && rise <= press + height; }

// The working window of a stroke step: it reads the cells of grid0 and wet0 and writes its changes
// into grid1 and wet1, marked; once a cell is changed its state lives in grid1 and wet1. A window
// for paint laid dry also reads the dry paint (dry0 at TEXTURE_DRY_READ, or dry1 once changed) and
// writes a changed cell's dry texel to dry1 (TEXTURE_DRY_WRITE), marked kDryMark; without the two
// dry textures it has no cells. The dry texel is kept apart from the cell, so the wet path moves
// no more bytes than it needs.
class StrokeWindow {
 public:
  struct Cell {
    Texel wet, grid;
  };

  explicit StrokeWindow(const gpu::Dispatch& dispatch, bool dry = false)
      : grid0_(dispatch.texels(tessivarium::TEXTURE_GRID_READ)), grid1_(dispatch.texels(tessivarium::TEXTURE_GRID_WRITE)),
        wet0_(dispatch.texels(tessivarium::TEXTURE_WET_READ)), wet1_(dispatch.texels(tessivarium::TEXTURE_WET_WRITE)) {
    if (!grid0_ || !grid1_ || !wet0_ || !wet1_) return;
    const gpu::Size grid = dispatch.gridSize();
    width_ = std::min({grid.width, grid0_.width(), grid1_.width(), wet0_.width(), wet1_.width()});
    height_ = std::min({grid.height, grid0_.height(), grid1_.height(), wet0_.height(), wet1_.height()});
    if (dry) {
      dry0_ = dispatch.texels(tessivarium::TEXTURE_DRY_READ), dry1_ = dispatch.texels(tessivarium::TEXTURE_DRY_WRITE);
      width_ = dry0_ && dry1_ ? std::min({width_, dry0_.width(), dry1_.width()}) : 0;
      height_ = dry0_ && dry1_ ? std::min({height_, dry0_.height(), dry1_.height()}) : 0;
    }
    changed_.assign(width_ * height_, 0);
  }

  std::size_t width() const { return width_; }
  std::size_t height() const { return height_; }

  // The thickness of the cell's wet paint.
  int thickness(std::size_t x, std::size_t y) const { return load(changed_[y * width_ + x] ? wet1_ : wet0_, x, y).a; }

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

  // A cell the step changed, or one the step before held back and this step left as it was, is
  // held back from the blur (kHeldMark, which the step's end keeps); any other is left as it is.
  void hold(std::size_t x, std::size_t y) {
    if (!changed_[y * width_ + x]) {
      if (load(grid0_, x, y).b != kHeldMark) return;
      put(x, y, get(x, y));
    }
    Texel grid = load(grid1_, x, y);
    if (grid.b != kStrokeMark) return;
    grid.b = kHeldMark;
    store(grid1_, grid, x, y);
  }

  // A cell the step before held back and this step did not change is marked as changed as it is,
  // so that the blur levels it; a cell no step changed is not levelled, as in a stroke of one step.
  void level(std::size_t x, std::size_t y) {
    if (!changed_[y * width_ + x] && load(grid0_, x, y).b == kHeldMark) put(x, y, get(x, y));
  }

  // The dry paint of a window for paint laid dry.
  Texel dry(std::size_t x, std::size_t y) const { return load(changed_[y * width_ + x] ? dry1_ : dry0_, x, y); }

  // A cell whose dry paint changed, in a window for paint laid dry.
  void putDry(std::size_t x, std::size_t y, Cell cell, Texel dry) {
    cell.grid.b = kDryMark;
    store(wet1_, cell.wet, x, y);
    store(grid1_, cell.grid, x, y);
    store(dry1_, dry, x, y);
    changed_[y * width_ + x] = 1;
  }

 private:
  gpu::TexelView grid0_, grid1_, wet0_, wet1_, dry0_, dry1_;
  std::size_t width_ = 0, height_ = 0;
  gpu::ScratchArray<std::uint8_t> changed_;
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
    int credit = 0;  // the fraction, in 1/256ths of a byte, a thin stroke has still to lay
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
    c.shape = headColumn(head, x, y);
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

  // The whole bytes column k lays of `amount256` (in 1/256ths of a byte): the fraction left over
  // is carried to the column's next meeting, so that over many cells the column lays its share
  // exactly.
  int carriedLay(std::size_t k, int amount256) { return carriedBytes(columns_[k].credit, amount256); }

  // Starts column k's carried fraction somewhere in a byte, by a hash of `seed` and the column. A
  // dispatch cannot hand what it leaves unlaid to the next; started at nought, every dispatch would
  // drop it. Started anywhere alike, what one dispatch drops another gains.
  void startFraction(std::size_t k, std::uint32_t seed) { columns_[k].credit = startingFraction(seed, k); }

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
  gpu::ScratchArray<Column> columns_;
};

// Paint taken off the head laid onto a window cell: colours and wetness mix by amount.
inline void deposit(StrokeWindow::Cell& cell, const PaintSum& paint) {
  const int w = cell.wet.a, total = w + paint.amount;
  // (a x w + sum) / total to nearest, halves up, by one reciprocal: a quotient with a denominator of
  // at most 510 lies either on a half or 1/1020 away from it, far beyond the float's error.
  const float inverse = 1.0f / static_cast<float>(total);
  const auto mix = [&](int a, int sum) {
    return static_cast<std::uint8_t>(static_cast<float>(a * w + sum) * inverse + 0.5001f);
  };
  cell.wet = {mix(cell.wet.r, paint.r), mix(cell.wet.g, paint.g), mix(cell.wet.b, paint.b), static_cast<std::uint8_t>(total)};
  cell.grid.r = quantisedWetness(mix(cell.grid.r, paint.wetness));
  cell.grid.a = tessivarium::TOOL_FLUID;
}

// Paint taken off the head laid onto a window cell as dry paint: over the cell's dry paint by its
// coverage, the thicknesses added, as wet paint settles when a layer dries; the dry paint's wetness
// is none. The wet paint is not touched.
inline void depositDry(StrokeWindow::Cell& cell, Texel& dry, const PaintSum& paint) {
  const int n = paint.amount;
  const auto average = [n](int sum) { return static_cast<std::uint8_t>((sum + n / 2) / n); };
  const Texel laid{average(paint.r), average(paint.g), average(paint.b), static_cast<std::uint8_t>(n)};
  const std::uint8_t thickness = static_cast<std::uint8_t>(dry.a + n);
  dry = dry.a == 0 ? laid : over(laid, dry);
  dry.a = thickness;
  cell.grid.g = 0;
}

// `count` bytes of a cell's wet paint lifted off; a cell left without paint is air again.
inline void lift(StrokeWindow::Cell& cell, int count) {
  cell.wet.a = static_cast<std::uint8_t>(cell.wet.a - count);
  if (cell.wet.a == 0) cell.wet = {}, cell.grid.r = 0, cell.grid.a = tessivarium::TOOL_AIR;
}

// Which window cells, taken from the cell corner the head stands on (HeadPlacement::nearestCorner),
// each head column meets: every cell near the sample goes to the one column over its centre, so no
// two columns meet the same cell and the columns of one sample can work side by side. The placement
// is the same for every sample of a dispatch (the head turns by the descriptor's rotation), so it
// is found once.
class HeadFootprint {
 public:
  struct Offset {
    int dx, dy;
  };

  HeadFootprint(StrokeHead& head, std::size_t width, std::size_t height, const HeadPlacement& placement)
      : first_(width * height + 1, 0), reach_(static_cast<int>(std::ceil(placement.reach(width, height)))),
        covered_(static_cast<std::size_t>((2 * reach_ + 1) * (2 * reach_ + 1)), 0),
        held_(static_cast<std::size_t>((2 * heldReach() + 1) * (2 * heldReach() + 1)), 0) {
    const int reach = reach_;
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
    offsets_.assign(first_.back(), Offset{});
    gpu::ScratchArray<std::size_t> next(first_.size() - 1);
    std::copy(first_.begin(), first_.end() - 1, next.begin());
    each([&](std::size_t k, Offset o) {
      offsets_[next[k]++] = o;
      covered_[static_cast<std::size_t>((o.dy + reach_) * (2 * reach_ + 1) + o.dx + reach_)] = 1;
    });
    const int side = 2 * heldReach() + 1;
    for (int dy = -reach_; dy <= reach_; ++dy)
      for (int dx = -reach_; dx <= reach_; ++dx) {
        if (!covers(dx, dy)) continue;
        for (int ey = -kHeldMargin; ey <= kHeldMargin; ++ey)
          for (int ex = -kHeldMargin; ex <= kHeldMargin; ++ex)
            held_[static_cast<std::size_t>((dy + ey + heldReach()) * side + dx + ex + heldReach())] = 1;
      }
  }

  // How many cells past the head's columns its hold reaches: the bank and the ridges a knife pushes
  // up lie on the first cells beside its blade.
  static constexpr int kHeldMargin = 5;
  int heldReach() const { return reach_ + kHeldMargin; }

  // Whether the cell (dx, dy) from the corner the head stands on lies under the head or within
  // kHeldMargin cells of it: paint there may still change while the head goes on.
  bool holds(long dx, long dy) const {
    const long reach = heldReach();
    if (dx < -reach || dy < -reach || dx > reach || dy > reach) return false;
    return held_[static_cast<std::size_t>((dy + reach) * (2 * reach + 1) + dx + reach)] != 0;
  }

  const Offset* begin(std::size_t k) const { return offsets_.data() + first_[k]; }
  const Offset* end(std::size_t k) const { return offsets_.data() + first_[k + 1]; }

  // Whether the cell (dx, dy) from the corner the head stands on lies under one of its columns.
  bool covers(long dx, long dy) const {
    if (dx < -reach_ || dy < -reach_ || dx > reach_ || dy > reach_) return false;
    return covered_[static_cast<std::size_t>((dy + reach_) * (2 * reach_ + 1) + dx + reach_)] != 0;
  }

 private:
  gpu::ScratchArray<std::size_t> first_;
  gpu::ScratchArray<Offset> offsets_;
  int reach_;
  gpu::ScratchArray<std::uint8_t> covered_, held_;
};

// A paint pass's head and the walk of its samples. The head is read from slot 9 once; for each
// sample it stands where HeadPlacement puts it, and its columns meet the window cells of their
// footprint. What a column does to a cell is the pass's own (the visit).
class HeadWalk {
 public:
  // Empty when slot 9 or 10 is unbound, the two are not one head's pair, or neither a sample nor
  // a path start arrived: a step that brings a path start and no sample (a stroke's closing step)
  // walks nothing and levels what the step before held back (holdTrail).
  // `ownPaint`: the pass keeps the head's paint, and its carried fractions, in a form of its own
  // (the wide brushes' wells, kernels/FlatHead.h): every column is head, holding nothing the walk
  // reads; the pass writes the head itself.
  explicit HeadWalk(const gpu::Dispatch& dispatch, bool ownPaint = false)
      : read_(dispatch.texels(tessivarium::TEXTURE_TOOL_READ)), write_(dispatch.texels(tessivarium::TEXTURE_TOOL_WRITE)),
        samples_(samplesArgument(dispatch)), pathStart_(pathStartArgument(dispatch)), mask_(dispatch) {
    if (!read_ || !write_ || (samples_.empty() && !pathStart_) || read_.depth() != write_.depth()) return;
    tessivarium::DAEToolDescriptor descriptor;
    const HeadPlacement placement(read_, descriptorArgument(dispatch, descriptor) ? &descriptor : nullptr);
    width_ = std::min(read_.width(), write_.width()), height_ = std::min(read_.height(), write_.height());
    head_.emplace(width_, height_);
    const bool rgba8 = read_.bytesPerPixel() == 4;
    seed_ = samplesSeed(samples_);
    visitEveryCell();
    eachRow([&](std::size_t y) {
      if (ownPaint) {
        for (std::size_t k = y * width_; k < (y + 1) * width_; ++k) head_->column(k) = {static_cast<int>(read_.depth()), 0, true};
        return;
      }
      if (rgba8) {
        head_->readRow(read_, y);
      } else {
        for (std::size_t x = 0; x < width_; ++x) head_->read(read_, x, y);
      }
      for (std::size_t k = y * width_; k < (y + 1) * width_; ++k) head_->startFraction(k, seed_);
    });
    lowest_ = static_cast<int>(read_.depth());
    for (std::size_t k = 0; k < width_ * height_; ++k)
      if (head_->column(k).head) lowest_ = std::min(lowest_, head_->column(k).body);
    footprint_.emplace(*head_, width_, height_, placement);
    reach_ = placement.reach(width_, height_);
  }

  explicit operator bool() const { return head_.has_value(); }
  StrokeHead& head() { return *head_; }
  // The seed of this dispatch's carried fractions (samplesSeed).
  std::uint32_t seed() const { return seed_; }

  // During a visit: how far, in 1/256ths of a window cell, the head travelled to the current
  // sample from the one before it: for the first sample of a dispatch, from where the step before
  // left off (pathStartArgument); one cell for a stroke's first sample, whatever comes with it. A
  // jump is counted no longer than the head reaches, beyond which it covers no cell anyway.
  int travel256() const { return travel256_; }

  // During a sample: the way the head travels to it, a unit vector (found as travel256() is);
  // (0, 0) for a stroke's first sample, where the head lands and goes no way yet, whether or not
  // the samples after it arrived with it.
  struct Direction {
    float x = 0, y = 0;
  };
  Direction direction() const { return direction_; }

  // During afterSample(): how far, in whole window cells, the corner the head stands on moves on
  // to the next sample; for the last sample of a dispatch, to where the next would stand were it
  // as far on again as the last came (the stroke goes on as it goes); (0, 0) for a stroke's first
  // sample.
  struct Step {
    long x = 0, y = 0;
  };
  Step stepOn() const { return stepOn_; }

  // The samples one after another; within a sample visit(k, rise, press, cx, cy) for every head
  // column k and each window cell (cx, cy) of a window of `windowWidth` x `windowHeight` that it
  // alone meets. `rise` is how far the column's body stands above the head's lowest point. A cell
  // the canvas's mask covers is out of reach like one beyond the window: the head neither lays
  // paint there nor takes any up. After each sample's meetings, afterSample() runs on the calling
  // thread alone (a pass's second phase, which may reach cells no single column owns).
  template <class Visit>
  void eachMeeting(std::size_t windowWidth, std::size_t windowHeight, Visit&& visit) {
    eachMeeting(windowWidth, windowHeight, std::forward<Visit>(visit), [] {});
  }

  template <class Visit, class AfterSample>
  void eachMeeting(std::size_t windowWidth, std::size_t windowHeight, Visit&& visit, AfterSample&& afterSample) {
    windowWidth_ = static_cast<long>(windowWidth), windowHeight_ = static_cast<long>(windowHeight);
    const std::vector<Travel> travels = travelsOfSamples();
    for (std::size_t i = 0; i < samples_.size(); ++i) {
      const Sample& sample = samples_[i];
      if (!placed(sample)) continue;
      const Step corner = cornerOf(sample);
      sx_ = corner.x, sy_ = corner.y, walked_ = true;
      const int press = pressOf(sample);
      travel256_ = travels[i].length256, direction_ = travels[i].direction, stepOn_ = travels[i].stepOn;
      eachRow([&](std::size_t y) {
        for (std::size_t k = y * width_; k < (y + 1) * width_; ++k) {
          const HeadColumn& column = head_->column(k);
          if (!column.head) continue;
          const int rise = column.body - lowest_;
          eachCellOf(k, [&](std::size_t cx, std::size_t cy) { visit(k, rise, press, cx, cy); });
        }
      });
      afterSample();
    }
  }

  // During afterSample(): every window cell the current sample's columns meet, as visit(cx, cy),
  // one after another in an order fixed by the head alone.
  template <class Visit>
  void eachCellMet(Visit&& visit) const {
    for (std::size_t k = 0; k < width_ * height_; ++k) eachCellOf(k, visit);  // a column of no tool meets none
  }

  // During afterSample(): whether window cell (cx, cy) lies under the head at the current sample,
  // and whether it is a cell of the window the mask leaves open.
  bool under(long cx, long cy) const { return footprint_->covers(cx - sx_, cy - sy_); }
  // The window corner the head stands on at the current sample, and how far from it, in whole
  // cells, the head reaches at most: every cell under() lies within that many cells of the corner.
  Step corner() const { return {sx_, sy_}; }
  int reachCells() const { return static_cast<int>(std::ceil(reach_)); }
  // Whether every cell under the head at the current sample is open: the canvas has no mask and
  // all the head reaches lies inside the window.
  bool allOpenUnder() const {
    const long reach = reachCells();
    return !mask_ && sx_ >= reach && sy_ >= reach && sx_ + reach < windowWidth_ && sy_ + reach < windowHeight_;
  }
  bool open(long cx, long cy) const {
    return cx >= 0 && cy >= 0 && cx < windowWidth_ && cy < windowHeight_ &&
           !mask_.masked(static_cast<std::size_t>(cx), static_cast<std::size_t>(cy));
  }

  // After the walk: the changed cells the head may still come back to hold back from the step's
  // blur (StrokeWindow::hold), those about the last sample's place; the cells about the place the
  // step before ended at (the path's start), which that step held back, are levelled now, as far
  // as the head has left them: all of them when no sample was placed, as in a stroke's closing
  // step. So each cell is levelled once the head has gone past it, whether the samples came one
  // to a step or all in one, and a finished stroke leaves none held.
  template <class Window>
  void holdTrail(Window& window) const {
    const long reach = footprint_->heldReach();
    if (pathStart_ && placed(*pathStart_)) {
      const Step start = cornerOf(*pathStart_);
      for (long dy = -reach; dy <= reach; ++dy)
        for (long dx = -reach; dx <= reach; ++dx) {
          const long cx = start.x + dx, cy = start.y + dy;
          const bool stillHeld = walked_ && footprint_->holds(cx - sx_, cy - sy_);
          if (footprint_->holds(dx, dy) && !stillHeld && open(cx, cy))
            window.level(static_cast<std::size_t>(cx), static_cast<std::size_t>(cy));
        }
    }
    if (!walked_) return;
    for (long dy = -reach; dy <= reach; ++dy)
      for (long dx = -reach; dx <= reach; ++dx) {
        const long cx = sx_ + dx, cy = sy_ + dy;
        if (footprint_->holds(dx, dy) && open(cx, cy)) window.hold(static_cast<std::size_t>(cx), static_cast<std::size_t>(cy));
      }
  }

  // Writes the head cells the walk changed into slot 10.
  void writeHead() {
    eachRow([&](std::size_t y) {
      for (std::size_t x = 0; x < width_; ++x) head_->write(write_, x, y);
    });
  }

 private:
  static Step cornerOf(const Sample& s) {
    return {std::lround(HeadPlacement::nearestCorner(std::clamp(s.x, -1e6f, 1e6f))),
            std::lround(HeadPlacement::nearestCorner(std::clamp(s.y, -1e6f, 1e6f)))};
  }

  // The walk visits each cell corner the path comes to once (cellVisits). A step whose samples
  // leave the head on the corner it started on visits none, yet holds the trail there as the step
  // before did: the head still stands on it. A step without a placed sample (a stroke's closing
  // step) walks nowhere and levels what is held (holdTrail).
  void visitEveryCell() {
    const bool anyPlaced = std::any_of(samples_.begin(), samples_.end(), [](const Sample& s) { return placed(s); });
    CellVisits visits = cellVisits(samples_, pathStart_);
    samples_ = std::move(visits.samples);
    if (visits.from) pathStart_ = visits.from;
    if (anyPlaced && samples_.empty() && pathStart_ && placed(*pathStart_)) {
      const Step corner = cornerOf(*pathStart_);
      sx_ = corner.x, sy_ = corner.y, walked_ = true;
    }
  }

  // A sample's travel. A stroke's first sample, where the head lands, comes one cell, goes no way
  // and moves on nowhere, whether the samples after it come with it or in later steps: alone in
  // its step it could not know where the next one goes, and the stroke's start must not depend
  // on how its samples are grouped.
  struct Travel {
    int length256 = 256;
    Direction direction;
    Step stepOn;
  };

  // Each sample's travel (see travel256() and direction()); samples at no finite place are passed
  // over, and so is a path start at none.
  std::vector<Travel> travelsOfSamples() const {
    std::vector<const Sample*> at;
    if (pathStart_ && placed(*pathStart_)) at.push_back(&*pathStart_);
    const std::size_t first = at.size();  // 1 when the path comes on from the step before
    for (const Sample& sample : samples_)
      if (placed(sample)) at.push_back(&sample);
    std::vector<Travel> out(samples_.size());
    const auto travelOf = [&](std::size_t j) -> Travel& { return out[static_cast<std::size_t>(at[j] - samples_.data())]; };
    for (std::size_t j = std::max<std::size_t>(first, 1); j < at.size(); ++j) {
      const Sample &from = *at[j - 1], &to = *at[j];
      const float dx = to.x - from.x, dy = to.y - from.y, length = std::hypot(dx, dy);
      // A distance too great for a float counts as the reach too.
      travelOf(j).length256 = static_cast<int>(std::min(length, reach_) * 256.0f);
      if (length > 0 && std::isfinite(length)) travelOf(j).direction = {dx / length, dy / length};
      // at[0] is the path start, which the step before moved on from, or the stroke's first
      // sample, which moves on nowhere (see Travel).
      if (j >= 2) {
        const Step a = cornerOf(from), b = cornerOf(to);
        travelOf(j - 1).stepOn = {b.x - a.x, b.y - a.y};
      }
    }
    if (at.size() > first && at.size() > 1) {
      // The sample after the last one, as far on again as the last came: evenly spaced samples
      // land there exactly.
      const Sample &before = *at[at.size() - 2], &last = *at.back();
      Sample next = last;
      next.x = last.x + (last.x - before.x), next.y = last.y + (last.y - before.y);
      const Step a = cornerOf(last), b = cornerOf(next);
      travelOf(at.size() - 1).stepOn = {b.x - a.x, b.y - a.y};
    }
    return out;
  }

  // The window cells column k meets at the current sample, as visit(cx, cy).
  template <class Visit>
  void eachCellOf(std::size_t k, Visit&& visit) const {
    const bool withMask = static_cast<bool>(mask_);
    for (const HeadFootprint::Offset* o = footprint_->begin(k); o != footprint_->end(k); ++o) {
      const long cx = sx_ + o->dx, cy = sy_ + o->dy;
      if (cx < 0 || cy < 0 || cx >= windowWidth_ || cy >= windowHeight_) continue;
      if (withMask && mask_.masked(static_cast<std::size_t>(cx), static_cast<std::size_t>(cy))) continue;
      visit(static_cast<std::size_t>(cx), static_cast<std::size_t>(cy));
    }
  }

  // The head's rows spread over the worker threads: each row's columns belong to one thread.
  template <class Body>
  void eachRow(Body&& body) const {
    gpu::parallelFor(0, height_, kRowsPerChunk, [&](std::size_t first, std::size_t end) {
      for (std::size_t y = first; y < end; ++y) body(y);
    });
  }

  gpu::TexelView read_, write_;
  std::vector<Sample> samples_;
  std::optional<Sample> pathStart_;
  WindowMask mask_;
  std::size_t width_ = 0, height_ = 0;
  int lowest_ = 0, travel256_ = 256;
  std::uint32_t seed_ = 0;
  Direction direction_;
  Step stepOn_;
  long sx_ = 0, sy_ = 0, windowWidth_ = 0, windowHeight_ = 0;
  bool walked_ = false;  // a sample was placed: (sx_, sy_) is the last one's corner
  float reach_ = 0;
  std::optional<StrokeHead> head_;
  std::optional<HeadFootprint> footprint_;
};

}  // namespace kernels
