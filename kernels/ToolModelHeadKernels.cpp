// The tool-model kernels that work on the head alone: the initialiser that shapes an empty head,
// the colour fills that load it with paint, and the height preview.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "gpu/KernelRuntime.h"
#include "gpu/Parallel.h"
#include "kernels/FlatHead.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"

namespace kernels {
namespace {

using namespace tessivarium;

// How many cells of paint a fill of force 1 hangs under a column's body: a brush soaks up a deep
// load (nearly all the room the bristle heads leave under the body, about 34 cells) and a knife's
// blade carries a thin one. The wide brushes' flat head fills its columns' load wells instead.
constexpr int kBrushLoad = 32;
constexpr int kKnifeLoad = 8;

// The shape of an empty head from its descriptor: the columns inside the head circle are the tool,
// whose body begins at the origin's z and, for a brush, curves up away from the circle's centre
// (a rounded tip); a knife's blade is flat.
class HeadShape {
 public:
  HeadShape(const DAEToolDescriptor* d, std::size_t depth) : depth_(static_cast<int>(depth)) {
    if (d == nullptr) return;  // no descriptor: no tool, the head is all air
    const bool finite = std::isfinite(d->headCenter.x) && std::isfinite(d->headCenter.y) &&
                        std::isfinite(d->headRadius) && d->headRadius > 0 && std::isfinite(d->origin.z);
    if (!finite) return;
    centreX_ = d->headCenter.x, centreY_ = d->headCenter.y, radius_ = d->headRadius;
    tip_ = std::clamp(d->origin.z, 0.0f, static_cast<float>(depth));
    flat_ = isKnifeIndex(d->toolType);
    valid_ = true;
  }

  // The body's lowest cell in column (x, y), or the depth when the column is no part of the tool.
  TESS_KERNEL_INLINE int body(std::size_t x, std::size_t y) const {
    if (!valid_) return depth_;
    const float dx = static_cast<float>(x) + 0.5f - centreX_, dy = static_cast<float>(y) + 0.5f - centreY_;
    const float d2 = dx * dx + dy * dy;
    if (d2 > radius_ * radius_) return depth_;
    const float lift = flat_ ? 0.0f : d2 / (2.0f * radius_);
    return std::min(depth_, static_cast<int>(std::lround(tip_ + lift)));
  }

 private:
  // The knives' case indices, knife1 to knife6.
  static bool isKnifeIndex(std::uint32_t type) { return type >= 16 && type <= 21; }

