// The decoding of 8-bit colour into floats that the texel views and the imaging kit share: every
// byte in every channel gives byte x (1/255) in its lane, in each form (one texel, four texels'
// channels), for both channel orders.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "gpu/Unorm8.h"

namespace {

// Four texels whose channel c holds byte (4 x k + c + offset), k the texel.
std::array<std::uint8_t, 16> texelsFrom(int offset) {
  std::array<std::uint8_t, 16> t{};
  for (int i = 0; i < 16; ++i) t[i] = static_cast<std::uint8_t>(i + offset);
  return t;
}

TEST(Unorm8, EveryByteDecodesToItsScaledValueInEachOrder) {
  for (int offset = 0; offset < 256; ++offset) {
    const auto t = texelsFrom(offset);
    const auto k = [&](int i) { return static_cast<float>(t[i]) * gpu::kUnorm8Scale; };
    ASSERT_EQ(gpu::unorm8ToFloat4(t.data(), false), (gpu::float4{k(0), k(1), k(2), k(3)})) << offset;
    ASSERT_EQ(gpu::unorm8ToFloat4(t.data(), true), (gpu::float4{k(2), k(1), k(0), k(3)})) << offset;
  }
}

#if defined(__SSE2__)
TEST(Unorm8, FourTexelsChannelsMatchTheOneTexelForm) {
  for (int offset = 0; offset < 256; ++offset) {
    const auto t = texelsFrom(offset);
    const __m128i texels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.data()));
    for (int shift = 0; shift < 32; shift += 8) {
      alignas(16) float lanes[4];
      _mm_store_ps(lanes, gpu::unorm8Channel(texels, shift));
      for (int texel = 0; texel < 4; ++texel) {
        const gpu::float4 one = gpu::unorm8ToFloat4(t.data() + 4 * texel, false);
        const float expected[4] = {one.x, one.y, one.z, one.w};
        ASSERT_EQ(lanes[texel], expected[shift / 8]) << offset << " " << shift << " " << texel;
      }
    }
  }
}
#endif

}  // namespace
