#include "HardLightFilter.h"

namespace imaging {

HardLightFilter::HardLightFilter() : Filter(std::string(kName)) {
  declareInput(std::string(kInputImageKey), InputKind::Image);
  declareInput(std::string(kInputBackgroundImageKey), InputKind::Image);
}

ImagePtr HardLightFilter::outputImage() {
  auto source = imageInput(kInputImageKey);
  auto backdrop = imageInput(kInputBackgroundImageKey);
  if (!source || !backdrop) return nullptr;
  return std::make_shared<HardLightImage>(std::move(source), std::move(backdrop));
}

// The separable hard-light blend of a source colour Cs over a backdrop colour Cb, per channel:
//   B(Cb, Cs) = 2 Cs Cb                   when Cs <= 0.5 (multiply by 2 Cs),
//             = 1 - 2 (1 - Cs)(1 - Cb)    otherwise       (screen with 2 Cs - 1),
// composited with the source's and backdrop's alphas as = source.a, ab = backdrop.a:
//   premultiplied result = as (1 - ab) Cs + ab (1 - as) Cb + as ab B(Cb, Cs),
//   result alpha         = as + ab (1 - as)   (source over),
// and returned unpremultiplied.
namespace {

inline RGBA blend(const RGBA& s, const RGBA& b) {
  const float as = s.a, ab = b.a;
  const float ao = as + ab * (1.0f - as);
  if (ao <= 0.0f) return {};
#if defined(__SSE2__)
  // The three colour channels side by side, each lane the scalar formula below step for step.
  const __m128 cs = load(s), cb = load(b), one = _mm_set1_ps(1.0f), two = _mm_set1_ps(2.0f);
  const __m128 multiply = _mm_mul_ps(_mm_mul_ps(two, cs), cb);
  const __m128 screen =
      _mm_sub_ps(one, _mm_mul_ps(_mm_mul_ps(two, _mm_sub_ps(one, cs)), _mm_sub_ps(one, cb)));
  const __m128 low = _mm_cmple_ps(cs, _mm_set1_ps(0.5f));
  const __m128 mixed = _mm_or_ps(_mm_and_ps(low, multiply), _mm_andnot_ps(low, screen));
  const __m128 sum =
      _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(as * (1.0f - ab)), cs),
                            _mm_mul_ps(_mm_set1_ps(ab * (1.0f - as)), cb)),
                 _mm_mul_ps(_mm_set1_ps(as * ab), mixed));
  const __m128 alpha = _mm_set1_ps(ao);
  return store(withAlphaOf(_mm_div_ps(sum, alpha), alpha));
#else
  auto channel = [&](float cs, float cb) {
    // Both branches are worked out and one is picked, which compiles without jumps.
    const float multiply = 2.0f * cs * cb, screen = 1.0f - 2.0f * (1.0f - cs) * (1.0f - cb);
    const float mixed = cs <= 0.5f ? multiply : screen;
    return (as * (1.0f - ab) * cs + ab * (1.0f - as) * cb + as * ab * mixed) / ao;
  };
  return {channel(s.r, b.r), channel(s.g, b.g), channel(s.b, b.b), ao};
#endif
}

#if defined(__SSE2__)
// blend for four pairs at once, a pair to a lane, each lane the steps above in their order.
void blendFour(const RGBA* source, const RGBA* backdrop, RGBA* out) {
  const auto [sr, sg, sb, sa] = channelsOf(source);
  const auto [br, bg, bb, ba] = channelsOf(backdrop);
  const __m128 one = _mm_set1_ps(1.0f), two = _mm_set1_ps(2.0f), half = _mm_set1_ps(0.5f);
  const __m128 ao = _mm_add_ps(sa, _mm_mul_ps(ba, _mm_sub_ps(one, sa)));
  const __m128 sourceOnly = _mm_mul_ps(sa, _mm_sub_ps(one, ba)), backdropOnly = _mm_mul_ps(ba, _mm_sub_ps(one, sa));
  const __m128 both = _mm_mul_ps(sa, ba);
  const auto channel = [&](__m128 cs, __m128 cb) {
    const __m128 multiply = _mm_mul_ps(_mm_mul_ps(two, cs), cb);
    const __m128 screen = _mm_sub_ps(one, _mm_mul_ps(_mm_mul_ps(two, _mm_sub_ps(one, cs)), _mm_sub_ps(one, cb)));
    const __m128 low = _mm_cmple_ps(cs, half);
    const __m128 mixed = select(low, multiply, screen);
    const __m128 sum = _mm_add_ps(_mm_add_ps(_mm_mul_ps(sourceOnly, cs), _mm_mul_ps(backdropOnly, cb)),
                                  _mm_mul_ps(both, mixed));
    return _mm_div_ps(sum, ao);
  };
  // Transparent black where the result's alpha is not above 0.
  const __m128 shows = _mm_cmpnle_ps(ao, _mm_setzero_ps());
  storeChannels({_mm_and_ps(shows, channel(sr, br)), _mm_and_ps(shows, channel(sg, bg)),
                 _mm_and_ps(shows, channel(sb, bb)), _mm_and_ps(shows, ao)},
                out);
}
#endif

}  // namespace

RGBA hardLight(const RGBA& s, const RGBA& b) { return blend(s, b); }

HardLightImage::HardLightImage(ImagePtr source, ImagePtr backdrop)
    : Image(source->extent().united(backdrop->extent())),
      source_(std::move(source)),
      backdrop_(std::move(backdrop)) {}

void HardLightImage::prepare(RenderTables& tables) const {
  source_->prepare(tables);
  backdrop_->prepare(tables);
}

void HardLightImage::sampleBatch(const Batch& batch, RGBA* out) const {
  BatchBuffer<RGBA> backdrop;
  source_->sample(batch, out);
  backdrop_->sample(batch, backdrop);
  std::size_t k = 0;
#if defined(__SSE2__)
  for (; k + 4 <= batch.count; k += 4) blendFour(out + k, backdrop + k, out + k);
#endif
  for (; k < batch.count; ++k) out[k] = blend(out[k], backdrop[k]);
}

}  // namespace imaging
