#pragma once
// Direct texel access for CPU kernels and for the kit's own blits: a small value over one mip level of
// a texture. It is not virtual; every access is a bounds test, a format switch and a load or store.
// Reads outside the level give zero and writes outside it are ignored, so a kernel can never touch
// memory outside a texture. The run operations (copyRun, fillRun) work on a run of texels along a
// row with one bounds test for the whole run.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "gpu/Types.h"
#include "gpu/Unorm8.h"
#include "gpu/Vectors.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gpu {

// One texel's bytes in a view's format, for filling runs with one value (TexelView::encode).
struct TexelBytes {
  alignas(16) std::uint8_t bytes[16] = {};
  std::size_t size = 0;
};

class TexelView {
 public:
  TexelView() = default;
  TexelView(std::uint8_t* data, std::size_t width, std::size_t height, std::size_t depth, PixelFormat format)
      : data_(data), width_(width), height_(height), depth_(depth), format_(format),
        bytesPerPixel_(gpu::bytesPerPixel(format)), bytesPerRow_(width * bytesPerPixel_),
        bytesPerImage_(bytesPerRow_ * height) {}

  // False for the view of an unbound slot.
  explicit operator bool() const { return data_ != nullptr; }

  std::size_t width() const { return width_; }
  std::size_t height() const { return height_; }
  std::size_t depth() const { return depth_; }
  Size size() const { return {width_, height_, depth_}; }
  PixelFormat pixelFormat() const { return format_; }
  std::size_t bytesPerPixel() const { return bytesPerPixel_; }
  std::size_t bytesPerRow() const { return bytesPerRow_; }
  std::size_t bytesPerImage() const { return bytesPerImage_; }

  bool contains(std::size_t x, std::size_t y, std::size_t z = 0) const {
    return (x < width_) & (y < height_) & (z < depth_);  // one branch for the caller, not three
  }
  bool contains(uint3 p) const { return contains(p.x, p.y, p.z); }

  // The raw bytes of a texel, in the format's own channel order; null outside the level.
  std::uint8_t* texel(std::size_t x, std::size_t y, std::size_t z = 0) const {
    return contains(x, y, z) ? address(x, y, z) : nullptr;
  }
  std::uint8_t* texel(uint3 p) const { return texel(p.x, p.y, p.z); }

  // The texel as normalised red, green, blue, alpha (BGRA8 is swizzled back to RGBA order).
  float4 read(std::size_t x, std::size_t y, std::size_t z = 0) const {
    if (!contains(x, y, z)) return {};
    const std::uint8_t* t = address(x, y, z);
    if (bytesPerPixel_ == 4) [[likely]] {  // RGBA8 or BGRA8
      return unorm8ToFloat4(t, format_ == PixelFormat::BGRA8Unorm);
    }
    float4 v;  // RGBA32Float
    std::memcpy(&v, t, sizeof v);
    return v;
  }
  float4 read(uint3 p) const { return read(p.x, p.y, p.z); }

  // Writes normalised red, green, blue, alpha; unsigned normalised formats clamp to 0 to 1 and round.
  void write(float4 v, std::size_t x, std::size_t y, std::size_t z = 0) const {
    if (!contains(x, y, z)) return;
    std::uint8_t* t = address(x, y, z);
    if (bytesPerPixel_ == 4) [[likely]] {  // RGBA8 or BGRA8
#if defined(__SSE2__)
      __m128i lanes = toUnorm8Lanes(_mm_load_ps(&v.x));
      lanes = _mm_packs_epi32(lanes, lanes);
      lanes = _mm_packus_epi16(lanes, lanes);
      const std::int32_t word = _mm_cvtsi128_si32(lanes);
      std::memcpy(t, &word, 4);
#else
      if (format_ == PixelFormat::BGRA8Unorm) std::swap(v.x, v.z);
      t[0] = toUnorm8(v.x), t[1] = toUnorm8(v.y), t[2] = toUnorm8(v.z), t[3] = toUnorm8(v.w);
#endif
      return;
    }
    std::memcpy(t, &v, sizeof v);  // RGBA32Float
  }
  void write(float4 v, uint3 p) const { write(v, p.x, p.y, p.z); }

