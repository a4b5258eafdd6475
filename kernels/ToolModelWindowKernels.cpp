// The tool-model kernels that finish a stroke step in the working window: the overlay map that
// merges the paint pass's changes into the window, the blur that softens them, and the mask that
// ends the step (and carries the head on). The overlay map and the blur keep off the canvas's
// masked cells, so a masked cell ends the step as it began whatever the paint pass did.

#include <algorithm>

#include "gpu/KernelRuntime.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"
#include "kernels/WindowBlur.h"

namespace kernels {
namespace {

using namespace tessivarium;

// The common blur moves an eighth of the difference in thickness between two neighbours (times the
// wetness of the higher one, as a share of full wetness) from the higher to the lower.
constexpr int kBlurShare = 8;

}  // namespace

void toolModelOverlayMap(const gpu::Dispatch& dispatch) {
  const gpu::TexelView map = dispatch.texels(TEXTURE_GRID_READ), grid = dispatch.texels(TEXTURE_GRID_WRITE),
                       changes = dispatch.texels(TEXTURE_WET_READ), wet = dispatch.texels(TEXTURE_WET_WRITE),
                       dryChanges = dispatch.texels(TEXTURE_DRY_READ), dry = dispatch.texels(TEXTURE_DRY_WRITE);
  if (!map || !grid || !changes || !wet) return;
  const WindowMask mask(dispatch);
  const gpu::Size limit{std::min({wet.width(), grid.width(), map.width(), changes.width()}),
                        std::min({wet.height(), grid.height(), map.height(), changes.height()}), 1};
  gpu::forEachThread(dispatch, limit, [=](gpu::uint3 p) {
    const Texel changed = load(map, p.x, p.y);
    // A change to a masked cell is not taken, whichever paint pass made it.
    if (isStepMark(changed.b) && !mask.masked(p.x, p.y)) {
      store(grid, changed, p.x, p.y);
      store(wet, load(changes, p.x, p.y), p.x, p.y);
      // Paint laid dry: the cell's new dry texel, when the pass was given the dry pair.
      if (changed.b == kDryMark && dryChanges && dry) store(dry, load(dryChanges, p.x, p.y), p.x, p.y);
      return;
    }
    // Outside the map the wet changes texture holds stale paint and is not read; only the mark of an
    // earlier step is cleared.
    Texel current = load(grid, p.x, p.y);
    if (isStepMark(current.b)) {
      current.b = 0;
      store(grid, current, p.x, p.y);
    }
  });
}

void toolModelBlurImage(const gpu::Dispatch& dispatch) { blurAroundMarks(dispatch, LevellingGift<kBlurShare>{}); }

void toolModelMask(const gpu::Dispatch& dispatch) {
  // The head passes through unchanged, every cell of it, whatever the window's size.
  carryHead(dispatch, dispatch.texels(TEXTURE_TOOL_READ), dispatch.texels(TEXTURE_TOOL_WRITE));
  // The overlay map and the blur have kept the step off the masked cells already; what is left is
  // to end the step: its marks are cleared, but for the held ones.
  const gpu::TexelView grid = dispatch.texels(TEXTURE_GRID_READ), gridOut = dispatch.texels(TEXTURE_GRID_WRITE);
  if (!grid || !gridOut) return;
  gpu::forEachThread(dispatch, gridOut, [=](gpu::uint3 p) {
    Texel cell = load(grid, p.x, p.y);
    // A cell held back from this step's blur keeps its mark, so that the next step, which levels
    // it once the head has left it, knows it from one the head never changed.
    if (!isStepMark(cell.b) || cell.b == kHeldMark) return;
    cell.b = 0;
    store(gridOut, cell, p.x, p.y);
  });
}

}  // namespace kernels
