#include "TextureImage.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gpu/TexelView.h"
#include "gpu/Texture.h"
#include "imaging/GridSampling.h"

namespace imaging {

ImagePtr Image::fromTexture(std::shared_ptr<gpu::Texture> texture) {
  if (!texture || texture->textureType() != gpu::TextureType::Type2D) return nullptr;
  return std::make_shared<TextureImage>(std::move(texture));
}

TextureImage::TextureImage(std::shared_ptr<gpu::Texture> texture)
    : Image(graphics::Rect(0, 0, static_cast<double>(texture->width()),
                           static_cast<double>(texture->height()))),
      texture_(std::move(texture)),
      data_(texture_->texels(0).texel(0, 0)),
      rowBytes_(texture_->texels(0).bytesPerRow()),
      texelBytes_(texture_->texels(0).bytesPerPixel()),
      format_(texture_->pixelFormat()),
      width_(static_cast<std::int64_t>(texture_->width())),
      height_(static_cast<std::int64_t>(texture_->height())) {}

// The texels as a grid for sampleGrid, their format fixed, so that no texel read branches on it.
template <gpu::PixelFormat F>
class TextureImage::Texels {
 public:
  explicit Texels(const TextureImage& image) : image_(image) {}
  std::int64_t width() const { return image_.width_; }
  std::int64_t height() const { return image_.height_; }
  RGBA texel(std::int64_t i, std::int64_t j) const { return decode<F>(image_.address(i, j)); }
  RGBA premultipliedTexel(std::int64_t i, std::int64_t j) const { return premultiplied(texel(i, j)); }

 private:
  const TextureImage& image_;
};

void TextureImage::sampleBatch(const Batch& batch, RGBA* out) const {
  switch (format_) {
    case gpu::PixelFormat::RGBA8Unorm:
      return sampleIn<gpu::PixelFormat::RGBA8Unorm>(batch, out);
    case gpu::PixelFormat::BGRA8Unorm:
      return sampleIn<gpu::PixelFormat::BGRA8Unorm>(batch, out);
    default:
      return sampleIn<gpu::PixelFormat::RGBA32Float>(batch, out);
  }
}

bool TextureImage::sampleTexelRun(std::int64_t i, std::int64_t j, std::size_t count, RGBA* out) const {
  // The run's part inside the texture: [first, end) of its k.
  const std::int64_t n = static_cast<std::int64_t>(count);
  const bool row = j >= 0 && j < height_;
  const std::int64_t first = row ? std::clamp<std::int64_t>(-i, 0, n) : n;
  const std::int64_t end = row ? std::clamp<std::int64_t>(width_ - i, first, n) : n;
  std::fill(out, out + first, RGBA{});
  std::fill(out + end, out + n, RGBA{});
  if (end > first) {
    const auto inside = static_cast<std::size_t>(end - first);
    switch (format_) {
      case gpu::PixelFormat::RGBA8Unorm:
        decodeRun<gpu::PixelFormat::RGBA8Unorm>(i + first, j, inside, out + first);
        break;
      case gpu::PixelFormat::BGRA8Unorm:
        decodeRun<gpu::PixelFormat::BGRA8Unorm>(i + first, j, inside, out + first);
        break;
      default:
        decodeRun<gpu::PixelFormat::RGBA32Float>(i + first, j, inside, out + first);
        break;
    }
  }
  return true;
}

template <gpu::PixelFormat F>
void TextureImage::decodeRun(std::int64_t i, std::int64_t j, std::size_t count, RGBA* out) const {
  const std::uint8_t* t = address(i, j);
  std::size_t k = 0;
#if defined(__SSE2__)
  if constexpr (F != gpu::PixelFormat::RGBA32Float) {
    // fromUnorm8's steps for four texels, their bytes loaded and widened together.
    const __m128i zero = _mm_setzero_si128();
    const __m128 scale = _mm_set1_ps(1.0f / 255.0f);
    const auto put = [&](__m128i lanes, RGBA& value) {
      __m128 f = _mm_mul_ps(_mm_cvtepi32_ps(lanes), scale);
      if constexpr (F == gpu::PixelFormat::BGRA8Unorm) f = _mm_shuffle_ps(f, f, _MM_SHUFFLE(3, 0, 1, 2));
      value = store(f);
    };
    for (; k + 4 <= count; k += 4, t += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t));
      const __m128i low = _mm_unpacklo_epi8(bytes, zero), high = _mm_unpackhi_epi8(bytes, zero);
      put(_mm_unpacklo_epi16(low, zero), out[k]);
      put(_mm_unpackhi_epi16(low, zero), out[k + 1]);
      put(_mm_unpacklo_epi16(high, zero), out[k + 2]);
      put(_mm_unpackhi_epi16(high, zero), out[k + 3]);
    }
  }
#endif
  for (; k < count; ++k, t += texelBytes_) out[k] = decode<F>(t);
}