  // write() of the texels (x, y, z) to (x + count - 1, y, z) that lie inside the level, from four
  // floats (red, green, blue, alpha) a texel in `values`.
  void writeRun(const float* values, std::size_t x, std::size_t y, std::size_t z, std::size_t count) const {
    count = runInside(x, y, z, count);
    std::size_t k = 0;
#if defined(__SSE2__)
    if (bytesPerPixel_ == 4) {
      // Four texels' bytes packed together and stored at once.
      std::uint8_t* t = count > 0 ? address(x, y, z) : nullptr;
      for (; k + 4 <= count; k += 4) {
        const float* v = values + 4 * k;
        const __m128i first = _mm_packs_epi32(toUnorm8Lanes(_mm_loadu_ps(v)), toUnorm8Lanes(_mm_loadu_ps(v + 4)));
        const __m128i second = _mm_packs_epi32(toUnorm8Lanes(_mm_loadu_ps(v + 8)), toUnorm8Lanes(_mm_loadu_ps(v + 12)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(t + 4 * k), _mm_packus_epi16(first, second));
      }
    }
#endif
    for (; k < count; ++k) {
      const float* v = values + 4 * k;
      write(float4{v[0], v[1], v[2], v[3]}, x + k, y, z);
    }
  }

  // The bytes write(v) stores, worked out once for filling many texels.
  TexelBytes encode(float4 v) const {
    TexelBytes out;
    out.size = bytesPerPixel_;
    TexelView(out.bytes, 1, 1, 1, format_).write(v, 0, 0, 0);
    return out;
  }

  // The texels (x, y, z) to (x + count - 1, y, z) of the run that lie inside the level: their count,
  // 0 when the row lies outside.
  std::size_t runInside(std::size_t x, std::size_t y, std::size_t z, std::size_t count) const {
    return contains(x, y, z) ? std::min(count, width_ - x) : 0;
  }

  // Stores `value` (from encode on a view of the same format) into the run's texels inside the level.
  void fillRun(std::size_t x, std::size_t y, std::size_t z, std::size_t count, const TexelBytes& value) const {
    count = runInside(x, y, z, count);
    if (count == 0) return;
    std::uint8_t* t = address(x, y, z);
    const std::size_t total = count * bytesPerPixel_;
    if (std::all_of(value.bytes, value.bytes + value.size, [&](std::uint8_t b) { return b == value.bytes[0]; })) {
      std::memset(t, value.bytes[0], total);
      return;
    }
    // One texel, then the filled part doubled until the run is full: memcpy speed for any texel size.
    std::memcpy(t, value.bytes, bytesPerPixel_);
    for (std::size_t filled = bytesPerPixel_; filled < total; filled *= 2)
      std::memcpy(t + filled, t, std::min(filled, total - filled));
  }

  // Copies the run's texels from `from` (at the same positions) wherever both levels hold them: the
  // bytes unchanged between formats of one layout, converted through read and write otherwise.
  void copyRun(const TexelView& from, std::size_t x, std::size_t y, std::size_t z, std::size_t count) const {
    count = from.runInside(x, y, z, runInside(x, y, z, count));
    if (count == 0) return;
    std::uint8_t* t = address(x, y, z);
    const std::uint8_t* s = from.address(x, y, z);
    if (format_ == from.format_) {
      std::memmove(t, s, count * bytesPerPixel_);  // memmove: `from` may be this very level
      return;
    }
    for (std::size_t i = 0; i < count; ++i) write(from.read(x + i, y, z), x + i, y, z);
  }

  // One channel as a normalised value to the nearest byte: round(v * 255) clamped to 0..255 (NaN
  // gives 0).
  static std::uint8_t toUnorm8(float v) {
    v = v > 0.0f ? v : 0.0f;  // also takes NaN to 0; compiles to branch-free min and max
    v = v < 1.0f ? v : 1.0f;
    return static_cast<std::uint8_t>(static_cast<int>(v * 255.0f + 0.5f));
  }

 private:
#if defined(__SSE2__)
  // toUnorm8 of a texel's four channels at once, in this view's channel order, as 32-bit lanes (max
  // first, so NaN gives 0).
  __m128i toUnorm8Lanes(__m128 f) const {
    if (format_ == PixelFormat::BGRA8Unorm) f = swapRedBlue(f);
    f = _mm_min_ps(_mm_max_ps(f, _mm_setzero_ps()), _mm_set1_ps(1.0f));
    return _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(f, _mm_set1_ps(255.0f)), _mm_set1_ps(0.5f)));
  }
#endif
  std::uint8_t* address(std::size_t x, std::size_t y, std::size_t z) const {
    return data_ + z * bytesPerImage_ + y * bytesPerRow_ + x * bytesPerPixel_;
  }

  std::uint8_t* data_ = nullptr;
  std::size_t width_ = 0, height_ = 0, depth_ = 0;
  PixelFormat format_ = PixelFormat::Invalid;
  std::size_t bytesPerPixel_ = 0, bytesPerRow_ = 0, bytesPerImage_ = 0;
};

}  // namespace gpu
