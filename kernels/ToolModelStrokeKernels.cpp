// The tool-model kernels that move paint between the head and the working window: the brush,
// knife and roller paints of a stroke step, and the pickups that load a head with the paint under
// one sample.
//
// A paint pass walks its path a cell corner at a time (kernels/HeadStroke.h, kernels/Travel.h). It
// costs the corners visited x head columns; the depth of a column is looked at once per dispatch,
// and then only the cells that change. The knife's push and the roller's carry reach cells no one
// column owns, so they run after each visit's meetings on one thread, cell after cell in a fixed
// order. What the head and the window lose and gain is counted in whole thickness bytes, so paint
// is conserved exactly up to the 255 ceiling.

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "gpu/KernelRuntime.h"
#include "gpu/ScratchArray.h"
#include "kernels/FlatHead.h"
#include "kernels/HeadStroke.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"
#include "kernels/Travel.h"

namespace kernels {
namespace {

using namespace tessivarium;

enum class Tool { Brush, Knife, WideBrush, Roller };

// The most paint cells a knife's blade carries, and how high over the surface it rides unpressed.
constexpr int kKnifeHold = 16;
constexpr int kKnifeLayer = 12;
// The film a roller lays over its whole footprint, in thickness bytes; it carries what a knife does.
constexpr int kRollerFilm = 6;
// The share of the wet paint under it (one part in so many, fully wet) a roller's drum rolls on
// from each sample to the next.
constexpr int kRollerCarry = 4;
constexpr int kFullWet = kFullWetness;
// How far a brush spreads the paint its press brings onto the canvas: for each cell it travels it
// lays one part in so many of it (fully wet; the drier, the less). So a freshly loaded brush lays
// a few bytes a cell, which hide the canvas, and a trail that thins as it runs dry.
constexpr int kBrushSpread = 48;

// What a column takes up goes by the distance travelled too: taken a share a meeting, it would be
// taken the more often the more densely the samples came. A brush smears up part of a cell's wet
// paint times its wetness over full wetness: fully wet, it leaves three quarters of it every four
// cells it travels. A trail thinner than kSmearFloor bytes fully wet stays where it lies.
constexpr LeftOver kSmearLeft(0.75, 2);
constexpr int kSmearFloor = 4;
// A blade (a knife's, the roller's drum) takes up of the paint standing above it, and the drum
// trades with the film it rolls over, a share by the paint's wetness: every two cells it travels it
// leaves 1 - level / 63 of it at wetness level `level`, none of paint fully wet.
constexpr std::array<LeftOver, TOOL_CELL_WETNESS_MAX + 1> kBladeLeft = [] {
  std::array<LeftOver, TOOL_CELL_WETNESS_MAX + 1> out{};
  for (std::size_t level = 0; level < out.size(); ++level)
    out[level] = LeftOver(1.0 - static_cast<double>(level) / TOOL_CELL_WETNESS_MAX, 1);
  return out;
}();

// The share of `amount` bytes a brush (kSmearLeft) or a blade (kBladeLeft) takes up over a travel,
// in 1/256ths of a byte, for a cell of wetness byte `wetness`.
TESS_KERNEL_INLINE int smearShare(int amount, int wetness, int travel256) {
  if (amount * wetness < kSmearFloor * kFullWet) return 0;
  return static_cast<int>(256.0 * amount * wetness / kFullWet * (1 - kSmearLeft.after(travel256)));
}
TESS_KERNEL_INLINE int bladeShare(int amount, int wetness, int travel256) {
  const LeftOver& left = kBladeLeft[static_cast<std::size_t>(wetness) >> TOOL_CELL_WETNESS_SHIFT];
  return static_cast<int>(256.0 * amount * (1 - left.after(travel256)));
}

// The fractions of a byte each head column carries from one meeting to the next, in 1/256ths of a
// byte: of what it lays (see How paint is laid), of what it takes up and of what the roller's drum
// trades. They ride on the head from one dispatch to the next, in the red, green and blue bytes of
// each column's lowest body cell: what a column takes up it lays again at once, so fractions
// started afresh every dispatch would make a stroke lay differently as its samples fall into
// frames. A byte holds its fraction less the column's own start (startingFraction), so that a
// fresh head, whose body bytes are 0, starts each column somewhere else in a byte, and its columns
// do not reach a whole byte all at once and lay in stripes.
class ColumnFractions {
 public:
  enum Kind : std::size_t { Lay, Take, Trade, kKinds };

