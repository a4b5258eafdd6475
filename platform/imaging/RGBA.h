#pragma once
// The value of an image at a point: red, green, blue and alpha as floats in 0 to 1 (device RGB,
// no colour management), colours unpremultiplied (independent of alpha). Outside an image's
// extent every image is transparent black.
//
// The helpers below work on the four channels at once where the machine has SSE2; each lane does
// exactly the scalar operation (no fused or reordered arithmetic), so both paths give the same
// bits.

#include <cstdint>

#include "gpu/Unorm8.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imaging {

struct RGBA {
  float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
  friend bool operator==(const RGBA&, const RGBA&) = default;
};

#if defined(__SSE2__)
inline __m128 load(const RGBA& c) { return _mm_loadu_ps(&c.r); }
inline RGBA store(__m128 v) {
  RGBA c;
  _mm_storeu_ps(&c.r, v);
  return c;
}
// The lanes of `v` with alpha taken from `alpha`'s last lane.
inline __m128 withAlphaOf(__m128 v, __m128 alpha) {
  const __m128 mask = _mm_castsi128_ps(_mm_set_epi32(-1, 0, 0, 0));
  return _mm_or_ps(_mm_andnot_ps(mask, v), _mm_and_ps(mask, alpha));
}
// The lanes of `v` where `mask` is set, else those of `otherwise`.
inline __m128 select(__m128 mask, __m128 v, __m128 otherwise) {
  return _mm_or_ps(_mm_and_ps(mask, v), _mm_andnot_ps(mask, otherwise));
}

// Four values as their channels, each channel's four lanes in one vector (value k in lane k), and back.
struct FourChannels {
  __m128 r, g, b, a;
};
inline FourChannels channelsOf(const RGBA* values) {
  FourChannels c{load(values[0]), load(values[1]), load(values[2]), load(values[3])};
  _MM_TRANSPOSE4_PS(c.r, c.g, c.b, c.a);
  return c;
}
inline void storeChannels(FourChannels c, RGBA* values) {
  _MM_TRANSPOSE4_PS(c.r, c.g, c.b, c.a);
  values[0] = store(c.r), values[1] = store(c.g), values[2] = store(c.b), values[3] = store(c.a);
}
#endif

// Four normalised 8-bit channels, in memory order r, g, b, a (or b, g, r, a when `bgra`), decoded
// as the texel views decode them.
inline RGBA fromUnorm8(const std::uint8_t* t, bool bgra) {
#if defined(__SSE2__)
  return store(gpu::unorm8Texel(t, bgra));
#else
  const gpu::float4 v = gpu::unorm8ToFloat4(t, bgra);
  return {v.x, v.y, v.z, v.w};
#endif
}

inline RGBA premultiplied(const RGBA& c) {
#if defined(__SSE2__)
  const __m128 v = load(c);
  return store(withAlphaOf(_mm_mul_ps(v, _mm_set1_ps(c.a)), v));
#else
  return {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
#endif
}

// The colour of a premultiplied value; transparent black when alpha is 0.
inline RGBA unpremultiplied(const RGBA& p) {
  if (p.a <= 0.0f) return {};
  const float k = 1.0f / p.a;
#if defined(__SSE2__)
  const __m128 v = load(p);
  return store(withAlphaOf(_mm_mul_ps(v, _mm_set1_ps(k)), v));
#else
  return {p.r * k, p.g * k, p.b * k, p.a};
#endif
}

}  // namespace imaging
