// The kernels that turn paint data into the images the picture is composed from: height and
// colour, the fold of a lower layer into a height image, and coverage. The passes dispatch each of
// them twice in one encode; every one computes its output from inputs it does not write (the fold
// takes a maximum), so a second run changes nothing.
//
// Every composition of a working region runs them over 256 x 256 cells eight times, so they work a
// row run at a time: where every texture a kernel touches holds the whole run in RGBA8 (the format
// of the layers and the working textures), the run is read and written as plain bytes in chunks;
// anywhere else (another format, an unbound slot, a run past a texture's edge) each texel goes
// through the texel views. Both apply one rule per cell, so they give the same bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gpu/KernelRuntime.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"

namespace kernels {
namespace {

using namespace tessivarium;

// The cells a row run is worked in: small enough for the chunk's buffers to stay on the stack.
constexpr std::size_t kChunk = 64;
// A chunk of no paint, read where a kernel leaves the wet or the dry paint out.
constexpr std::uint8_t kNoPaint[4 * kChunk] = {};

// The run's texels as RGBA8 bytes when the view holds all of them in that format; null otherwise.
std::uint8_t* rgba8Run(const gpu::TexelView& view, gpu::uint3 first, std::size_t count) {
  if (view.pixelFormat() != gpu::PixelFormat::RGBA8Unorm || view.runInside(first.x, first.y, first.z, count) != count)
    return nullptr;
  return view.texel(first);
}

TESS_KERNEL_INLINE Texel texelAt(const std::uint8_t* bytes) { return {bytes[0], bytes[1], bytes[2], bytes[3]}; }

TESS_KERNEL_INLINE void putTexel(std::uint8_t* bytes, Texel t) {
  bytes[0] = t.r, bytes[1] = t.g, bytes[2] = t.b, bytes[3] = t.a;
}

#if defined(__SSE2__)
// Paint arithmetic in 16-bit lanes: on two texels' eight channels, or on four texels' alpha bytes
// alone in 32-bit lanes (whose upper halves, zero, stay zero through every helper). Every value
// the rules form stays below 2^16 (a product of two bytes plus 127 at most), so each lane does
// exactly what the scalar rule does.
namespace lanes {

inline __m128i load(const void* bytes) { return _mm_loadu_si128(static_cast<const __m128i*>(bytes)); }

// Four texels' alpha bytes, one to a 32-bit lane.
inline __m128i alphaBytes(const std::uint8_t* texels) { return _mm_srli_epi32(load(texels), 24); }

// Four 32-bit lanes' low bytes (each below 256) as opaque greys.
inline __m128i greys(__m128i v) {
  return _mm_or_si128(_mm_or_si128(v, _mm_slli_epi32(v, 8)),
                      _mm_or_si128(_mm_slli_epi32(v, 16), _mm_set1_epi32(static_cast<int>(0xFF000000u))));
}

// Texel `t` (0 or 1) of four 32-bit lanes spread over the four 16-bit lanes of each of two texels:
// (v0, v1) for t = 0, (v2, v3) for t = 1.
inline __m128i spread(__m128i v, int t) {
  const __m128i pair =
      t == 0 ? _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 1, 0, 0)) : _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 2, 2));
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(pair, _MM_SHUFFLE(0, 0, 0, 0)), _MM_SHUFFLE(0, 0, 0, 0));
}

// Four texels' bytes as two vectors of two texels each.
inline void unpack(__m128i texels, __m128i& low, __m128i& high) {
  low = _mm_unpacklo_epi8(texels, _mm_setzero_si128());
  high = _mm_unpackhi_epi8(texels, _mm_setzero_si128());
}

// t / 255 rounded down, exact for every 16-bit t: (t x 0x8081) >> 23.
inline __m128i div255(__m128i t) { return _mm_srli_epi16(_mm_mulhi_epu16(t, _mm_set1_epi16(-0x7F7F)), 7); }