  ColumnFractions(const gpu::Dispatch& dispatch, StrokeHead& head)
      : read_(dispatch.texels(TEXTURE_TOOL_READ)), write_(dispatch.texels(TEXTURE_TOOL_WRITE)),
        width_(std::min(read_.width(), write_.width())), head_(head),
        credit_(width_ * std::min(read_.height(), write_.height()) * kKinds, 0) {
    for (std::size_t k = 0; k < columns(); ++k) {
      if (!head.column(k).head) continue;
      const Texel body = bodyOf(k);
      const std::uint8_t held[kKinds] = {body.b, body.r, body.g};
      for (std::size_t kind = 0; kind < kKinds; ++kind)
        credit_[k * kKinds + kind] = (held[kind] + startingFraction(kSeeds[kind], k)) & 255;
    }
  }

  // The whole bytes of `amount256` column k lays, takes up or trades; the rest is carried on.
  int carried(Kind kind, std::size_t k, int amount256) { return carriedBytes(credit_[k * kKinds + kind], amount256); }

  // Writes every column's fractions into its lowest body cell at slot 10.
  void write() const {
    for (std::size_t k = 0; k < columns(); ++k) {
      if (!head_.column(k).head) continue;
      const auto held = [&](std::size_t kind) {
        return static_cast<std::uint8_t>(credit_[k * kKinds + kind] - startingFraction(kSeeds[kind], k));
      };
      const Texel body{held(Take), held(Trade), held(Lay), bodyOf(k).a};
      store(write_, body, k % width_, k / width_, static_cast<std::size_t>(head_.column(k).body));
    }
  }

 private:
  static constexpr std::uint32_t kSeeds[kKinds] = {0x9e3779b9u, 0x2545f491u, 0x5bd1e995u};

  std::size_t columns() const { return credit_.size() / kKinds; }
  Texel bodyOf(std::size_t k) const {
    return load(read_, k % width_, k / width_, static_cast<std::size_t>(head_.column(k).body));
  }

