// The kernels that turn paint data into the images the picture is composed from: height and
// colour, the fold of a lower layer into a height image, and coverage. The passes dispatch each of
// them twice in one encode; every one computes its output from inputs it does not write (the fold
// takes a maximum), so a second run changes nothing.

#include <algorithm>

#include "gpu/KernelRuntime.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"

namespace kernels {
namespace {

using namespace tessivarium;

// The working region's height image (ground relief, dry and wet thickness) and colour image (wet
// over dry over the background colour). `withWet` false: the dry paint's images only.
void heightAndColor(const gpu::Dispatch& dispatch, bool withWet) {
  const gpu::TexelView wet = dispatch.texels(TEXTURE_WET_READ), dry = dispatch.texels(TEXTURE_DRY_READ),
                       height = dispatch.texels(TEXTURE_HEIGHT_IMAGE_WRITE),
                       color = dispatch.texels(TEXTURE_COLOR_IMAGE_WRITE);
  const gpu::uint3 offset = offsetArgument(dispatch);
  // The relief shows only while the ground is shown.
  const GroundRelief ground(flagArgument(dispatch, BUFFER_SHOW_GROUND, false) ? dispatch.texels(TEXTURE_GROUND)
                                                                              : gpu::TexelView{});
  const bool useDry = flagArgument(dispatch, BUFFER_USE_DRY, true);
  // Without a background colour (the dry pass gets none) the base is a blank white.
  const Texel background = bytesOf(float4Argument(dispatch, BUFFER_COLOR, {1, 1, 1, 1}));
  const gpu::Size limit{std::max(height.width(), color.width()), std::max(height.height(), color.height()), 1};
  gpu::forEachThread(dispatch, limit, [=](gpu::uint3 p) {
    const Texel w = withWet ? load(wet, p.x, p.y) : Texel{};
    const Texel d = useDry ? load(dry, p.x, p.y) : Texel{};
    const int relief = ground.at(std::uint64_t{p.x} + offset.x, std::uint64_t{p.y} + offset.y);
    store(height, grey(heightByte(relief + w.a + d.a)), p.x, p.y);
    Texel c = over(w, over(d, background));
    c.a = static_cast<std::uint8_t>(
        background.a + scale255(255 - background.a, combinedCoverage(coverage(w.a), coverage(d.a))));
    store(color, c, p.x, p.y);
  });
}

// The coverage image: white whose alpha is the coverage of the wet and dry paint (`withWet`) or of
// the dry paint alone.
void coverageImage(const gpu::Dispatch& dispatch, bool withWet) {
  const gpu::TexelView wet = dispatch.texels(TEXTURE_WET_READ), dry = dispatch.texels(TEXTURE_DRY_READ),
                       target = dispatch.texels(TEXTURE_COLOR_IMAGE_WRITE);
  const bool useDry = flagArgument(dispatch, BUFFER_USE_DRY, true);
  gpu::forEachThread(dispatch, target, [=](gpu::uint3 p) {
    const Texel w = withWet ? load(wet, p.x, p.y) : Texel{};
    const Texel d = useDry ? load(dry, p.x, p.y) : Texel{};
    store(target, {255, 255, 255, static_cast<std::uint8_t>(combinedCoverage(coverage(w.a), coverage(d.a)))}, p.x, p.y);
  });
}

}  // namespace

void dataToHeight(const gpu::Dispatch& dispatch) { heightAndColor(dispatch, true); }

void dataToDryHeight(const gpu::Dispatch& dispatch) { heightAndColor(dispatch, false); }

void dataToHeightSubLayer(const gpu::Dispatch& dispatch) {
  const gpu::TexelView wet = dispatch.texels(TEXTURE_WET_READ), dry = dispatch.texels(TEXTURE_DRY_READ),
                       current = dispatch.texels(TEXTURE_HEIGHT_IMAGE_READ),
                       target = dispatch.texels(TEXTURE_HEIGHT_IMAGE_WRITE);
  const gpu::uint3 offset = offsetArgument(dispatch);
  gpu::forEachThread(dispatch, target, [=](gpu::uint3 p) {
    // The layer under the region, at layer position p + offset; nothing beyond its edge.
    std::size_t x, y, z;
    std::uint8_t lower = 0;
    if (offsetInto(wet, {p.x, p.y, 0}, offset, x, y, z)) {
      lower = heightByte(load(wet, x, y).a + load(dry, x, y).a);
    }
    // The fold keeps the higher surface, so folding a layer again changes nothing.
    const std::uint8_t value = std::max(load(current, p.x, p.y).r, lower);
    store(target, {value, value, value, 255}, p.x, p.y);
  });
}

void dataToAlpha(const gpu::Dispatch& dispatch) { coverageImage(dispatch, true); }

void dataToDryAlpha(const gpu::Dispatch& dispatch) { coverageImage(dispatch, false); }

}  // namespace kernels
