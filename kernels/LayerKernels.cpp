// The kernels that change a whole layer (or a rectangle of it) in place: drying its wet paint into
// its dry paint, and wetting it again. Each thread works on its own cell only, and each assigns from
// what the cell holds, so a second run changes nothing more than the first did.

#include <algorithm>
#include <cmath>

#include "gpu/KernelRuntime.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"

namespace kernels {
namespace {

using namespace tessivarium;

// A value on the 0 to 1 scale, clamped (a value that is not a number counts as 0).
float unitValue(float value) { return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f); }

// Calls cell(x, y) for every cell of the rectangle the dispatch covers: its thread position moved by
// the rectangle's origin at BUFFER_OFFSET (none: the whole layer), inside `layer`.
template <typename Cell>
void forEachLayerCell(const gpu::Dispatch& dispatch, const gpu::TexelView& layer, Cell&& cell) {
  if (!layer) return;
  const gpu::uint3 origin = offsetArgument(dispatch);
  gpu::forEachThread(dispatch, gpu::Size{layer.width(), layer.height(), 1}, [=](gpu::uint3 p) {
    std::size_t x, y, z;
    if (!offsetInto(layer, {p.x, p.y, 0}, {origin.x, origin.y, 0}, x, y, z)) return;
    cell(x, y);
  });
}

}  // namespace

void dryLayer(const gpu::Dispatch& dispatch) {
  const gpu::TexelView grid = dispatch.texels(TEXTURE_GRID_WRITE), wet = dispatch.texels(TEXTURE_WET_WRITE),
                       dry = dispatch.texels(TEXTURE_DRY_WRITE);
  forEachLayerCell(dispatch, dry, [=](std::size_t x, std::size_t y) {
    const Texel paint = load(wet, x, y);
    if (paint.a > 0) {
      // The wet paint settles on the dry paint: its colour over the dry colour by its coverage,
      // the thicknesses added.
      const Texel under = load(dry, x, y);
      Texel settled = under.a == 0 ? paint : over(paint, under);
      settled.a = static_cast<std::uint8_t>(std::min<int>(MAX_DEPTH, under.a + paint.a));
      store(dry, settled, x, y);
      store(wet, Texel{}, x, y);
    }
    // Nothing is wet any more; the kernels' own byte stays.
    Texel cell = load(grid, x, y);
    cell.r = 0;
    cell.g = 0;
    if (cell.a == TOOL_FLUID) cell.a = TOOL_AIR;
    store(grid, cell, x, y);
  });
}

void wetLayer(const gpu::Dispatch& dispatch) {
  const gpu::TexelView grid = dispatch.texels(TEXTURE_GRID_WRITE), wet = dispatch.texels(TEXTURE_WET_WRITE);
  const float* wetnessBound = dispatch.bufferAs<float>(BUFFER_WETNESS);
  const bool hasWetness = wetnessBound != nullptr;
  const float wetness = unitValue(floatArgument(dispatch, BUFFER_WETNESS, 0.0f));
  const std::uint8_t thickness = toByte(unitValue(floatArgument(dispatch, BUFFER_THICKNESS, 0.0f)));
  // The wetness as a level of the grid's scale, shifted into its byte (at most 252).
  const auto level = static_cast<std::uint8_t>(static_cast<int>(wetness * TOOL_CELL_WETNESS_MAX)
                                               << TOOL_CELL_WETNESS_SHIFT);
  forEachLayerCell(dispatch, wet, [=](std::size_t x, std::size_t y) {
    Texel cell = load(grid, x, y);
    if (hasWetness) cell.r = level;
    Texel paint = load(wet, x, y);
    if (paint.a > 0) {
      // Wet paint is fluid again and at least as thick as asked.
      paint.a = std::max(paint.a, thickness);
      store(wet, paint, x, y);
      cell.a = TOOL_FLUID;
    }
    store(grid, cell, x, y);
  });
}

}  // namespace kernels
