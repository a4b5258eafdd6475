// The texture-maintenance kernels: copy, overlay and reset.

#include <algorithm>

#include "gpu/KernelRuntime.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"

namespace kernels {
namespace {

using namespace tessivarium;

gpu::Size commonExtent(const gpu::TexelView& a, const gpu::TexelView& b) {
  return {std::min(a.width(), b.width()), std::min(a.height(), b.height()), std::min(a.depth(), b.depth())};
}

// `paint` laid over `under`: the colour by the paint's coverage, the thicknesses added (at most
// MAX_DEPTH). Paint over nothing stays as it is.
Texel overlaid(Texel paint, Texel under) {
  if (paint.a == 0) return under;
  if (under.a == 0) return paint;
  Texel laid = over(paint, under);
  laid.a = static_cast<std::uint8_t>(std::min<int>(MAX_DEPTH, under.a + paint.a));
  return laid;
}

// A 2-D grid over `to`; each thread lays the paint of its column (every common slice, or slice 0
// only) of `from` over `to`.
void overlay(const gpu::Dispatch& dispatch, bool everySlice) {
  const gpu::TexelView from = dispatch.texels(TEXTURE_COPY_FROM), to = dispatch.texels(TEXTURE_COPY_TO);
  if (!from || !to) return;
  const std::size_t slices = everySlice ? std::min(from.depth(), to.depth()) : 1;
  gpu::forEachThread(dispatch, gpu::Size{to.width(), to.height(), 1}, [=](gpu::uint3 p) {
    for (std::size_t z = 0; z < slices; ++z) store(to, overlaid(load(from, p.x, p.y, z), load(to, p.x, p.y, z)), p.x, p.y, z);
  });
}

// Every texel the grid reaches (moved by the offset) gets the clear value; with `wholeColumns` a
// thread clears every slice of its column. The value is converted once and whole row runs are filled.
void reset(const gpu::Dispatch& dispatch, bool wholeColumns) {
  const gpu::TexelView target = dispatch.texels(TEXTURE_RESET);
  if (!target) return;
  const gpu::TexelBytes value = target.encode(float4Argument(dispatch, BUFFER_VALUE, {0, 0, 0, 0}));
  const gpu::uint3 offset = offsetArgument(dispatch);
  const gpu::Size limit{target.width(), target.height(), wholeColumns ? 1 : target.depth()};
  gpu::forEachRow(dispatch, limit, [=](gpu::uint3 p, std::size_t count) {
    std::size_t x, y, z;
    if (!offsetInto(target, p, offset, x, y, z)) return;  // the run's later texels are clipped by fillRun
    const std::size_t lastSlice = wholeColumns ? target.depth() : z + 1;
    for (std::size_t slice = z; slice < lastSlice; ++slice) target.fillRun(x, y, slice, count, value);
  });
}

}  // namespace

void textureCopy(const gpu::Dispatch& dispatch) {
  const gpu::TexelView from = dispatch.texels(TEXTURE_COPY_FROM), to = dispatch.texels(TEXTURE_COPY_TO);
  if (!from || !to) return;
  gpu::forEachRow(dispatch, commonExtent(from, to),
                  [=](gpu::uint3 p, std::size_t count) { to.copyRun(from, p.x, p.y, p.z, count); });
}

void textureOverlay(const gpu::Dispatch& dispatch) { overlay(dispatch, true); }

void textureOverlay2D(const gpu::Dispatch& dispatch) { overlay(dispatch, false); }

void textureReset(const gpu::Dispatch& dispatch) { reset(dispatch, false); }

void textureReset2D(const gpu::Dispatch& dispatch) { reset(dispatch, true); }

}  // namespace kernels
