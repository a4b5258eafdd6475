// The wide brushes' paint kernel, over their flat head: a W x 12 x 3 box whose columns are wells
// (kernels/FlatHead.h), each laying a share of its paint for every cell it travels, across a band
// as wide as the head.
//
// It walks the samples as the other paint passes do (kernels/HeadStroke.h); a dispatch costs the
// samples x the head's columns, each meeting one window cell.

#include <algorithm>
#include <cstdint>

#include "gpu/ScratchArray.h"
#include "kernels/FlatHead.h"
#include "kernels/HeadStroke.h"
#include "kernels/KernelList.h"
#include "kernels/Travel.h"

namespace kernels {
namespace {

using namespace tessivarium;

// For every cell it travels at the press of an upright force of 1, a column lays one part in
// kLoadSpread of its load, so a full load thins out over some hundreds of cells, and one part in
// kTipSpread of what its tip took up, which it drags on a short way; in proportion to the press
// otherwise.
constexpr std::int64_t kLoadSpread = 256;
constexpr std::int64_t kTipSpread = 16;
constexpr std::int64_t kFullPress = static_cast<std::int64_t>(kPressBytes);
// A column smears up, after laying, part of a cell's wet paint (the wetter, the more), as far as its
// tip has room: fully wet, it would leave three quarters of it every two cells it travels. By the
// distance, as it lays: a densely sampled stroke meets each cell more often, and taking a share a
// meeting it would take more of the trail up again. A trail thinner than kSmearFloor bytes fully
// wet, a quarter of which makes no byte, stays where it lies. The part left over a travel is 3/4 to
// the power of the travel over two cells (kernels/Travel.h).
constexpr int kSmearFloor = 4;
constexpr LeftOver kSmearLeft(0.75, 1);

// What a column smears up of `cell`'s wet paint, in 1/256ths of a byte, over `travel256`.
int smearShare(const StrokeWindow::Cell& cell, int travel256) {
  if (cell.wet.a * cell.grid.r < kSmearFloor * kFullWetness) return 0;
  const double wetness = static_cast<double>(cell.grid.r) / kFullWetness;
  return static_cast<int>(256.0 * cell.wet.a * wetness * (1 - kSmearLeft.after(travel256)));
}

// What column `c` lays, in 1/256ths of a byte, over `travel256` at `press`.
int layShare(const FlatColumn& c, int travel256, int press) {
  const std::int64_t weighted = c.tip.amount * (kLoadSpread / kTipSpread) + c.load.amount;
  return static_cast<int>(std::int64_t{travel256} * press * weighted / (kFullPress * kLoadSpread));
}

// Takes `count` bytes off column `c`, the tip's first.
PaintSum take(FlatColumn& c, int count) {
  PaintSum sum;
  sum.amount = count;
  for (Well* well : {&c.tip, &c.load}) {
    const int n = std::min(count, well->amount);
    sum.r += n * well->paint.r, sum.g += n * well->paint.g, sum.b += n * well->paint.b, sum.wetness += n * well->paint.a;
    well->amount -= n, count -= n;
  }
  return sum;
}

// Takes `count` bytes of `paint` into the tip, mixed with what it holds by amount: (a x tip + b x
// count) / total to nearest, halves up, by one reciprocal, exact for totals up to 510 as in
// deposit().
void hangOnTip(FlatColumn& c, int count, Texel paint) {
  Well& tip = c.tip;
  const int total = tip.amount + count;
  const float inverse = 1.0f / static_cast<float>(total);
  const auto mix = [&](int a, int b) {
    return static_cast<std::uint8_t>(static_cast<float>(a * tip.amount + b * count) * inverse + 0.5001f);
  };
  tip.paint = {mix(tip.paint.r, paint.r), mix(tip.paint.g, paint.g), mix(tip.paint.b, paint.b),
               headPaintKind(mix(tip.paint.a, paint.a))};
  tip.amount = total;
}

// The flat head as read at slot 9, one column per head cell across, and written at slot 10, with
// the fractions of a byte each column has still to lay and to smear up, which its ledger carries
// from one dispatch to the next: the smear takes up what the column laid a moment before and the
// tip lays it again first, so fractions started afresh every dispatch would make a stroke lay
// differently as its samples are grouped. A column that holds nothing keeps no ledger; its
// fractions start somewhere in a byte, by a hash of the column and of the dispatch's first
// sample's place, so that what one dispatch leaves another gains.
class FlatHead {
 public:
  FlatHead(const gpu::Dispatch& dispatch, std::uint32_t seed)
      : read_(dispatch.texels(TEXTURE_TOOL_READ)), write_(dispatch.texels(TEXTURE_TOOL_WRITE)) {
    if (!holdsWells(read_) || !holdsWells(write_)) return;
    width_ = std::min(read_.width(), write_.width());
    const std::size_t height = std::min(read_.height(), write_.height());
    columns_.assign(width_ * height, FlatColumn{});
    for (std::size_t k = 0; k < columns_.size(); ++k) {
      columns_[k] = readFlatColumn(read_, k % width_, k / width_);
      if (columns_[k].total() > 0) continue;
      columns_[k].lay256 = startingFraction(seed, k);
      columns_[k].smear256 = startingFraction(~seed, k);
    }
  }