// scale255, coverage and mixByte of PaintModel.h, lane by lane.
inline __m128i scale255(__m128i a, __m128i b) {
  return div255(_mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(127)));
}
inline __m128i coverage(__m128i thickness) {
  return _mm_min_epi16(_mm_mullo_epi16(thickness, _mm_set1_epi16(255 / kOpaqueThickness)), _mm_set1_epi16(255));
}
inline __m128i mix(__m128i under, __m128i paint, __m128i cover) {
  const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(under, _mm_sub_epi16(_mm_set1_epi16(255), cover)),
                                    _mm_mullo_epi16(paint, cover));
  return div255(_mm_add_epi16(sum, _mm_set1_epi16(127)));
}
// 255 - scale255(255 - a, 255 - b).
inline __m128i combinedCoverage(__m128i a, __m128i b) {
  const __m128i full = _mm_set1_epi16(255);
  return _mm_sub_epi16(full, scale255(_mm_sub_epi16(full, a), _mm_sub_epi16(full, b)));
}

}  // namespace lanes
#endif

// The height and colour images of one cell: the height image's grey of the ground relief, dry and
// wet thickness; the colour the paint's own, wet over dry, whose alpha the paint's coverage raises
// over the background's. The composition gives the colour image the paint's coverage as its alpha
// and lays it over what lies below, so the colour must not be mixed with the background already:
// thin paint would then show by its coverage twice. Where there is no paint the colour is the
// background's.
struct HeightAndColorRule {
  Texel background;

  // What the wet paint lies on: the dry paint, else the wet paint itself (so that it keeps its own
  // colour), else the background.
  TESS_KERNEL_INLINE static Texel under(Texel w, Texel d, Texel background) {
    return d.a > 0 ? d : w.a > 0 ? w : background;
  }

  TESS_KERNEL_INLINE void apply(Texel w, Texel d, int relief, Texel& height, Texel& color) const {
    height = grey(heightByte(relief + w.a + d.a));
    color = over(w, under(w, d, background));
    color.a = static_cast<std::uint8_t>(
        background.a + scale255(255 - background.a, combinedCoverage(coverage(w.a), coverage(d.a))));
  }

  // The rule over n cells of bytes, with each cell's relief.
  void applyBytes(const std::uint8_t* w, const std::uint8_t* d, const std::uint32_t* relief, std::uint8_t* height,
                  std::uint8_t* color, std::size_t n) const {
    std::size_t k = 0;
#if defined(__SSE2__)
    // What depends on the thickness alone (height, coverage, the colour's alpha) for four cells in
    // 32-bit lanes; the colours' mixes for two cells at a time in 16-bit lanes.
    const __m128i base = _mm_set1_epi32(static_cast<int>(std::uint32_t{background.r} | std::uint32_t{background.g} << 8 |
                                                         std::uint32_t{background.b} << 16));
    const __m128i baseAlpha = _mm_set1_epi32(background.a), clear = _mm_set1_epi32(255 - background.a);
    const __m128i colourBytes = _mm_set1_epi32(0x00FFFFFF);
    for (; k + 4 <= n; k += 4) {
      // Every input read before anything is written, as each cell's rule does.
      const __m128i wetTexels = lanes::load(w + 4 * k), dryTexels = lanes::load(d + 4 * k);
      const __m128i wetAlpha = _mm_srli_epi32(wetTexels, 24), dryAlpha = _mm_srli_epi32(dryTexels, 24);
      // min(255, (relief + wet + dry + 1) / 2), a grey.
      const __m128i surface = _mm_add_epi32(_mm_add_epi32(lanes::load(relief + k), wetAlpha),
                                            _mm_add_epi32(dryAlpha, _mm_set1_epi32(1)));
      const __m128i grey = lanes::greys(_mm_min_epi16(_mm_srli_epi32(surface, 1), _mm_set1_epi32(255)));
      const __m128i wetCover = lanes::coverage(wetAlpha), dryCover = lanes::coverage(dryAlpha);
      const __m128i alpha =
          _mm_add_epi32(baseAlpha, lanes::scale255(clear, lanes::combinedCoverage(wetCover, dryCover)));
      // under(): the dry texel where it holds paint, else the wet one where it does, else the base.
      const __m128i zero = _mm_setzero_si128();
      const __m128i hasDry = _mm_cmpgt_epi32(dryAlpha, zero), hasWet = _mm_cmpgt_epi32(wetAlpha, zero);
      const __m128i wetOrBase = _mm_or_si128(_mm_and_si128(hasWet, wetTexels), _mm_andnot_si128(hasWet, base));
      const __m128i underTexels = _mm_or_si128(_mm_and_si128(hasDry, dryTexels), _mm_andnot_si128(hasDry, wetOrBase));
      __m128i wet[2], under[2], shown[2];
      lanes::unpack(wetTexels, wet[0], wet[1]);
      lanes::unpack(underTexels, under[0], under[1]);
      for (int t = 0; t < 2; ++t) shown[t] = lanes::mix(under[t], wet[t], lanes::spread(wetCover, t));
      const __m128i colour = _mm_and_si128(_mm_packus_epi16(shown[0], shown[1]), colourBytes);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(height + 4 * k), grey);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(color + 4 * k), _mm_or_si128(colour, _mm_slli_epi32(alpha, 24)));
    }
