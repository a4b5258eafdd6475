// The wide brushes' paint kernel, over their flat head: a W x 12 x 3 box without a body, every
// column of which is tip, laying a thin film of its load across a band as wide as the head.
//
// It walks the samples as the other paint passes do (kernels/HeadStroke.h); a dispatch costs the
// samples x the head's columns, each meeting one window cell.

#include <algorithm>

#include "kernels/HeadStroke.h"
#include "kernels/KernelList.h"

namespace kernels {
namespace {

using namespace tessivarium;

// For every cell the head travels a column lays one cell of its load, and one more for every so
// many bytes of press (an upright stylus at force 2).
constexpr int kPressPerExtraCell = 48;
// The share of a cell's wet paint a column smears up after laying, one in so many (the wetter, the
// more), as far as the column has room.
constexpr int kSmearShare = 4;

}  // namespace

// The flat head stands level: every column meets the cell under it whenever the sample presses
// at all. It lays by the distance travelled since the sample before, the fraction of a byte carried
// to its next meeting, so its trail is as long however densely the samples come. The pass binds no
// descriptor, so the head's centre sits on each sample, unturned, and the paint is laid wet at the
// standard thickness.
void wideBrushPaint(const gpu::Dispatch& dispatch) {
  StrokeWindow window(dispatch);
  HeadWalk walk(dispatch, /*bodylessIsHead=*/true);
  if (!walk || window.width() == 0) return;
  StrokeHead& head = walk.head();
  walk.eachMeeting(window.width(), window.height(), [&](std::size_t k, int, int press, std::size_t cx, std::size_t cy) {
    if (press <= 0) return;
    StrokeWindow::Cell cell = window.get(cx, cy);
    const HeadColumn& column = head.column(k);
    bool changed = false;
    const int laid = head.carriedLay(k, (1 + press / kPressPerExtraCell) * walk.travel256());
    const int give = std::min({laid, column.paint, static_cast<int>(MAX_DEPTH) - cell.wet.a});
    if (give > 0) {
      deposit(cell, head.take(k, give));
      changed = true;
    }
    const int take = std::min(cell.wet.a * cell.grid.r / (kSmearShare * kFullWetness), column.bottom());
    if (take > 0) {
      head.hang(k, take, {cell.wet.r, cell.wet.g, cell.wet.b, headPaintKind(cell.grid.r)});
      lift(cell, take);
      changed = true;
    }
    if (changed) window.put(cx, cy, cell);
  });
  walk.writeHead();
}

}  // namespace kernels
