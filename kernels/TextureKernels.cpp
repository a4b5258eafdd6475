// The texture-maintenance kernels: copy, overlay and reset.

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
TESS_KERNEL_INLINE Texel overlaid(Texel paint, Texel under) {
  if (paint.a == 0) return under;
  if (under.a == 0) return paint;
  Texel laid = over(paint, under);
  laid.a = static_cast<std::uint8_t>(std::min<int>(MAX_DEPTH, under.a + paint.a));
  return laid;
}

#if defined(__SSE2__)
// `overlaid` for four texels of one 4-byte layout at once, in 16-bit lanes. Without branches: paint
// over nothing covers fully (which gives the paint back), no paint covers nothing (which gives the
// target back), and the thicknesses add with saturation at 255.
TESS_KERNEL_INLINE void overlayFour(const std::uint8_t* paint, std::uint8_t* under) {
  const __m128i p8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(paint));
  const __m128i u8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(under));
  const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(255);
  const auto mixHalf = [&](__m128i p, __m128i u) {
    // Each texel's thickness in all four of its lanes.
    const __m128i pa = _mm_shufflehi_epi16(_mm_shufflelo_epi16(p, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    const __m128i ua = _mm_shufflehi_epi16(_mm_shufflelo_epi16(u, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    const __m128i onNothing = _mm_andnot_si128(_mm_cmpeq_epi16(pa, zero), _mm_cmpeq_epi16(ua, zero));
    const __m128i cover = _mm_or_si128(_mm_and_si128(onNothing, full),
                                       _mm_andnot_si128(onNothing, _mm_min_epi16(_mm_mullo_epi16(pa, _mm_set1_epi16(255 / kOpaqueThickness)), full)));
    // (under x (255 - c) + paint x c + 127) / 255: at most 65152, so unsigned 16 bits hold it, and
    // x / 255 is (x * 0x8081) >> 23 for every 16-bit x.
    const __m128i v = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(u, _mm_sub_epi16(full, cover)), _mm_mullo_epi16(p, cover)),
                                    _mm_set1_epi16(127));
    return _mm_srli_epi16(_mm_mulhi_epu16(v, _mm_set1_epi16(static_cast<short>(0x8081))), 7);
  };
  const __m128i mixed = _mm_packus_epi16(mixHalf(_mm_unpacklo_epi8(p8, zero), _mm_unpacklo_epi8(u8, zero)),
                                         mixHalf(_mm_unpackhi_epi8(p8, zero), _mm_unpackhi_epi8(u8, zero)));
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i laid = _mm_or_si128(_mm_andnot_si128(alpha, mixed), _mm_and_si128(alpha, _mm_adds_epu8(p8, u8)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(under), laid);
}
#endif

// Lays the run (x, y, z) to (x + count - 1, y, z) of `from` over `to`. Between textures of one 4-byte
// layout it works on the raw bytes: the mix treats the three colour channels alike, so their order
// does not matter, and the thickness is byte 3 in both.
void overlayRun(const gpu::TexelView& from, const gpu::TexelView& to, std::size_t x, std::size_t y, std::size_t z,
                std::size_t count) {
  if (from.pixelFormat() != to.pixelFormat() || to.bytesPerPixel() != 4) {
    for (std::size_t i = x; i < x + count; ++i) store(to, overlaid(load(from, i, y, z), load(to, i, y, z)), i, y, z);
    return;
  }
  // Beyond the source's edge there is no paint, so the target stays as it is.
  const std::size_t n = from.runInside(x, y, z, to.runInside(x, y, z, count));
  if (n == 0) return;
  const std::uint8_t* s = from.texel(x, y, z);
  std::uint8_t* t = to.texel(x, y, z);
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= n; i += 4, s += 16, t += 16) overlayFour(s, t);
#endif
  for (; i < n; ++i, s += 4, t += 4) {
    const Texel laid = overlaid({s[0], s[1], s[2], s[3]}, {t[0], t[1], t[2], t[3]});
    t[0] = laid.r, t[1] = laid.g, t[2] = laid.b, t[3] = laid.a;
  }
}

// A 2-D grid over `to`; each thread lays the paint of its column (every common slice, or slice 0
// only) of `from` over `to`, a row run at a time.
void overlay(const gpu::Dispatch& dispatch, bool everySlice) {
  const gpu::TexelView from = dispatch.texels(TEXTURE_COPY_FROM), to = dispatch.texels(TEXTURE_COPY_TO);
  if (!from || !to) return;
  const std::size_t slices = everySlice ? std::min(from.depth(), to.depth()) : 1;
  gpu::forEachRow(dispatch, gpu::Size{to.width(), to.height(), 1}, [=](gpu::uint3 p, std::size_t count) {
    for (std::size_t z = 0; z < slices; ++z) overlayRun(from, to, p.x, p.y, z, count);
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