#endif
    for (; k < n; ++k) {
      Texel h, c;
      apply(texelAt(w + 4 * k), texelAt(d + 4 * k), static_cast<int>(relief[k]), h, c);
      putTexel(height + 4 * k, h);
      putTexel(color + 4 * k, c);
    }
  }
};

// The passes dispatch each of these kernels twice in one encode. A repeat over the same bindings
// writes the bytes the first run wrote when none of the textures it writes is one it reads, so it is
// left out. (The fold reads its own target too: a maximum taken twice is taken once.)
bool repeatChangesNothing(const gpu::Dispatch& dispatch, std::initializer_list<std::int64_t> written,
                          std::initializer_list<std::int64_t> read) {
  if (!dispatch.repeatsPrevious()) return false;
  for (const std::int64_t slot : written) {
    if (dispatch.bindsSameTexture(slot, read)) return false;
  }
  return true;
}

// A chunk of a run that may be kNoPaint, which stands for every chunk.
TESS_KERNEL_INLINE const std::uint8_t* chunkAt(const std::uint8_t* run, std::size_t done) {
  return run == kNoPaint ? run : run + 4 * done;
}

// The working region's height image (ground relief, dry and wet thickness) and colour image (the
// paint's colour, wet over dry; the background colour where there is none). `withWet` false: the dry paint's images only.
void heightAndColor(const gpu::Dispatch& dispatch, bool withWet) {
  if (repeatChangesNothing(dispatch, {TEXTURE_HEIGHT_IMAGE_WRITE, TEXTURE_COLOR_IMAGE_WRITE},
                           {TEXTURE_WET_READ, TEXTURE_DRY_READ, TEXTURE_GROUND}))
    return;
  const gpu::TexelView wet = withWet ? dispatch.texels(TEXTURE_WET_READ) : gpu::TexelView{};
  const gpu::TexelView dry = flagArgument(dispatch, BUFFER_USE_DRY, true) ? dispatch.texels(TEXTURE_DRY_READ)
                                                                          : gpu::TexelView{};
  const gpu::TexelView height = dispatch.texels(TEXTURE_HEIGHT_IMAGE_WRITE),
                       color = dispatch.texels(TEXTURE_COLOR_IMAGE_WRITE);
  const gpu::uint3 offset = offsetArgument(dispatch);
  // The relief shows only while the ground is shown.
  const gpu::TexelView groundView =
      flagArgument(dispatch, BUFFER_SHOW_GROUND, false) ? dispatch.texels(TEXTURE_GROUND) : gpu::TexelView{};
  const GroundRelief ground(groundView);
  // Without a background colour (the dry pass gets none) the base is a blank white.
  const HeightAndColorRule rule{bytesOf(float4Argument(dispatch, BUFFER_COLOR, {1, 1, 1, 1}))};
  const gpu::Size limit{std::max(height.width(), color.width()), std::max(height.height(), color.height()), 1};
  gpu::forEachRow(dispatch, limit, [=](gpu::uint3 first, std::size_t count) {
    const std::uint64_t groundX = std::uint64_t{first.x} + offset.x, groundY = std::uint64_t{first.y} + offset.y;
    std::uint8_t* const h = rgba8Run(height, first, count);
    std::uint8_t* const c = rgba8Run(color, first, count);
    const std::uint8_t* const w = wet ? rgba8Run(wet, first, count) : kNoPaint;
    const std::uint8_t* const d = dry ? rgba8Run(dry, first, count) : kNoPaint;
    if (h == nullptr || c == nullptr || w == nullptr || d == nullptr) {
      for (std::uint32_t k = 0; k < count; ++k) {
        const std::uint32_t x = first.x + k;
        Texel ht, ct;
        rule.apply(load(wet, x, first.y), load(dry, x, first.y), ground.at(groundX + k, groundY), ht, ct);
        store(height, ht, x, first.y);
        store(color, ct, x, first.y);
      }
      return;
    }
    std::uint32_t relief[kChunk] = {};
    for (std::size_t done = 0; done < count; done += kChunk) {
      const std::size_t n = std::min(kChunk, count - done);
      if (groundView) {
        for (std::size_t k = 0; k < n; ++k)
          relief[k] = static_cast<std::uint32_t>(ground.at(groundX + done + k, groundY));
      }
      rule.applyBytes(chunkAt(w, done), chunkAt(d, done), relief, h + 4 * done, c + 4 * done, n);
    }
  });
}

