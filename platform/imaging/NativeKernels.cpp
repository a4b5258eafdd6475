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

const std::array<NativeKernel, 3> kKernels = {{
    {"rotate", 1, rotateKernel},
    {"alphaSet", 2, alphaSetKernel, alphaSetBatch},
    {"mergeKernel", 2, mergeKernel, mergeBatch},
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

void mergeBatch(const RGBA* const* samples, std::size_t count, RGBA* out) {
  const RGBA* overlay = samples[0];
  const RGBA* base = samples[1];
  for (std::size_t k = 0; k < count; ++k) out[k] = merged(overlay[k], base[k]);
}

}  // namespace imaging