  gpu::TexelView read_, write_;
  std::size_t width_;
  StrokeHead& head_;
  gpu::ScratchArray<int> credit_;
};

// The paint on a roller's drum and the wet paint it rolls over trade places, as much as the column
// holds (the wetter the cell, the more, by the distance travelled): the drum leaves what it carries
// mixed into the film and rolls on with the film's colour, so what it lays where the film ends is
// the colour it rolled through last, not the first it met. The cell keeps its thickness and the column its load.
TESS_KERNEL_INLINE void trade(StrokeHead& head, std::size_t k, int travel256, ColumnFractions& fractions,
                              StrokeWindow::Cell& cell, bool& changed) {
  const int held = head.column(k).paint;
  const int due = fractions.carried(ColumnFractions::Trade, k, bladeShare(cell.wet.a, cell.grid.r, travel256));
  const int count = std::min({held, due, static_cast<int>(MAX_DEPTH) - cell.wet.a});
  if (count <= 0) return;
  deposit(cell, head.take(k, count));
  head.hang(k, count, {cell.wet.r, cell.wet.g, cell.wet.b, headPaintKind(cell.grid.r)});
  lift(cell, count);
  changed = true;
}

// One head column meeting one window cell. The column's body stands `rise` bytes above the head's
// lowest point, which the press pushes down onto the canvas's dry surface.
//
// A brush's column meets the cell when the head's paint hanging under the body and the cell's wet
// paint together fill the gap left between body and surface. The paint that hangs past the gap is
// pressed onto the canvas; the bristles let it go as they travel, a share for each cell the head
// travelled to the visit (the wetter, the more), so a loaded brush lays a trail that thins
// as it runs dry, however densely the samples come. Then it smears: it takes up part of the cell's
// wet paint (the wetter, the more), by the distance too (kSmearLeft).
//
// A knife's blade rides at a height over the surface that the press lowers: it lays its paint
// where the cell's paint stands lower, up to that height, and, drawing forward, scrapes up the wet
// paint standing higher (the wetter, the more, by the distance: kBladeLeft; as much as the blade
// holds) to lay it again further on; what it cannot hold it pushes aside (BladePush).
//
// A roller's surface is level: it is a knife whose blade rides at one film over the surface in
// every column, whatever the head's shape and the press, so it rolls the paint it meets into an
// even band, thinning where its load runs out; its paint trades places with the film it rolls over
// (trade), and the drum rolls on a share of the paint under it (DrumCarry).
//
// The drawing decides how the paint is laid: scaled by the tool's thickness (a blade's each
// meeting; a brush's through its load, which the fill scaled and of which it lays its share), and
// wet, or dry (then the dry paint stands on the surface too, building up under the tool as wet
// paint does, and the tool takes no wet paint up: the wet paint stays as it is).
//
// kDry says the paint is laid dry: `dry` is then the cell's dry paint (unused otherwise). Each way is
// its own instance, so the wet way carries no test of it per meeting.
//
// `left` gets what a knife drawing forward would have scraped up but had no room for on its blade:
// the paint it drives on (BladePush).
template <bool kDry>
TESS_KERNEL_INLINE void meet(Tool tool, int thickness256, bool forward, int rise, int press, int travel256,
                             StrokeHead& head, ColumnFractions& fractions, std::size_t k, StrokeWindow::Cell& cell,
                             Texel& dry, bool& changed, int& left) {
  HeadColumn& column = head.column(k);
  const int n = column.paint, w = cell.wet.a + (kDry ? dry.a : 0);
  if (n + w == 0) return;
  int give = 0, take = 0, room = column.bottom();
  const bool bladed = tool == Tool::Knife || tool == Tool::Roller;
  if (bladed) {
    const int blade = tool == Tool::Roller ? kRollerFilm : rise + std::max(0, kKnifeLayer - press / 2);
    if (w < blade) give = blade - w;
    if (thickness256 != kStandardThickness) give = fractions.carried(ColumnFractions::Lay, k, give * thickness256);
    if (!kDry && forward && w > blade)
      take = fractions.carried(ColumnFractions::Take, k, bladeShare(w - blade, cell.grid.r, travel256));
    room = std::max(0, std::min(column.body, kKnifeHold) - n);
  } else {
    const int gap = std::max(0, rise - press);
    if (n + w < gap) return;
    const int pressed = n - gap;
    if (pressed > 0) {
      const std::int64_t share = std::int64_t{pressed} * head.bottomWetness(k) * travel256 / (kBrushSpread * kFullWet);
      give = fractions.carried(ColumnFractions::Lay, k, static_cast<int>(share));
    }
  }
  give = std::min({give, n, static_cast<int>(MAX_DEPTH) - (kDry ? dry.a : cell.wet.a)});
  if (give > 0) {
    const PaintSum taken = head.take(k, give);
    if constexpr (kDry) {
      depositDry(cell, dry, taken);
    } else {
      deposit(cell, taken);
    }
    changed = true;
    room = bladed ? std::max(0, std::min(column.body, kKnifeHold) - column.paint) : column.bottom();
  }
  if constexpr (kDry) return;
  if (tool == Tool::Brush && forward)
    take = fractions.carried(ColumnFractions::Take, k, smearShare(cell.wet.a, cell.grid.r, travel256));
  if (tool == Tool::Knife) left = std::max(0, take - room);
  take = std::min(take, room);
  if (take > 0) {
    head.hang(k, take, {cell.wet.r, cell.wet.g, cell.wet.b, headPaintKind(cell.grid.r)});
    lift(cell, take);
    changed = true;
  }
  if (tool == Tool::Roller) trade(head, k, travel256, fractions, cell, changed);
}

// Moves `count` bytes of one window cell's wet paint onto another, its colour and wetness with it.
void movePaint(StrokeWindow& window, std::size_t fromX, std::size_t fromY, std::size_t toX, std::size_t toY, int count) {
  StrokeWindow::Cell from = window.get(fromX, fromY), to = window.get(toX, toY);
  deposit(to, {count, count * from.wet.r, count * from.wet.g, count * from.wet.b, count * from.grid.r});
  lift(from, count);
  window.put(fromX, fromY, from);
  window.put(toX, toY, to);
}

// What a knife's blade drives before it. Drawn forward through wet paint standing higher than the
// blade, each column scrapes all of it up, but holds no more than its blade carries; the rest it
// leaves (leave(), from the column that owns the cell). After the visit's meetings the blade
// pushes that rest off the cells under it, cell after cell in the head's fixed order, to the cells
// just past the blade ahead, half ahead and beside it (the first one along each way that is not
// under the blade and has room), lowest first: it raises them to one level as far as the paint
// goes. So a knife cuts a trench down to its blade through paint thicker than it can carry and
// heaps what it moves into a bank before it and ridges along its sides; the bank goes on with it
// and stays where the stroke ends. Paint is pushed neither into a masked cell nor past one, nor out
// of the window; what finds no room stays where it was. A stroke's first sample, where the blade
// lands, goes no way and pushes nothing.
class BladePush {
 public:
  BladePush(StrokeWindow& window, const HeadWalk& walk)
      : window_(window), walk_(walk), left_(window.width() * window.height(), 0) {}

