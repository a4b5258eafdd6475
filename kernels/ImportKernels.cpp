// The kernels that place an image into a layer's textures in place: each thread takes its texel of
// the image and writes the layer's cell at its position plus the offset. They assign, never add,
// so a second run changes nothing.

#include <cmath>

#include "gpu/KernelRuntime.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"

namespace kernels {
namespace {

using namespace tessivarium;

// The paint's thickness byte for an image texel: the import's thickness (on the 0 to 1 scale of
// MAX_DEPTH) times the texel's alpha.
std::uint8_t thicknessFor(float thickness, std::uint8_t alpha) {
  return toByte(thickness * (alpha / 255.0f));
}

// Calls place(layer position, image texel, thickness byte) for every image texel that lays paint
// inside `layer`.
template <typename Place>
void forEachImportedCell(const gpu::Dispatch& dispatch, const gpu::TexelView& layer, Place&& place) {
  const gpu::TexelView image = dispatch.texels(TEXTURE_COLOR_IMAGE_READ);
  if (!image || !layer) return;
  const gpu::uint3 offset = offsetArgument(dispatch);
  const float thickness = floatArgument(dispatch, BUFFER_VALUE, 5.0f / MAX_DEPTH);
  gpu::forEachThread(dispatch, gpu::Size{image.width(), image.height(), 1}, [=](gpu::uint3 p) {
    const Texel source = load(image, p.x, p.y);
    const std::uint8_t amount = thicknessFor(thickness, source.a);
    std::size_t x, y, z;
    if (amount == 0 || !offsetInto(layer, {p.x, p.y, 0}, {offset.x, offset.y, 0}, x, y, z)) return;
    place(x, y, Texel{source.r, source.g, source.b, amount});
  });
}

}  // namespace

void importImageDry(const gpu::Dispatch& dispatch) {
  const gpu::TexelView dry = dispatch.texels(TEXTURE_DRY_WRITE);
  forEachImportedCell(dispatch, dry, [=](std::size_t x, std::size_t y, Texel paint) { store(dry, paint, x, y); });
}

void importImageWet(const gpu::Dispatch& dispatch) {
  const gpu::TexelView wet = dispatch.texels(TEXTURE_WET_WRITE), grid = dispatch.texels(TEXTURE_GRID_WRITE);
  forEachImportedCell(dispatch, wet, [=](std::size_t x, std::size_t y, Texel paint) {
    store(wet, paint, x, y);
    // Wet paint lies here, fully wet; the dry wetness and the kernels' own byte stay.
    Texel cell = load(grid, x, y);
    cell.r = kFullWetness;
    cell.a = TOOL_FLUID;
    store(grid, cell, x, y);
  });
}

}  // namespace kernels