  int depth_;
  float centreX_ = 0, centreY_ = 0, radius_ = 1, tip_ = 0;
  bool flat_ = false, valid_ = false;
};

// The working grid copied whole from the read to the write slot, row by row.
void copyGrid(const gpu::TexelView& from, const gpu::TexelView& to) {
  if (!from || !to) return;
  const std::size_t width = std::min(from.width(), to.width()), height = std::min(from.height(), to.height());
  for (std::size_t y = 0; y < height; ++y) {
    if (from.pixelFormat() == to.pixelFormat()) {
      std::memcpy(to.texel(0, y), from.texel(0, y), width * from.bytesPerPixel());
    } else {
      for (std::size_t x = 0; x < width; ++x) store(to, load(from, x, y), x, y);
    }
  }
}

// A fill of one column of `head` in place: the paint under the body is replaced by `load` cells of
// `paint` (its alpha the paint's wetness kind), as many as fit, scaled by the drawing's thickness,
// and air below them; the body is not touched.
void fillBristleColumn(const gpu::TexelView& head, std::size_t x, std::size_t y, int load, Texel paint,
                       const Drawing& drawing) {
  const HeadColumn column = headColumn(head, x, y);
  if (!column.head) return;
  const int first = std::max(0, column.body - drawing.scaled(std::min(load, column.body)));
  for (int z = 0; z < column.body; ++z) store(head, z >= first ? paint : Texel{}, x, y, static_cast<std::size_t>(z));
}

// A fill of one column of the wide brushes' flat head: its load well holds `load` bytes of `paint`,
// scaled by the drawing's thickness, and its tip is emptied.
void fillFlatColumn(const gpu::TexelView& head, std::size_t x, std::size_t y, int load, Texel paint,
                    const Drawing& drawing) {
  writeFlatColumn(head, x, y, filledFlatColumn(x, y, {paint, std::min(kWellBytes, drawing.scaled(load))}));
}

template <class FillColumn>
void fill(const gpu::Dispatch& dispatch, int fullLoad, FillColumn fillColumn) {
  const gpu::TexelView head = dispatch.texels(TEXTURE_TOOL_WRITE);
  // Without a colour there is nothing to fill with.
  if (!head || dispatch.bufferBytes(BUFFER_COLOR) == nullptr) return;
  Texel paint = bytesOf(float4Argument(dispatch, BUFFER_COLOR, {}));
  paint.a = headPaintKind(paint.a);  // the colour's alpha carries the wetness
  const float force = floatArgument(dispatch, BUFFER_FORCE, 1.0f);
  const float share = std::isfinite(force) ? std::clamp(force, 0.0f, 1.0f) : 0.0f;
  const int load = static_cast<int>(std::lround(share * static_cast<float>(fullLoad)));
  const Drawing drawing = drawingArgument(dispatch);
  // One thread per column (the grid is 3-D over the head; its first slice does the work).
  gpu::forEachThread(dispatch, gpu::Size{head.width(), head.height(), 1},
                     [=](gpu::uint3 p) { fillColumn(head, p.x, p.y, load, paint, drawing); });
}

// The preview greys of row y: for each column how far the head reaches down towards the canvas,
// paint included (white at slice 0, black for a column that holds nothing). The slices are walked
// in order, each slice's row being contiguous.
void heightPreviewRow(const gpu::TexelView& head, const gpu::TexelView& preview, std::size_t y) {
  const std::size_t width = std::min(head.width(), preview.width()), depth = head.depth();
  std::vector<std::size_t> lowest(width, depth);
  std::size_t found = 0;
  for (std::size_t z = 0; z < depth && found < width; ++z)
    for (std::size_t x = 0; x < width; ++x)
      if (lowest[x] == depth && load(head, x, y, z).a != kHeadAir) lowest[x] = z, ++found;
  for (std::size_t x = 0; x < width; ++x) store(preview, grey(static_cast<std::uint8_t>((depth - lowest[x]) * 255 / depth)), x, y);
  for (std::size_t x = width; x < preview.width(); ++x) store(preview, grey(0), x, y);
}

}  // namespace

void toolModelInitialize(const gpu::Dispatch& dispatch) {
  const gpu::TexelView head = dispatch.texels(TEXTURE_TOOL_WRITE);
  // The grid pair is exchanged once this pass is recorded, so the window's grid must survive in
  // the write texture: a fill or clean in mid-stroke keeps the paint laid so far.
  copyGrid(dispatch.texels(TEXTURE_GRID_READ), dispatch.texels(TEXTURE_GRID_WRITE));
  if (!head) return;
  DAEToolDescriptor descriptor;
  const HeadShape shape(descriptorArgument(dispatch, descriptor) ? &descriptor : nullptr, head.depth());
  gpu::forEachThread(dispatch, head, [=](gpu::uint3 p) {
    const bool solid = static_cast<int>(p.z) >= shape.body(p.x, p.y);
    store(head, solid ? Texel{0, 0, 0, kHeadSolid} : Texel{}, p.x, p.y, p.z);
  });
}

void toolModelBrushFill(const gpu::Dispatch& dispatch) { fill(dispatch, kBrushLoad, fillBristleColumn); }

void toolModelKnifeFill(const gpu::Dispatch& dispatch) { fill(dispatch, kKnifeLoad, fillBristleColumn); }

void toolModelWideBrushFill(const gpu::Dispatch& dispatch) {
  // A head too shallow for the wells has none to fill.
  if (!holdsWells(dispatch.texels(TEXTURE_TOOL_WRITE))) return;
  fill(dispatch, kWellBytes, fillFlatColumn);
}

void toolModelPaintHeight(const gpu::Dispatch& dispatch) {
  const gpu::TexelView head = dispatch.texels(TEXTURE_TOOL_READ), preview = dispatch.texels(TEXTURE_HEIGHT_IMAGE_WRITE);
  if (!preview) return;
  // One row of the preview at a time on the worker threads.
  gpu::parallelFor(0, preview.height(), 4, [&](std::size_t first, std::size_t end) {
    for (std::size_t y = first; y < end; ++y) {
      if (head && y < head.height()) {
        heightPreviewRow(head, preview, y);
      } else {
        for (std::size_t x = 0; x < preview.width(); ++x) store(preview, grey(0), x, y);
      }
    }
  });
}

}  // namespace kernels