  void leave(std::size_t cx, std::size_t cy, int amount) {
    left_[cy * window_.width() + cx] = static_cast<std::uint8_t>(amount);
  }

  // Where the blade lands it goes no way: what it left there stays, and is not pushed later either.
  void push() {
    const HeadWalk::Direction d = walk_.direction();
    const bool goes = d.x != 0 || d.y != 0, allOpen = goes && walk_.allOpenUnder();
    walk_.eachCellMet([&](std::size_t cx, std::size_t cy) {
      std::uint8_t& left = left_[cy * window_.width() + cx];
      if (left == 0) return;
      if (goes) pushOff(cx, cy, std::min<int>(left, window_.thickness(cx, cy)), d, allOpen);
      left = 0;
    });
  }

 private:
  struct Target {
    long x, y;
    int height, share;
  };
  // The ways paint goes from under the blade: ahead, half ahead to either side, and to either side,
  // as (cos, sin) of the turn from the way the blade travels.
  static constexpr std::array<std::array<float, 2>, 5> kWays = {
      {{1, 0}, {0.70710678f, 0.70710678f}, {0.70710678f, -0.70710678f}, {0, 1}, {0, -1}}};
  // How far past the cell a way is followed: across the widest blade and a few cells beyond.
  static constexpr int kFarthest = 96;

  void pushOff(std::size_t cx, std::size_t cy, int amount, HeadWalk::Direction d, bool allOpen) {
    if (d.x != direction_.x || d.y != direction_.y) followWays(d);
    const HeadWalk::Step corner = walk_.corner();
    const long rx = static_cast<long>(cx) - corner.x, ry = static_cast<long>(cy) - corner.y;
    std::array<Target, kWays.size()> targets;
    std::size_t count = 0;
    for (std::size_t way = 0; way < kWays.size(); ++way) {
      Target t;
      // Where every cell under the blade is open, the way goes straight to where it leaves it.
      const int exit = exitStep(way, rx, ry);
      if (!firstWithRoom(cx, cy, way, allOpen ? exit : 1, exit, t)) continue;
      const auto same = [&](const Target& o) { return o.x == t.x && o.y == t.y; };
      if (std::none_of(targets.begin(), targets.begin() + static_cast<std::ptrdiff_t>(count), same)) targets[count++] = t;
    }
    levelOut(targets.data(), count, amount);
    for (std::size_t i = 0; i < count; ++i)
      if (targets[i].share > 0)
        movePaint(window_, cx, cy, static_cast<std::size_t>(targets[i].x), static_cast<std::size_t>(targets[i].y), targets[i].share);
  }

