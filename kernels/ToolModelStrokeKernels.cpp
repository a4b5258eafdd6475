// The tool-model kernels that move paint between the head and the working window: the brush,
// knife and roller paints of a stroke step, and the pickups that load a head with the paint under
// one sample.
//
// A paint pass walks the samples in order (kernels/HeadStroke.h). It costs samples x head columns;
// the depth of a column is looked at once per dispatch, and then only the cells that change. What
// the head and the window lose and gain is counted in whole thickness bytes, so paint is conserved
// exactly up to the 255 ceiling.

#include <algorithm>
#include <cmath>
#include <vector>

#include "gpu/KernelRuntime.h"
#include "kernels/HeadStroke.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"

namespace kernels {
namespace {

using namespace tessivarium;

enum class Tool { Brush, Knife, WideBrush, Roller };

// The most paint cells a knife's blade carries, and how high over the surface it rides unpressed.
constexpr int kKnifeHold = 16;
constexpr int kKnifeLayer = 12;
// The film a roller lays over its whole footprint, in thickness bytes; it carries what a knife does.
constexpr int kRollerFilm = 6;
constexpr int kFullWet = kFullWetness;
// How far a brush spreads the paint its press brings onto the canvas: for each cell it travels it
// lays one part in so many of it (fully wet; the drier, the less). So a freshly loaded brush lays
// a few bytes a cell, which hide the canvas, and a trail that thins as it runs dry.
constexpr int kBrushSpread = 48;

// One head column meeting one window cell. The column's body stands `rise` bytes above the head's
// lowest point, which the press pushes down onto the canvas's dry surface.
//
// A brush's column meets the cell when the head's paint hanging under the body and the cell's wet
// paint together fill the gap left between body and surface. The paint that hangs past the gap is
// pressed onto the canvas; the bristles let it go as they travel, a share for each cell the head
// moved since the last sample (the wetter, the more), so a loaded brush lays a trail that thins
// as it runs dry, however densely the samples come. Then it smears: it takes up a quarter of the
// cell's wet paint (the wetter, the more).
//
// A knife's blade rides at a height over the surface that the press lowers: it lays its paint
// where the cell's paint stands lower, up to that height, and, drawing forward, scrapes up the wet
// paint standing higher (the wetter, the more; as much as the blade holds) to push it on to the
// next samples.
//
// A roller's surface is level: it is a knife whose blade rides at one film over the surface in
// every column, whatever the head's shape and the press, so it rolls the paint it meets into an
// even band, thinning where its load runs out.
//
// The drawing decides how the paint is laid: scaled by the tool's thickness (a blade's each
// meeting; a brush's through its load, which the fill scaled and of which it lays its share), and
// wet, or dry (then the dry paint stands on the surface too, building up under the tool as wet
// paint does, and the tool takes no wet paint up: the wet paint stays as it is).
//
// kDry says the paint is laid dry: `dry` is then the cell's dry paint (unused otherwise). Each way is
// its own instance, so the wet way carries no test of it per meeting.
template <bool kDry>
TESS_KERNEL_INLINE void meet(Tool tool, int thickness256, bool forward, int rise, int press, int travel256,
                             StrokeHead& head, std::size_t k, StrokeWindow::Cell& cell, Texel& dry, bool& changed) {
  HeadColumn& column = head.column(k);
  const int n = column.paint, w = cell.wet.a + (kDry ? dry.a : 0);
  if (n + w == 0) return;
  int give = 0, take = 0, room = column.bottom();
  const bool bladed = tool == Tool::Knife || tool == Tool::Roller;
  if (bladed) {
    const int blade = tool == Tool::Roller ? kRollerFilm : rise + std::max(0, kKnifeLayer - press / 2);
    if (w < blade) give = blade - w;
    if (thickness256 != kStandardThickness) give = head.carriedLay(k, give * thickness256);
    if (forward && w > blade) take = (w - blade) * cell.grid.r / kFullWet;
    room = std::max(0, std::min(column.body, kKnifeHold) - n);
  } else {
    const int gap = std::max(0, rise - press);
    if (n + w < gap) return;
    const int pressed = n - gap;
    if (pressed > 0) {
      const std::int64_t share = std::int64_t{pressed} * head.bottomWetness(k) * travel256 / (kBrushSpread * kFullWet);
      give = head.carriedLay(k, static_cast<int>(share));
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
  if (tool == Tool::Brush && forward) take = cell.wet.a * cell.grid.r / (4 * kFullWet);
  take = std::min(take, room);
  if (take > 0) {
    head.hang(k, take, {cell.wet.r, cell.wet.g, cell.wet.b, headPaintKind(cell.grid.r)});
    lift(cell, take);
    changed = true;
  }
}

template <bool kDry>
void walkStroke(const gpu::Dispatch& dispatch, Tool tool, const Drawing& drawing) {
  StrokeWindow window(dispatch, kDry);
  HeadWalk walk(dispatch);
  if (!walk || window.width() == 0) return;
  // Byte 1 of the pencil state: drawing forward (a knife that is not only lays its paint).
  const bool forward = dispatch.bufferLength(BUFFER_PENCIL_STATE) < 2 || dispatch.bufferBytes(BUFFER_PENCIL_STATE)[1] != 0;
  walk.eachMeeting(window.width(), window.height(), [&](std::size_t k, int rise, int press, std::size_t cx, std::size_t cy) {
    StrokeWindow::Cell cell = window.get(cx, cy);
    Texel dry;
    if constexpr (kDry) dry = window.dry(cx, cy);
    bool changed = false;
    meet<kDry>(tool, drawing.thickness256, forward, rise, press, walk.travel256(), walk.head(), k, cell, dry, changed);
    if (!changed) return;
    if constexpr (kDry) {
      window.putDry(cx, cy, cell, dry);
    } else {
      window.put(cx, cy, cell);
    }
  });
  walk.writeHead();
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
// thickness, as a fill loads.
TESS_KERNEL_INLINE void pickColumn(Tool tool, const gpu::TexelView& read, const gpu::TexelView& write,
                                   const gpu::TexelView& wet, const gpu::TexelView& dry, const gpu::TexelView& grid,
                                   std::size_t i, std::size_t j, std::size_t cx, std::size_t cy, Texel background,
                                   const Drawing& drawing) {
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
    amount = drawing.scaled(room);
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