// The coverage image's texel of one cell: white whose alpha is the coverage of its wet and dry
// paint together.
TESS_KERNEL_INLINE Texel coverageTexel(Texel w, Texel d) {
  return {255, 255, 255, static_cast<std::uint8_t>(combinedCoverage(coverage(w.a), coverage(d.a)))};
}

// coverageTexel over n cells of bytes.
void coverageBytes(const std::uint8_t* w, const std::uint8_t* d, std::uint8_t* target, std::size_t n) {
  std::size_t k = 0;
#if defined(__SSE2__)
  // Four cells at once, their alpha bytes in 32-bit lanes.
  const __m128i white = _mm_set1_epi32(0x00FFFFFF);
  for (; k + 4 <= n; k += 4) {
    const __m128i cover = lanes::combinedCoverage(lanes::coverage(lanes::alphaBytes(w + 4 * k)),
                                                  lanes::coverage(lanes::alphaBytes(d + 4 * k)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 4 * k), _mm_or_si128(_mm_slli_epi32(cover, 24), white));
  }
#endif
  for (; k < n; ++k) putTexel(target + 4 * k, coverageTexel(texelAt(w + 4 * k), texelAt(d + 4 * k)));
}

// The coverage image of the wet and dry paint (`withWet`) or of the dry paint alone.
void coverageImage(const gpu::Dispatch& dispatch, bool withWet) {
  if (repeatChangesNothing(dispatch, {TEXTURE_COLOR_IMAGE_WRITE}, {TEXTURE_WET_READ, TEXTURE_DRY_READ})) return;
  const gpu::TexelView wet = withWet ? dispatch.texels(TEXTURE_WET_READ) : gpu::TexelView{};
  const gpu::TexelView dry = flagArgument(dispatch, BUFFER_USE_DRY, true) ? dispatch.texels(TEXTURE_DRY_READ)
                                                                          : gpu::TexelView{};
  const gpu::TexelView target = dispatch.texels(TEXTURE_COLOR_IMAGE_WRITE);
  gpu::forEachRow(dispatch, target, [=](gpu::uint3 first, std::size_t count) {
    std::uint8_t* const t = rgba8Run(target, first, count);
    const std::uint8_t* const w = wet ? rgba8Run(wet, first, count) : kNoPaint;
    const std::uint8_t* const d = dry ? rgba8Run(dry, first, count) : kNoPaint;
    if (t == nullptr || w == nullptr || d == nullptr) {
      for (std::uint32_t x = first.x; x < first.x + count; ++x) {
        store(target, coverageTexel(load(wet, x, first.y), load(dry, x, first.y)), x, first.y);
      }
      return;
    }
    for (std::size_t done = 0; done < count; done += kChunk) {
      coverageBytes(chunkAt(w, done), chunkAt(d, done), t + 4 * done, std::min(kChunk, count - done));
    }
  });
}