  // The steps of each way for the blade travelling along `d`, as whole-cell offsets from the cell
  // they start from: step s lands on the cell holding the point s cells on from the cell's centre.
  // A stroke's samples mostly share their way, so the steps are worked out when it changes.
  void followWays(HeadWalk::Direction d) {
    direction_ = d;
    for (std::size_t way = 0; way < kWays.size(); ++way) {
      const float ux = d.x * kWays[way][0] - d.y * kWays[way][1], uy = d.x * kWays[way][1] + d.y * kWays[way][0];
      for (int step = 1; step <= kFarthest; ++step) {
        const float s = static_cast<float>(step);
        steps_[way][static_cast<std::size_t>(step - 1)] = {std::lround(std::floor(0.5f + ux * s)),
                                                           std::lround(std::floor(0.5f + uy * s))};
      }
    }
    const int reach = walk_.reachCells();
    side_ = 2 * reach + 1;
    for (auto& exits : exits_) exits.assign(static_cast<std::size_t>(side_ * side_), 0);
  }

  // The first step along `way` from the cell (rx, ry) off the head's corner that leaves the blade
  // behind, worked out once a way for every such cell (0: not yet); the blade's shape relative to
  // its corner is the same at every sample of a dispatch.
  int exitStep(std::size_t way, long rx, long ry) {
    const long reach = side_ / 2;
    if (rx < -reach || ry < -reach || rx > reach || ry > reach) return 1;
    std::uint8_t& exit = exits_[way][static_cast<std::size_t>((ry + reach) * side_ + rx + reach)];
    if (exit == 0) {
      const HeadWalk::Step corner = walk_.corner();
      int step = 1;
      for (; step < kFarthest; ++step) {
        const Offset o = steps_[way][static_cast<std::size_t>(step - 1)];
        if (!walk_.under(corner.x + rx + o.x, corner.y + ry + o.y)) break;
      }
      exit = static_cast<std::uint8_t>(step);
    }
    return exit;
  }

  // The first cell from (cx, cy) along `way`, from step `first` on, that is not under the blade and
  // has room, the steps before `exit` lying under it; none when the way leaves the window or meets
  // a masked cell first.
  bool firstWithRoom(std::size_t cx, std::size_t cy, std::size_t way, int first, int exit, Target& out) const {
    for (int step = first; step <= kFarthest; ++step) {
      const Offset o = steps_[way][static_cast<std::size_t>(step - 1)];
      const long x = static_cast<long>(cx) + o.x, y = static_cast<long>(cy) + o.y;
      if (!walk_.open(x, y)) return false;
      if (step < exit || walk_.under(x, y)) continue;
      const int height = window_.thickness(static_cast<std::size_t>(x), static_cast<std::size_t>(y));
      if (height < static_cast<int>(MAX_DEPTH)) {
        out = {x, y, height, 0};
        return true;
      }
    }
    return false;
  }

  // Shares `amount` over the targets lowest first: the highest level to which it raises them all
  // (no higher than a cell holds), the bytes left over one each to the targets still at that level
  // in their order. What no target has room for is shared out to none.
  static void levelOut(Target* targets, std::size_t count, int amount) {
    if (count == 0) return;
    // Filled lowest first, the level rises over the k lowest targets to (amount + their heights) / k
    // until it would pass the next one's height.
    std::array<int, kWays.size()> heights{};
    for (std::size_t i = 0; i < count; ++i) heights[i] = targets[i].height;
    std::sort(heights.begin(), heights.begin() + static_cast<std::ptrdiff_t>(count));
    int level = 0, below = 0;
    for (std::size_t k = 1; k <= count; ++k) {
      below += heights[k - 1];
      level = (amount + below) / static_cast<int>(k);
      if (k == count || level <= heights[k]) break;
    }
    level = std::min(level, static_cast<int>(MAX_DEPTH));
    int spare = amount;
    for (std::size_t i = 0; i < count; ++i) targets[i].share = std::max(0, level - targets[i].height), spare -= targets[i].share;
    for (std::size_t i = 0; i < count && spare > 0; ++i)
      if (targets[i].height + targets[i].share == level && level < static_cast<int>(MAX_DEPTH)) ++targets[i].share, --spare;
  }

