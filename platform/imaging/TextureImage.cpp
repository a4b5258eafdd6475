#include "TextureImage.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gpu/TexelView.h"
#include "gpu/Texture.h"
#include "gpu/Unorm8.h"
#include "imaging/GridSampling.h"
#include "imaging/RenderTables.h"

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

void TextureImage::prepareLookups(RenderTables& tables) const {
  const bool bytes = format_ == gpu::PixelFormat::RGBA8Unorm || format_ == gpu::PixelFormat::BGRA8Unorm;
  // An image the render looks up through several nodes (the shading picture of the wet and the dry
  // relief) has its texels compared with its bytes once.
  if (!bytes || tables.premultiplied(this)) return;
  // A table made for an earlier render whose bytes still hold costs only their comparison, so it is
  // used however few the lookups (a picture rebuilt region by region renders many small pieces).
  const bool pays = static_cast<std::size_t>(width_ * height_) <= tables.samples();
  if (auto texels = premultipliedTexels(pays)) tables.add(this, std::move(texels));
}

std::shared_ptr<const PremultipliedTexels> TextureImage::premultipliedTexels(bool make) const {
  const std::size_t row = static_cast<std::size_t>(width_) * 4, rows = static_cast<std::size_t>(height_);
  const auto unchanged = [&](const std::vector<std::uint8_t>& source) {
    for (std::size_t j = 0; j < rows; ++j) {
      if (std::memcmp(source.data() + j * row, data_ + j * rowBytes_, row) != 0) return false;
    }
    return true;
  };
  std::lock_guard<std::mutex> lock(premultipliedMutex_);
  if (premultiplied_ && unchanged(premultiplied_->source)) return premultiplied_;
  if (!make) return nullptr;
  // A new table, so that a render still reading the old one keeps it unchanged.
  auto texels = std::make_shared<PremultipliedTexels>(width_, height_);
  texels->source.resize(row * rows);
  const bool bgra = format_ == gpu::PixelFormat::BGRA8Unorm;
  for (std::size_t j = 0; j < rows; ++j) {
    std::memcpy(texels->source.data() + j * row, data_ + j * rowBytes_, row);
    RGBA* to = texels->at(0, static_cast<std::int64_t>(j));
    for (std::int64_t i = 0; i < width_; ++i) to[i] = premultiplied(fromUnorm8(address(i, static_cast<std::int64_t>(j)), bgra));
  }
  premultiplied_ = std::move(texels);
  return premultiplied_;
}

const std::uint8_t* TextureImage::texelRunBytes(std::int64_t i, std::int64_t j, std::size_t count) const {
  if (format_ != gpu::PixelFormat::RGBA8Unorm || j < 0 || j >= height_ || i < 0 || i > width_) return nullptr;
  return count <= static_cast<std::size_t>(width_ - i) ? address(i, j) : nullptr;
}

