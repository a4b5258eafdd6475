#pragma once
// Normalised 8-bit colour decoded into floats: each channel byte converted and multiplied by 1/255.
// Every decoding of texel bytes into float channels in the kits goes through here (the texel views,
// the imaging kit's sampling and its height images), so all of them give the same bits. Where the
// machine has SSE2 each lane takes exactly the scalar steps (a conversion, then one
// multiplication), so both paths agree too.

#include <cstdint>
#include <cstring>

#include "gpu/Vectors.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gpu {

inline constexpr float kUnorm8Scale = 1.0f / 255.0f;

#if defined(__SSE2__)
// Four 32-bit lanes, each holding one channel byte, as normalised floats.
inline __m128 unorm8Lanes(__m128i lanes) { return _mm_mul_ps(_mm_cvtepi32_ps(lanes), _mm_set1_ps(kUnorm8Scale)); }

// Lanes in b, g, r, a order put in r, g, b, a order (and back).
inline __m128 swapRedBlue(__m128 v) { return _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 0, 1, 2)); }

// One texel's four bytes (memory order r, g, b, a, or b, g, r, a when `bgra`) as red, green, blue,
// alpha lanes.
inline __m128 unorm8Texel(const std::uint8_t* t, bool bgra) {
  std::int32_t word;
  std::memcpy(&word, t, 4);
  const __m128i zero = _mm_setzero_si128();
  const __m128 v = unorm8Lanes(_mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(word), zero), zero));
  return bgra ? swapRedBlue(v) : v;
}

// The channel at bit `shift` (0, 8, 16 or 24) of four texels held one per 32-bit lane.
inline __m128 unorm8Channel(__m128i texels, int shift) {
  return unorm8Lanes(_mm_and_si128(_mm_srli_epi32(texels, shift), _mm_set1_epi32(0xFF)));
}
#endif

// One texel's four bytes (memory order r, g, b, a, or b, g, r, a when `bgra`) as red, green, blue,
// alpha.
inline float4 unorm8ToFloat4(const std::uint8_t* t, bool bgra) {
#if defined(__SSE2__)
  float4 v;
  _mm_store_ps(&v.x, unorm8Texel(t, bgra));
  return v;
#else
  constexpr float k = kUnorm8Scale;
  if (bgra) return {t[2] * k, t[1] * k, t[0] * k, t[3] * k};
  return {t[0] * k, t[1] * k, t[2] * k, t[3] * k};
#endif
}

}  // namespace gpu