  explicit operator bool() const { return !columns_.empty(); }
  FlatColumn& column(std::size_t k) { return columns_[k]; }

  // The whole bytes column k lays of `amount256`, the rest carried to its next meeting.
  int carriedLay(std::size_t k, int amount256) { return carriedBytes(columns_[k].lay256, amount256); }
  // The whole bytes column k smears up of `amount256`, the rest carried to its next meeting.
  int carriedSmear(std::size_t k, int amount256) { return carriedBytes(columns_[k].smear256, amount256); }

  void write() const {
    for (std::size_t k = 0; k < columns_.size(); ++k) writeFlatColumn(write_, k % width_, k / width_, columns_[k]);
  }

 private:
  gpu::TexelView read_, write_;
  std::size_t width_ = 0;
  gpu::ScratchArray<FlatColumn> columns_;
};

}  // namespace

// The flat head stands level: every column meets the cell under it whenever the sample presses at
// all. It lays by the distance travelled since the sample before, the fraction of a byte carried
// to its next meeting, so its trail is as long however densely the samples come; then it smears,
// taking up part of the cell's wet paint into its tip, by the distance too. The pass binds no
// descriptor, so the head's centre sits on each sample, unturned, and the paint is laid wet at the
// standard thickness.
void wideBrushPaint(const gpu::Dispatch& dispatch) {
  StrokeWindow window(dispatch);
  HeadWalk walk(dispatch, /*ownPaint=*/true);
  FlatHead head(dispatch, walk.seed());
  if (!walk || !head || window.width() == 0) return;
  walk.eachMeeting(window.width(), window.height(), [&](std::size_t k, int, int press, std::size_t cx, std::size_t cy) {
    if (press <= 0) return;
    FlatColumn& column = head.column(k);
    StrokeWindow::Cell cell = window.get(cx, cy);
    bool changed = false;
    const int laid = head.carriedLay(k, layShare(column, walk.travel256(), press));
    const int give = std::min({laid, column.total(), static_cast<int>(MAX_DEPTH) - cell.wet.a});
    if (give > 0) {
      deposit(cell, take(column, give));
      changed = true;
    }
    const int due = head.carriedSmear(k, smearShare(cell, walk.travel256()));
    const int smear = std::min({due, static_cast<int>(cell.wet.a), kWellBytes - column.tip.amount});
    if (smear > 0) {
      hangOnTip(column, smear, {cell.wet.r, cell.wet.g, cell.wet.b, headPaintKind(cell.grid.r)});
      lift(cell, smear);
      changed = true;
    }
    if (changed) window.put(cx, cy, cell);
  });
  walk.holdTrail(window);
  head.write();
}

}  // namespace kernels