template <gpu::PixelFormat F>
void TextureImage::decodeRun(std::int64_t i, std::int64_t j, std::size_t count, RGBA* out) const {
  const std::uint8_t* t = address(i, j);
  std::size_t k = 0;
#if defined(__SSE2__)
  if constexpr (F != gpu::PixelFormat::RGBA32Float) {
    // fromUnorm8's steps for four texels, their bytes loaded and widened together.
    const __m128i zero = _mm_setzero_si128();
    const auto put = [&](__m128i lanes, RGBA& value) {
      const __m128 f = gpu::unorm8Lanes(lanes);
      value = store(F == gpu::PixelFormat::BGRA8Unorm ? gpu::swapRedBlue(f) : f);
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
  const __m128 first = gpu::unorm8Channel(texels, 0), third = gpu::unorm8Channel(texels, 16);
  return {bgra ? third : first, gpu::unorm8Channel(texels, 8), bgra ? first : third, gpu::unorm8Channel(texels, 24)};
}

}  // namespace

// sampleGrid (GridSampling.h) at four points at once, a point to a lane. Every lane takes the
// scalar steps in their order with the same operations (the indices truncated in 32 bits, which
// hold every position inside a texture), so the values are the scalar ones bit for bit; four
// texels are decoded and mixed per instruction instead of one. The corners are worked one at a
// time into running sums and the rare cases (a point at a texel centre, points outside) are put
// right at the end, so that the common case keeps its values in registers.
template <gpu::PixelFormat F>
void TextureImage::sampleFour(const graphics::Point* points, RGBA* out) const {
  constexpr bool bgra = F == gpu::PixelFormat::BGRA8Unorm;
  const __m128d p0 = _mm_loadu_pd(&points[0].x), p1 = _mm_loadu_pd(&points[1].x);
  const __m128d p2 = _mm_loadu_pd(&points[2].x), p3 = _mm_loadu_pd(&points[3].x);
  const __m128d x01 = _mm_unpacklo_pd(p0, p1), y01 = _mm_unpackhi_pd(p0, p1);
  const __m128d x23 = _mm_unpacklo_pd(p2, p3), y23 = _mm_unpackhi_pd(p2, p3);
  const auto inside = [&](__m128d x, __m128d y) {
    const __m128d zero = _mm_setzero_pd();
    return _mm_and_pd(_mm_and_pd(_mm_cmpge_pd(x, zero), _mm_cmplt_pd(x, _mm_set1_pd(static_cast<double>(width_)))),
                      _mm_and_pd(_mm_cmpge_pd(y, zero), _mm_cmplt_pd(y, _mm_set1_pd(static_cast<double>(height_)))));
  };
  const int in = _mm_movemask_pd(inside(x01, y01)) | (_mm_movemask_pd(inside(x23, y23)) << 2);
  if (in == 0) {
    for (int l = 0; l < 4; ++l) out[l] = RGBA{};
    return;
  }
  // fx = x - 0.5, i = trunc(fx + 1) - 1, t = float(fx - i), for two points.
  const auto cell = [](__m128d v, __m128i& index, __m128& t) {
    const __m128d f = _mm_sub_pd(v, _mm_set1_pd(0.5));
    index = _mm_sub_epi32(_mm_cvttpd_epi32(_mm_add_pd(f, _mm_set1_pd(1.0))), _mm_set1_epi32(1));
    t = _mm_cvtpd_ps(_mm_sub_pd(f, _mm_cvtepi32_pd(index)));
  };
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

  // The four texels around each point, one vector per corner (00, 10, 01, 11). Beyond the texture
  // (and for a point outside it) they read as transparent black, which decodes to zero.
  alignas(16) std::uint32_t corners[4][4];
  const __m128i zero = _mm_setzero_si128();
  const __m128i before = _mm_or_si128(_mm_cmplt_epi32(is, zero), _mm_cmplt_epi32(js, zero));
  const __m128i past = _mm_or_si128(_mm_cmpgt_epi32(is, _mm_set1_epi32(static_cast<int>(width_) - 2)),
                                    _mm_cmpgt_epi32(js, _mm_set1_epi32(static_cast<int>(height_) - 2)));
  // An 8-bit texel is 4 bytes: no multiplication by the texel size.
  const auto at = [&](std::int64_t i, std::int64_t j) {
    return data_ + static_cast<std::size_t>(j) * rowBytes_ + 4 * static_cast<std::size_t>(i);
  };
  const bool whole = in == 15 && _mm_movemask_epi8(_mm_or_si128(before, past)) == 0;
  // The points of a row two texels apart (a picture sampled at twice its resolution, between texel
  // centres): their texels are eight in a row, two 16-byte loads from each of the two rows.
  const __m128i pairs = _mm_add_epi32(_mm_shuffle_epi32(is, 0), _mm_set_epi32(6, 4, 2, 0));
  if (whole && _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi32(is, pairs),
                                               _mm_cmpeq_epi32(js, _mm_shuffle_epi32(js, 0)))) == 0xFFFF) {
    const std::uint8_t* t = at(ii[0], jj[0]);
    for (int row = 0; row < 2; ++row, t += rowBytes_) {
      const __m128 a = _mm_loadu_ps(reinterpret_cast<const float*>(t));
      const __m128 b = _mm_loadu_ps(reinterpret_cast<const float*>(t + 16));
      _mm_store_ps(reinterpret_cast<float*>(corners[2 * row]), _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
      _mm_store_ps(reinterpret_cast<float*>(corners[2 * row + 1]), _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
    }
  } else if (whole) {
    // Every point inside with its four texels: two adjacent texels of a row are one 8-byte load.
    __m128i rows[2][2];
    for (int pair = 0; pair < 2; ++pair) {
      const std::uint8_t* t0 = at(ii[2 * pair], jj[2 * pair]);
      const std::uint8_t* t1 = at(ii[2 * pair + 1], jj[2 * pair + 1]);
      rows[0][pair] = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(t0)),
                                         _mm_loadl_epi64(reinterpret_cast<const __m128i*>(t1)));
      rows[1][pair] = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(t0 + rowBytes_)),
                                         _mm_loadl_epi64(reinterpret_cast<const __m128i*>(t1 + rowBytes_)));
    }
    for (int row = 0; row < 2; ++row) {
      const __m128 a = _mm_castsi128_ps(rows[row][0]), b = _mm_castsi128_ps(rows[row][1]);
      _mm_store_ps(reinterpret_cast<float*>(corners[2 * row]), _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
      _mm_store_ps(reinterpret_cast<float*>(corners[2 * row + 1]), _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
    }
  } else {
    std::memset(corners, 0, sizeof corners);
    for (int l = 0; l < 4; ++l) {
      if (!(in & (1 << l))) continue;
      const std::int64_t i = ii[l], j = jj[l];
      const bool left = i >= 0, right = i + 1 < width_, below = j >= 0, above = j + 1 < height_;
      if (left && below) std::memcpy(&corners[0][l], at(i, j), 4);
      if (right && below) std::memcpy(&corners[1][l], at(i + 1, j), 4);
      if (left && above) std::memcpy(&corners[2][l], at(i, j + 1), 4);
      if (right && above) std::memcpy(&corners[3][l], at(i + 1, j + 1), 4);
    }
  }
  const auto corner = [&](int c) { return _mm_load_si128(reinterpret_cast<const __m128i*>(corners[c])); };

  // Premultiplied, weighted, and summed in the scalar order: ((w00 t00 + w10 t10) + w01 t01) + w11 t11.
  const __m128 one = _mm_set1_ps(1.0f), sx = _mm_sub_ps(one, tx), sy = _mm_sub_ps(one, ty);
  __m128 r = _mm_setzero_ps(), g = r, b = r, a = r;
  for (int c = 0; c < 4; ++c) {
    const __m128 weight = _mm_mul_ps(c & 1 ? tx : sx, c & 2 ? ty : sy);
    const Channels t = decodeLanes(corner(c), bgra);
    const auto term = [&](__m128 v) { return _mm_mul_ps(weight, _mm_mul_ps(v, t.a)); };
    if (c == 0) {
      r = term(t.r), g = term(t.g), b = term(t.b), a = _mm_mul_ps(weight, t.a);
    } else {
      r = _mm_add_ps(r, term(t.r)), g = _mm_add_ps(g, term(t.g)), b = _mm_add_ps(b, term(t.b));
      a = _mm_add_ps(a, _mm_mul_ps(weight, t.a));
    }
  }
  // Unpremultiplied: transparent black where the alpha is not above 0, else the colour times 1 / alpha.
  const __m128 shows = _mm_cmpnle_ps(a, _mm_setzero_ps());
  const __m128 k = _mm_div_ps(one, a);
  r = _mm_and_ps(shows, _mm_mul_ps(r, k)), g = _mm_and_ps(shows, _mm_mul_ps(g, k));
  b = _mm_and_ps(shows, _mm_mul_ps(b, k)), a = _mm_and_ps(shows, a);
  // A point at a texel centre gives that texel as it is.
  const __m128 centre = _mm_and_ps(_mm_cmpeq_ps(tx, _mm_setzero_ps()), _mm_cmpeq_ps(ty, _mm_setzero_ps()));
  if (_mm_movemask_ps(centre) != 0) {
    const Channels t = decodeLanes(corner(0), bgra);
    r = select(centre, t.r, r), g = select(centre, t.g, g), b = select(centre, t.b, b), a = select(centre, t.a, a);
  }
  _MM_TRANSPOSE4_PS(r, g, b, a);
  if (in == 15) {
    _mm_storeu_ps(&out[0].r, r), _mm_storeu_ps(&out[1].r, g), _mm_storeu_ps(&out[2].r, b), _mm_storeu_ps(&out[3].r, a);
    return;
  }
  const __m128 lanes[4] = {r, g, b, a};
  for (int l = 0; l < 4; ++l) out[l] = (in & (1 << l)) ? store(lanes[l]) : RGBA{};
}
#endif