#if defined(__SSE2__)
namespace {

// Four 8-bit texels, one per lane, as normalised red, green, blue and alpha (memory order r, g, b,
// a, or b, g, r, a when `bgra`), each channel's lanes in one vector.
struct Channels {
  __m128 r, g, b, a;
};

inline Channels decodeLanes(__m128i texels, bool bgra) {
  const __m128i byte = _mm_set1_epi32(0xFF);
  const __m128 k = _mm_set1_ps(1.0f / 255.0f);
  const auto channel = [&](int shift) {
    return _mm_mul_ps(_mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(texels, shift), byte)), k);
  };
  const __m128 first = channel(0), third = channel(16);
  return {bgra ? third : first, channel(8), bgra ? first : third, channel(24)};
}

// The lanes of `v` where `mask` is set, else those of `otherwise`.
inline __m128 select(__m128 mask, __m128 v, __m128 otherwise) {
  return _mm_or_ps(_mm_and_ps(mask, v), _mm_andnot_ps(mask, otherwise));
}

}  // namespace

// sampleGrid (GridSampling.h) at four points at once, a point to a lane. Every lane takes the
// scalar steps in their order with the same operations (the indices truncated in 32 bits, which
// hold every position inside a texture), so the values are the scalar ones bit for bit; four
// texels are decoded and mixed per instruction instead of one.
template <gpu::PixelFormat F>
void TextureImage::sampleFour(const graphics::Point* points, RGBA* out) const {
  constexpr bool bgra = F == gpu::PixelFormat::BGRA8Unorm;
  const auto inside = [&](__m128d x, __m128d y) {
    const __m128d zero = _mm_setzero_pd();
    return _mm_and_pd(_mm_and_pd(_mm_cmpge_pd(x, zero), _mm_cmplt_pd(x, _mm_set1_pd(static_cast<double>(width_)))),
                      _mm_and_pd(_mm_cmpge_pd(y, zero), _mm_cmplt_pd(y, _mm_set1_pd(static_cast<double>(height_)))));
  };
  // fx = x - 0.5, i = trunc(fx + 1) - 1, t = float(fx - i), for two points.
  const auto cell = [](__m128d v, __m128i& index, __m128& t) {
    const __m128d f = _mm_sub_pd(v, _mm_set1_pd(0.5));
    index = _mm_sub_epi32(_mm_cvttpd_epi32(_mm_add_pd(f, _mm_set1_pd(1.0))), _mm_set1_epi32(1));
    t = _mm_cvtpd_ps(_mm_sub_pd(f, _mm_cvtepi32_pd(index)));
  };
  const __m128d x01 = _mm_set_pd(points[1].x, points[0].x), x23 = _mm_set_pd(points[3].x, points[2].x);
  const __m128d y01 = _mm_set_pd(points[1].y, points[0].y), y23 = _mm_set_pd(points[3].y, points[2].y);
  const int in = _mm_movemask_pd(inside(x01, y01)) | (_mm_movemask_pd(inside(x23, y23)) << 2);
  if (in == 0) {
    for (int l = 0; l < 4; ++l) out[l] = RGBA{};
    return;
  }
  __m128i i01, i23, j01, j23;
  __m128 tx01, tx23, ty01, ty23;
  cell(x01, i01, tx01);
  cell(x23, i23, tx23);
  cell(y01, j01, ty01);
  cell(y23, j23, ty23);
  const __m128 tx = _mm_movelh_ps(tx01, tx23), ty = _mm_movelh_ps(ty01, ty23);
  const __m128i is = _mm_unpacklo_epi64(i01, i23), js = _mm_unpacklo_epi64(j01, j23);
  alignas(16) std::int32_t ii[4], jj[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(ii), is);
  _mm_store_si128(reinterpret_cast<__m128i*>(jj), js);

  // The four texels around each point, one vector per corner. Beyond the texture (and for a point
  // outside it) they read as transparent black, which decodes to zero.
  __m128i corner[4];
  const __m128i zero = _mm_setzero_si128();
  const __m128i before = _mm_or_si128(_mm_cmplt_epi32(is, zero), _mm_cmplt_epi32(js, zero));
  const __m128i past = _mm_or_si128(_mm_cmpgt_epi32(is, _mm_set1_epi32(static_cast<int>(width_) - 2)),
                                    _mm_cmpgt_epi32(js, _mm_set1_epi32(static_cast<int>(height_) - 2)));
  if (in == 15 && _mm_movemask_epi8(_mm_or_si128(before, past)) == 0) {
    // Every point inside with its four texels: two adjacent texels of a row are one 8-byte load.
    __m128i rows[2][2];
    for (int pair = 0; pair < 2; ++pair) {
      __m128i low[2], high[2];
      for (int half = 0; half < 2; ++half) {
        const int l = 2 * pair + half;
        const std::uint8_t* t = address(ii[l], jj[l]);
        low[half] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(t));
        high[half] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(t + rowBytes_));
      }
      rows[0][pair] = _mm_unpacklo_epi64(low[0], low[1]);  // (i, j) and (i + 1, j) of two points
      rows[1][pair] = _mm_unpacklo_epi64(high[0], high[1]);
    }
    for (int row = 0; row < 2; ++row) {
      const __m128 a = _mm_castsi128_ps(rows[row][0]), b = _mm_castsi128_ps(rows[row][1]);
      corner[2 * row] = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
      corner[2 * row + 1] = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
    }
  } else {
    alignas(16) std::uint32_t texels[4][4] = {};
    for (int l = 0; l < 4; ++l) {
      if (!(in & (1 << l))) continue;
      const std::int64_t i = ii[l], j = jj[l];
      const bool left = i >= 0, right = i + 1 < width_, below = j >= 0, above = j + 1 < height_;
      const auto at = [&](std::int64_t ci, std::int64_t cj) {
        std::uint32_t texel;
        std::memcpy(&texel, address(ci, cj), 4);
        return texel;
      };
      if (left && below) texels[0][l] = at(i, j);
      if (right && below) texels[1][l] = at(i + 1, j);
      if (left && above) texels[2][l] = at(i, j + 1);
      if (right && above) texels[3][l] = at(i + 1, j + 1);
    }
    for (int c = 0; c < 4; ++c) corner[c] = _mm_load_si128(reinterpret_cast<const __m128i*>(texels[c]));
  }
  const __m128 one = _mm_set1_ps(1.0f);
  const __m128 weight[4] = {_mm_mul_ps(_mm_sub_ps(one, tx), _mm_sub_ps(one, ty)), _mm_mul_ps(tx, _mm_sub_ps(one, ty)),
                            _mm_mul_ps(_mm_sub_ps(one, tx), ty), _mm_mul_ps(tx, ty)};
  Channels sum{}, first{};
  for (int c = 0; c < 4; ++c) {
    const Channels t = decodeLanes(corner[c], bgra);
    if (c == 0) first = t;
    // Premultiplied, weighted, and summed in the scalar order: ((w00 t00 + w10 t10) + w01 t01) + w11 t11.
    const Channels p{_mm_mul_ps(t.r, t.a), _mm_mul_ps(t.g, t.a), _mm_mul_ps(t.b, t.a), t.a};
    const auto term = [&](__m128 v) { return _mm_mul_ps(weight[c], v); };
    if (c == 0) {
      sum = {term(p.r), term(p.g), term(p.b), term(p.a)};
    } else {
      sum = {_mm_add_ps(sum.r, term(p.r)), _mm_add_ps(sum.g, term(p.g)), _mm_add_ps(sum.b, term(p.b)),
             _mm_add_ps(sum.a, term(p.a))};
    }
  }
  // Unpremultiplied: transparent black where the alpha is not above 0, else the colour times 1 / alpha.
  const __m128 shows = _mm_cmpnle_ps(sum.a, _mm_setzero_ps());
  const __m128 k = _mm_div_ps(one, sum.a);
  __m128 r = _mm_and_ps(shows, _mm_mul_ps(sum.r, k)), g = _mm_and_ps(shows, _mm_mul_ps(sum.g, k));
  __m128 b = _mm_and_ps(shows, _mm_mul_ps(sum.b, k)), a = _mm_and_ps(shows, sum.a);
  // A point at a texel centre gives that texel as it is.
  const __m128 centre = _mm_and_ps(_mm_cmpeq_ps(tx, _mm_setzero_ps()), _mm_cmpeq_ps(ty, _mm_setzero_ps()));
  r = select(centre, first.r, r), g = select(centre, first.g, g), b = select(centre, first.b, b);
  a = select(centre, first.a, a);
  _MM_TRANSPOSE4_PS(r, g, b, a);
  const __m128 lanes[4] = {r, g, b, a};
  for (int l = 0; l < 4; ++l) out[l] = (in & (1 << l)) ? store(lanes[l]) : RGBA{};
}
#endif

template <gpu::PixelFormat F>
void TextureImage::sampleIn(const Batch& batch, RGBA* out) const {
  const graphics::Point* points = batch.points;
  const std::size_t count = batch.count;
  // A run of texel centres within one row is a straight copy of texels.
  if (count > 0 && batch.unitRow) {
    const double fx = points[0].x - 0.5, fy = points[0].y - 0.5;
    const double lastX = points[0].x + static_cast<double>(count - 1);
    if (fx >= 0.0 && fy >= 0.0 && lastX < static_cast<double>(width_) &&
        points[0].y < static_cast<double>(height_)) {
      const auto i = static_cast<std::int64_t>(fx), j = static_cast<std::int64_t>(fy);
      if (static_cast<double>(i) == fx && static_cast<double>(j) == fy) {
        decodeRun<F>(i, j, count, out);
        return;
      }
    }
  }
  std::size_t k = 0;
#if defined(__SSE2__)
  if constexpr (F != gpu::PixelFormat::RGBA32Float) {
    for (; k + 4 <= count; k += 4) sampleFour<F>(points + k, out + k);
  }
#endif
  sampleGrid(Texels<F>(*this), points + k, count - k, out + k);
}

}  // namespace imaging
