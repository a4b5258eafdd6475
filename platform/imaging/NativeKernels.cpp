#include "NativeKernels.h"

#include <array>

namespace imaging {
namespace {

// |g - r| formed as the kernels form it: the greater minus the smaller, comparing g with r.
float absGR(const RGBA& c) { return c.g > c.r ? c.g - c.r : c.r - c.g; }
float minRG(const RGBA& c) { return c.g > c.r ? c.r : c.g; }
float maxRG(const RGBA& c) { return c.g > c.r ? c.g : c.r; }
float minOf(float a, float b) { return a < b ? a : b; }

// A yellow `top` over a blue `bottom`, by the merge kernel's seven conditions (all evaluated,
// without branches: the result is the same and paint varies too much for branch prediction).
inline bool yellowOverBlue(const RGBA& top, const RGBA& bottom) {
  return (absGR(top) < 0.15f) & (top.g >= 0.75f) & (minRG(top) > top.b) &
         (absGR(bottom) < 0.05f) & (bottom.b >= 0.5f) & (bottom.b > maxRG(bottom)) &
         (bottom.r < bottom.g + 0.1f);
}

// mergeKernel's rules for one overlay and base value.
inline RGBA merged(const RGBA& overlay, const RGBA& base) {
  if (base.a == 0.0f || overlay.a == 1.0f) return overlay;
  if (overlay.a == 0.0f) return base;
  if (yellowOverBlue(overlay, base)) {
    return {minOf(overlay.r, base.r), (overlay.g + base.g) / 2.0f, minOf(overlay.b, base.b),
            base.a * (1.0f - overlay.a) + overlay.a * overlay.a};
  }
  if (yellowOverBlue(base, overlay)) {
    return {minOf(overlay.r, base.r), (overlay.g + base.g) / 2.0f, minOf(overlay.b, base.b),
            overlay.a * (1.0f - base.a) + base.a * base.a};
  }
  const float keep = 1.0f - overlay.a;
  return {base.r * keep + overlay.r * overlay.a, base.g * keep + overlay.g * overlay.a,
          base.b * keep + overlay.b * overlay.a, base.a * keep + overlay.a * overlay.a};
}

#if defined(__SSE2__)
// merged() for four pairs at once, a pair to a lane: every rule worked out in every lane with the
// scalar rules' comparisons and arithmetic, then the first rule that applies picked.
void mergeFour(const RGBA* overlay, const RGBA* base, RGBA* out) {
  const auto [oR, oG, oB, oA] = channelsOf(overlay);
  const auto [bR, bG, bB, bA] = channelsOf(base);
  const auto yellowOverBlue = [&](__m128 tR, __m128 tG, __m128 tB, __m128 uR, __m128 uG, __m128 uB) {
    const __m128 tGreener = _mm_cmpgt_ps(tG, tR), uGreener = _mm_cmpgt_ps(uG, uR);
    const __m128 tAbsGR = select(tGreener, _mm_sub_ps(tG, tR), _mm_sub_ps(tR, tG));
    const __m128 uAbsGR = select(uGreener, _mm_sub_ps(uG, uR), _mm_sub_ps(uR, uG));
    const __m128 tMinRG = select(tGreener, tR, tG), uMaxRG = select(uGreener, uG, uR);
    const __m128 top = _mm_and_ps(_mm_and_ps(_mm_cmplt_ps(tAbsGR, _mm_set1_ps(0.15f)), _mm_cmpge_ps(tG, _mm_set1_ps(0.75f))),
                                  _mm_cmpgt_ps(tMinRG, tB));
    const __m128 under = _mm_and_ps(_mm_and_ps(_mm_cmplt_ps(uAbsGR, _mm_set1_ps(0.05f)), _mm_cmpge_ps(uB, _mm_set1_ps(0.5f))),
                                    _mm_and_ps(_mm_cmpgt_ps(uB, uMaxRG), _mm_cmplt_ps(uR, _mm_add_ps(uG, _mm_set1_ps(0.1f)))));
    return _mm_and_ps(top, under);
  };
  const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
  const __m128 overlayWins = _mm_or_ps(_mm_cmpeq_ps(bA, zero), _mm_cmpeq_ps(oA, one));
  const __m128 baseWins = _mm_cmpeq_ps(oA, zero);
  const __m128 yellowOver = yellowOverBlue(oR, oG, oB, bR, bG, bB), blueOver = yellowOverBlue(bR, bG, bB, oR, oG, oB);
  // The overlay laid over the base by its alpha; a yellow overlay keeps that alpha, a blue one over
  // yellow takes its own (no pair is both).
  const __m128 keep = _mm_sub_ps(one, oA);
  __m128 r = _mm_add_ps(_mm_mul_ps(bR, keep), _mm_mul_ps(oR, oA));
  __m128 g = _mm_add_ps(_mm_mul_ps(bG, keep), _mm_mul_ps(oG, oA));
  __m128 b = _mm_add_ps(_mm_mul_ps(bB, keep), _mm_mul_ps(oB, oA));
  __m128 a = _mm_add_ps(_mm_mul_ps(bA, keep), _mm_mul_ps(oA, oA));
  const __m128 yellowOrBlue = _mm_or_ps(yellowOver, blueOver);
  r = select(yellowOrBlue, _mm_min_ps(oR, bR), r);
  g = select(yellowOrBlue, _mm_div_ps(_mm_add_ps(oG, bG), _mm_set1_ps(2.0f)), g);
  b = select(yellowOrBlue, _mm_min_ps(oB, bB), b);
  a = select(blueOver, _mm_add_ps(_mm_mul_ps(oA, _mm_sub_ps(one, bA)), _mm_mul_ps(bA, bA)), a);
  r = select(baseWins, bR, r), g = select(baseWins, bG, g), b = select(baseWins, bB, b), a = select(baseWins, bA, a);
  r = select(overlayWins, oR, r), g = select(overlayWins, oG, g), b = select(overlayWins, oB, b), a = select(overlayWins, oA, a);
  storeChannels({r, g, b, a}, out);
}
#endif

const std::array<NativeKernel, 3> kKernels = {{
    {"rotate", 1, rotateKernel},
    {"alphaSet", 2, alphaSetKernel, alphaSetBatch},
    {"mergeKernel", 2, mergeKernel, mergeBatch, mergeDecidedByOverlay},
}};

}  // namespace

const NativeKernel* findNativeKernel(std::string_view name) {
  for (const NativeKernel& k : kKernels) {
    if (k.name == name) return &k;
  }
  return nullptr;
}

// kernel vec4 rotate(sampler src): src at (1 - coord.y, coord.x), coord being the output point's
// sampler coordinate in src: a quarter turn.
RGBA rotateKernel(const KernelPoint& point) {
  const graphics::Point coord = point.samplerCoord(0);
  return point.sampleAt(0, {1.0 - coord.y, coord.x});
}

// kernel vec4 alphaSet(sampler src, sampler alpha): src's colour with alpha's alpha.
RGBA alphaSetKernel(const KernelPoint& point) {
  RGBA value = point.sample(0);
  value.a = point.sample(1).a;
  return value;
}

// kernel vec4 mergeKernel(sampler src, sampler back): overlay = src (the upper picture), base =
// back (the lower one); the first rule that applies decides:
//   1. base.a == 0 or overlay.a == 1: overlay;
//   2. overlay.a == 0: base;
//   3. yellow overlay over blue base: (min r, mean g, min b, base.a (1 - o.a) + o.a o.a);
//   4. blue overlay over yellow base: (min r, mean g, min b, o.a (1 - base.a) + base.a base.a);
//   5. otherwise base (1 - o.a) + overlay o.a on all four channels.
RGBA mergeKernel(const KernelPoint& point) { return merged(point.sample(0), point.sample(1)); }

void alphaSetBatch(const RGBA* const* samples, std::size_t count, RGBA* out) {
  const RGBA* colour = samples[0];
  const RGBA* alpha = samples[1];
  for (std::size_t k = 0; k < count; ++k) {
#if defined(__SSE2__)
    out[k] = store(withAlphaOf(load(colour[k]), load(alpha[k])));
#else
    out[k] = {colour[k].r, colour[k].g, colour[k].b, alpha[k].a};
#endif
  }
}

// An opaque overlay is the merge whatever lies under it (the first rule).
bool mergeDecidedByOverlay(const RGBA& overlay) { return overlay.a == 1.0f; }

void mergeBatch(const RGBA* const* samples, std::size_t count, RGBA* out) {
  const RGBA* overlay = samples[0];
  const RGBA* base = samples[1];
  std::size_t k = 0;
#if defined(__SSE2__)
  for (; k + 4 <= count; k += 4) mergeFour(overlay + k, base + k, out + k);
#endif
  for (; k < count; ++k) out[k] = merged(overlay[k], base[k]);
}

}  // namespace imaging
