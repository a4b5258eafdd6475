// The towel's kernels: the paint pass that wipes wet paint off the window into the towel's cloth,
// its gentle blur, and the map pass, which merges a step's changes as the overlay map does.

#include <algorithm>
#include <cstdint>

#include "gpu/ScratchArray.h"
#include "kernels/HeadStroke.h"
#include "kernels/KernelList.h"
#include "kernels/WindowBlur.h"

namespace kernels {
namespace {

using namespace tessivarium;

// The towel only smudges the edges of its track: half the common blur's rate.
constexpr int kTowelBlurShare = 16;

// The press at which a column lifts a fully wet cell's paint whole for each cell it travels; a
// lighter press lifts a share in proportion, drier paint less. A towel lying flat at force 1
// presses half as much.
constexpr int kLiftPress = static_cast<int>(kPressBytes);

// The cloth soaks the paint into its fibres: each paint cell under a column's body holds this many
// bytes, so a towel takes up many times what a brush of its size would hold.
constexpr int kSoakBytes = 32;

// What each towel column holds in its lowest paint cell short of a full one: the red byte of the
// column's lowest body cell, which the initialiser leaves at 0 (a clean towel lacks nothing).
class SoakedColumns {
 public:
  explicit SoakedColumns(const gpu::Dispatch& dispatch)
      : read_(dispatch.texels(TEXTURE_TOOL_READ)), write_(dispatch.texels(TEXTURE_TOOL_WRITE)),
        width_(std::min(read_.width(), write_.width())), height_(std::min(read_.height(), write_.height())),
        lack_(width_ * height_, 0), changed_(width_ * height_, 0) {}

  // Reads column k's lack; a column holding no paint lacks nothing.
  void read(std::size_t k, const HeadColumn& column) {
    if (!column.head || column.paint == 0) return;
    lack_[k] = std::min<int>(load(read_, k % width_, k / width_, static_cast<std::size_t>(column.body)).r, kSoakBytes - 1);
  }

  // The bytes column k can still take up.
  int room(std::size_t k, const HeadColumn& column) const { return lack_[k] + column.bottom() * kSoakBytes; }

  // Soaks `amount` bytes of `paint` into column k: into its lowest cell first, mixed with what that
  // cell holds by amount, then into new cells hung under it.
  void soak(StrokeHead& head, std::size_t k, int amount, Texel paint) {
    int& lack = lack_[k];
    changed_[k] = 1;
    if (lack > 0) {
      const int n = std::min(amount, lack), held = kSoakBytes - lack, total = held + n;
      const PaintSum lowest = head.take(k, 1);
      head.hang(k, 1, {weighted(lowest.r, held, paint.r * n, total), weighted(lowest.g, held, paint.g * n, total),
                       weighted(lowest.b, held, paint.b * n, total),
                       headPaintKind(weighted(lowest.wetness, held, paint.a * n, total))});
      lack -= n, amount -= n;
    }
    if (amount == 0) return;
    const int cells = (amount + kSoakBytes - 1) / kSoakBytes;
    head.hang(k, cells, paint);
    lack = cells * kSoakBytes - amount;
  }

  // Writes the lack of every column that soaked paint into its body cell at slot 10.
  void write(StrokeHead& head) const {
    for (std::size_t k = 0; k < lack_.size(); ++k) {
      if (!changed_[k]) continue;
      const std::size_t x = k % width_, y = k / width_, z = static_cast<std::size_t>(head.column(k).body);
      Texel body = load(read_, x, y, z);
      body.r = static_cast<std::uint8_t>(lack_[k]);
      store(write_, body, x, y, z);
    }
  }

  std::size_t size() const { return lack_.size(); }

 private:
  gpu::TexelView read_, write_;
  std::size_t width_, height_;
  gpu::ScratchArray<int> lack_;
  gpu::ScratchArray<std::uint8_t> changed_;
};

}  // namespace

void towelPaint(const gpu::Dispatch& dispatch) {
  StrokeWindow window(dispatch);
  HeadWalk walk(dispatch);
  if (!walk || window.width() == 0) return;
  StrokeHead& head = walk.head();
  SoakedColumns soaked(dispatch);
  for (std::size_t k = 0; k < soaked.size(); ++k) soaked.read(k, head.column(k));
  walk.eachMeeting(window.width(), window.height(), [&](std::size_t k, int rise, int press, std::size_t cx, std::size_t cy) {
    StrokeWindow::Cell cell = window.get(cx, cy);
    const int w = cell.wet.a;
    if (w == 0 || !reaches(rise, press, w)) return;
    // By the distance: the towel walks its path a cell at a time, and what it lifts over the way
    // it came, in 1/256ths of a byte, is carried in fractions of a byte from meeting to meeting.
    const std::int64_t share = std::int64_t{w} * cell.grid.r * std::min(press, kLiftPress) * walk.travel256();
    const int lifted = head.carriedLay(k, static_cast<int>(share / (kFullWetness * kLiftPress)));
    const int take = std::min({lifted, w, soaked.room(k, head.column(k))});
    if (take <= 0) return;
    soaked.soak(head, k, take, {cell.wet.r, cell.wet.g, cell.wet.b, headPaintKind(cell.grid.r)});
    lift(cell, take);
    window.put(cx, cy, cell);
  });
  walk.holdTrail(window);
  walk.writeHead();
  soaked.write(head);
}

void towelMapPaint(const gpu::Dispatch& dispatch) { toolModelOverlayMap(dispatch); }

void towelBlurImage(const gpu::Dispatch& dispatch) { blurAroundMarks(dispatch, LevellingGift<kTowelBlurShare>{}); }

}  // namespace kernels