  struct Offset {
    long x, y;
  };

  StrokeWindow& window_;
  const HeadWalk& walk_;
  gpu::ScratchArray<std::uint8_t> left_;
  HeadWalk::Direction direction_;  // the way the steps below were worked out for
  std::array<std::array<Offset, kFarthest>, kWays.size()> steps_{};
  long side_ = 0;
  std::array<gpu::ScratchArray<std::uint8_t>, kWays.size()> exits_;
};

// A roller rolls on a share of the wet paint under it: after each visit's meetings, every cell
// under the drum gives one part in kRollerCarry of its wet paint (the wetter, the more) to the
// cell as far on as the drum moves on to the next visit, which is under the drum there. The cells
// are taken foremost first, so each moves only paint that lay there before. A cell gives at every
// visit the drum covers it and gets at every visit the drum comes to cover it, as often, so over
// an even film the film stays level; but paint rides on under the drum for as long as the drum
// covers it, so each colour is carried on into the next, and where the film ends the drum rolls
// the paint on beyond it. Paint goes neither into a masked cell nor out of the window, nor past a
// full cell's room.
class DrumCarry {
 public:
  DrumCarry(StrokeWindow& window, const HeadWalk& walk) : window_(window), walk_(walk) {}

  void roll() {
    const HeadWalk::Step step = walk_.stepOn();
    if (step.x == 0 && step.y == 0) return;
    cells_.clear();
    walk_.eachCellMet([&](std::size_t cx, std::size_t cy) {
      if (window_.get(cx, cy).wet.a > 0)
        cells_.push_back({cx, cy, static_cast<long>(cx) * step.x + static_cast<long>(cy) * step.y});
    });
    std::sort(cells_.begin(), cells_.end(), [](const Cell& a, const Cell& b) {
      return a.ahead != b.ahead ? a.ahead > b.ahead : a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    for (const Cell& c : cells_) {
      const long x = static_cast<long>(c.x) + step.x, y = static_cast<long>(c.y) + step.y;
      if (!walk_.open(x, y)) continue;
      const StrokeWindow::Cell from = window_.get(c.x, c.y);
      const int room = static_cast<int>(MAX_DEPTH) - window_.get(static_cast<std::size_t>(x), static_cast<std::size_t>(y)).wet.a;
      const int share = std::min(room, from.wet.a * from.grid.r / (kRollerCarry * kFullWet));
      if (share > 0) movePaint(window_, c.x, c.y, static_cast<std::size_t>(x), static_cast<std::size_t>(y), share);
    }
  }

 private:
  struct Cell {
    std::size_t x, y;
    long ahead;  // how far along the way the drum moves on
  };

  StrokeWindow& window_;
  const HeadWalk& walk_;
  std::vector<Cell> cells_;
};

template <bool kDry>
void walkStroke(const gpu::Dispatch& dispatch, Tool tool, const Drawing& drawing) {
  StrokeWindow window(dispatch, kDry);
  HeadWalk walk(dispatch);
  if (!walk || window.width() == 0) return;
  ColumnFractions fractions(dispatch, walk.head());
  // Byte 1 of the pencil state: drawing forward (a knife that is not only lays its paint).
  const bool forward = dispatch.bufferLength(BUFFER_PENCIL_STATE) < 2 || dispatch.bufferBytes(BUFFER_PENCIL_STATE)[1] != 0;
  const bool pushes = !kDry && forward && tool == Tool::Knife, rolls = !kDry && tool == Tool::Roller;
  std::optional<BladePush> blade;
  std::optional<DrumCarry> drum;
  if (pushes) blade.emplace(window, walk);
  if (rolls) drum.emplace(window, walk);
  const auto meeting = [&](std::size_t k, int rise, int press, std::size_t cx, std::size_t cy) {
    StrokeWindow::Cell cell = window.get(cx, cy);
    Texel dry;
    if constexpr (kDry) dry = window.dry(cx, cy);
    bool changed = false;
    int left = 0;
    meet<kDry>(tool, drawing.thickness256, forward, rise, press, walk.travel256(), walk.head(), fractions, k, cell, dry,
               changed, left);
    if (left > 0 && blade) blade->leave(cx, cy, left);
    if (!changed) return;
    if constexpr (kDry) {
      window.putDry(cx, cy, cell, dry);
    } else {
      window.put(cx, cy, cell);
    }
  };
  walk.eachMeeting(window.width(), window.height(), meeting, [&] {
    if (blade) blade->push();
    if (drum) drum->roll();
  });
  if constexpr (!kDry) walk.holdTrail(window);
  walk.writeHead();
  fractions.write();
}

void paint(const gpu::Dispatch& dispatch, Tool tool) {
  Drawing drawing = drawingArgument(dispatch);
  // The roller offers no wet drawing to switch off (so the main canvas sends it mode 1): it lays no
  // load of its own, only rolls on the wet paint it meets, and that stays wet.
  if (tool == Tool::Roller) drawing.dry = false;
  if (drawing.dry) {
    walkStroke<true>(dispatch, tool, drawing);
  } else {
    walkStroke<false>(dispatch, tool, drawing);
  }
}

// The paint a head column takes from one window cell when a pattern is picked: wet over dry paint,
// or, on a bare cell, the given colour (the canvas's background) as a full load at the drawing's
// thickness, as a fill loads. A column of the wide brushes' flat head takes it into its load well.
TESS_KERNEL_INLINE void pickColumn(Tool tool, const gpu::TexelView& read, const gpu::TexelView& write,
                                   const gpu::TexelView& wet, const gpu::TexelView& dry, const gpu::TexelView& grid,
                                   std::size_t i, std::size_t j, std::size_t cx, std::size_t cy, Texel background,
                                   const Drawing& drawing) {
  const bool flat = tool == Tool::WideBrush;
  const HeadColumn column = flat ? HeadColumn{} : headColumn(read, i, j);
  if (!flat && !column.head) return;
  int room = flat ? kWellBytes : column.bottom();
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
    amount = drawing.scaled(room);
  } else {
    return;
  }
  const int count = std::min(room, amount);
  if (flat) {
    writeFlatColumn(write, i, j, filledFlatColumn(i, j, {paint, count}));
    return;
  }
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
  if (tool == Tool::WideBrush && !holdsWells(write)) return;
  DAEToolDescriptor descriptor;
  const bool described = descriptorArgument(dispatch, descriptor);
  const HeadPlacement placement(read, described ? &descriptor : nullptr);
  const Drawing drawing = drawingOf(described ? &descriptor : nullptr);
  const Texel background = bytesOf(float4Argument(dispatch, BUFFER_COLOR, {0, 0, 0, 0}));
  const float sx = HeadPlacement::nearestCorner(samples.front().x), sy = HeadPlacement::nearestCorner(samples.front().y);
  const std::size_t windowWidth = wet.width(), windowHeight = wet.height();
  gpu::forEachThread(dispatch, gpu::Size{std::min(read.width(), write.width()), std::min(read.height(), write.height()), 1},
                     [=](gpu::uint3 p) {
                       std::size_t cx, cy;
                       if (!placement.cellUnder(p.x, p.y, sx, sy, windowWidth, windowHeight, cx, cy)) return;
                       pickColumn(tool, read, write, wet, dry, grid, p.x, p.y, cx, cy, background, drawing);
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