// The fold of n cells of a lower layer's bytes into a height image's: the image takes the higher
// of its grey and the layer's height. `current` may be `target`.
void foldBytes(const std::uint8_t* w, const std::uint8_t* d, const std::uint8_t* current, std::uint8_t* target,
               std::size_t n) {
  std::size_t k = 0;
#if defined(__SSE2__)
  // heightByte(a + b) is the rounded-up mean of two bytes, one instruction for sixteen bytes; the
  // alpha bytes' means, moved down to the red bytes, meet the image's red by an unsigned maximum.
  const __m128i red = _mm_set1_epi32(0xFF);
  for (; k + 4 <= n; k += 4) {
    const __m128i lower = _mm_srli_epi32(_mm_avg_epu8(lanes::load(w + 4 * k), lanes::load(d + 4 * k)), 24);
    const __m128i v = _mm_max_epu8(_mm_and_si128(lanes::load(current + 4 * k), red), lower);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 4 * k), lanes::greys(v));
  }
#endif
  for (; k < n; ++k) {
    const std::uint8_t value = std::max(current[4 * k], heightByte(w[4 * k + 3] + d[4 * k + 3]));
    putTexel(target + 4 * k, grey(value));
  }
}

// The cells beyond a lower layer's edge: the image keeps its grey, made opaque.
void keepGrey(const std::uint8_t* current, std::uint8_t* target, std::size_t n) {
  for (std::size_t k = 0; k < n; ++k) putTexel(target + 4 * k, grey(current[4 * k]));
}

}  // namespace

void dataToHeight(const gpu::Dispatch& dispatch) { heightAndColor(dispatch, true); }

void dataToDryHeight(const gpu::Dispatch& dispatch) { heightAndColor(dispatch, false); }

void dataToHeightSubLayer(const gpu::Dispatch& dispatch) {
  if (repeatChangesNothing(dispatch, {TEXTURE_HEIGHT_IMAGE_WRITE}, {TEXTURE_WET_READ, TEXTURE_DRY_READ})) return;
  const gpu::TexelView wet = dispatch.texels(TEXTURE_WET_READ), dry = dispatch.texels(TEXTURE_DRY_READ),
                       current = dispatch.texels(TEXTURE_HEIGHT_IMAGE_READ),
                       target = dispatch.texels(TEXTURE_HEIGHT_IMAGE_WRITE);
  const gpu::uint3 offset = offsetArgument(dispatch);
  gpu::forEachRow(dispatch, target, [=](gpu::uint3 first, std::size_t count) {
    // The layer under the run, at layer positions first + offset on: `inside` of the run's cells
    // lie on it, the rest beyond its edge, where nothing is folded.
    std::size_t x = 0, y = 0, z = 0, inside = 0;
    if (offsetInto(wet, first, offset, x, y, z)) inside = std::min(count, wet.width() - x);
    const gpu::uint3 under{static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 0};
    const std::uint8_t* const w = inside > 0 ? rgba8Run(wet, under, inside) : kNoPaint;
    const std::uint8_t* const d = inside > 0 ? rgba8Run(dry, under, inside) : kNoPaint;
    const std::uint8_t* const c = rgba8Run(current, first, count);
    std::uint8_t* const t = rgba8Run(target, first, count);
    if (w == nullptr || d == nullptr || c == nullptr || t == nullptr) {
      for (std::size_t k = 0; k < count; ++k) {
        const std::uint8_t lower = k < inside ? heightByte(load(wet, x + k, y).a + load(dry, x + k, y).a) : 0;
        // The fold keeps the higher surface, so folding a layer again changes nothing.
        store(target, grey(std::max(load(current, first.x + k, first.y).r, lower)), first.x + k, first.y);
      }
      return;
    }
    foldBytes(w, d, c, t, inside);
    keepGrey(c + 4 * inside, t + 4 * inside, count - inside);
  });
}

void dataToAlpha(const gpu::Dispatch& dispatch) { coverageImage(dispatch, true); }

void dataToDryAlpha(const gpu::Dispatch& dispatch) { coverageImage(dispatch, false); }

}  // namespace kernels