// sampleGrid at four points from texels made ready premultiplied: each lane's four texels weighted
// and summed as sampleGrid sums them, then unpremultiplied as it does; the border round the texels
// stands for the transparent black beyond the texture.
template <gpu::PixelFormat F>
void TextureImage::sampleFour(const PremultipliedTexels& texels, const graphics::Point* points, RGBA* out) const {
  const __m128d p0 = _mm_loadu_pd(&points[0].x), p1 = _mm_loadu_pd(&points[1].x);
  const __m128d p2 = _mm_loadu_pd(&points[2].x), p3 = _mm_loadu_pd(&points[3].x);
  const __m128d x01 = _mm_unpacklo_pd(p0, p1), y01 = _mm_unpackhi_pd(p0, p1);
  const __m128d x23 = _mm_unpacklo_pd(p2, p3), y23 = _mm_unpackhi_pd(p2, p3);
  const auto inside = [&](__m128d x, __m128d y) {
    const __m128d zero = _mm_setzero_pd();
    return _mm_and_pd(_mm_and_pd(_mm_cmpge_pd(x, zero), _mm_cmplt_pd(x, _mm_set1_pd(static_cast<double>(width_)))),
                      _mm_and_pd(_mm_cmpge_pd(y, zero), _mm_cmplt_pd(y, _mm_set1_pd(static_cast<double>(height_)))));
  };
  const int in = _mm_movemask_pd(inside(x01, y01)) | (_mm_movemask_pd(inside(x23, y23)) << 2);
  // fx = x - 0.5, i = trunc(fx + 1) - 1, t = float(fx - i), for two points.
  const auto cell = [](__m128d v, __m128i& index, __m128& t) {
    const __m128d f = _mm_sub_pd(v, _mm_set1_pd(0.5));
    index = _mm_sub_epi32(_mm_cvttpd_epi32(_mm_add_pd(f, _mm_set1_pd(1.0))), _mm_set1_epi32(1));
    t = _mm_cvtpd_ps(_mm_sub_pd(f, _mm_cvtepi32_pd(index)));
  };
  __m128i i01, i23, j01, j23;
  __m128 tx01, tx23, ty01, ty23;
  cell(x01, i01, tx01);
  cell(x23, i23, tx23);
  cell(y01, j01, ty01);
  cell(y23, j23, ty23);
  const __m128 tx = _mm_movelh_ps(tx01, tx23), ty = _mm_movelh_ps(ty01, ty23);
  alignas(16) std::int32_t ii[4], jj[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(ii), _mm_unpacklo_epi64(i01, i23));
  _mm_store_si128(reinterpret_cast<__m128i*>(jj), _mm_unpacklo_epi64(j01, j23));
  const __m128 one = _mm_set1_ps(1.0f), sx = _mm_sub_ps(one, tx), sy = _mm_sub_ps(one, ty);
  const __m128 w00 = _mm_mul_ps(sx, sy), w10 = _mm_mul_ps(tx, sy), w01 = _mm_mul_ps(sx, ty), w11 = _mm_mul_ps(tx, ty);
  const int centre = _mm_movemask_ps(_mm_and_ps(_mm_cmpeq_ps(tx, _mm_setzero_ps()), _mm_cmpeq_ps(ty, _mm_setzero_ps())));
  const std::size_t up = texels.stride;
  // The weighted sum of lane L's four texels, its weights taken from their vectors' lane L; a lane
  // outside reads the border's zeros.
  const auto sum = [&]<int L>() {
    constexpr int lane = _MM_SHUFFLE(L, L, L, L);
    const RGBA* t = texels.at((in & (1 << L)) ? ii[L] : -1, (in & (1 << L)) ? jj[L] : -1);
    return _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_shuffle_ps(w00, w00, lane), load(t[0])),
                                            _mm_mul_ps(_mm_shuffle_ps(w10, w10, lane), load(t[1]))),
                                 _mm_mul_ps(_mm_shuffle_ps(w01, w01, lane), load(t[up]))),
                      _mm_mul_ps(_mm_shuffle_ps(w11, w11, lane), load(t[up + 1])));
  };
  // Unpremultiplied as unpremultiplied() does it, the four points' channels a vector each:
  // transparent black where the alpha is not above 0, else the colour times 1 / alpha.
  __m128 r = sum.template operator()<0>(), g = sum.template operator()<1>();
  __m128 b = sum.template operator()<2>(), a = sum.template operator()<3>();
  _MM_TRANSPOSE4_PS(r, g, b, a);
  const __m128 shows = _mm_cmpnle_ps(a, _mm_setzero_ps());
  const __m128 k = _mm_div_ps(one, a);
  r = _mm_and_ps(shows, _mm_mul_ps(r, k)), g = _mm_and_ps(shows, _mm_mul_ps(g, k));
  b = _mm_and_ps(shows, _mm_mul_ps(b, k)), a = _mm_and_ps(shows, a);
  _MM_TRANSPOSE4_PS(r, g, b, a);
  if (in == 15 && centre == 0) {
    _mm_storeu_ps(&out[0].r, r), _mm_storeu_ps(&out[1].r, g), _mm_storeu_ps(&out[2].r, b), _mm_storeu_ps(&out[3].r, a);
    return;
  }
  const __m128 lanes[4] = {r, g, b, a};
  for (int l = 0; l < 4; ++l) {
    if (!(in & (1 << l))) {
      out[l] = RGBA{};
    } else if (centre & (1 << l)) {
      out[l] = decode<F>(address(ii[l], jj[l]));  // a point at a texel centre gives that texel as it is
    } else {
      _mm_storeu_ps(&out[l].r, lanes[l]);
    }
  }
}

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
    if (const PremultipliedTexels* texels = batch.tables ? batch.tables->premultiplied(this) : nullptr) {
      for (; k + 4 <= count; k += 4) sampleFour<F>(*texels, points + k, out + k);
    } else {
      for (; k + 4 <= count; k += 4) sampleFour<F>(points + k, out + k);
    }
  }
#endif
  sampleGrid(Texels<F>(*this), points + k, count - k, out + k);
}

}  // namespace imaging
