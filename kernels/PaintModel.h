#pragma once
// The paint model every kernel of the library follows (kernels/README.md tells it in full): texel
// access in RGBA byte order, the kernels' arguments with their defaults, and the rules for
// thickness, coverage, colour and height.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gpu/Dispatch.h"
#include "gpu/TexelView.h"
#include "gpu/Vectors.h"
#include "utils/KernelInterface.h"

namespace kernels {

// ---- Texels ------------------------------------------------------------------------------------

// One texel as four bytes in R, G, B, A order, whatever the texture's format.
struct Texel {
  std::uint8_t r = 0, g = 0, b = 0, a = 0;
  friend bool operator==(const Texel&, const Texel&) = default;
};

// Texel access runs once or more per thread: always inlined.
#define TESS_KERNEL_INLINE inline __attribute__((always_inline))

// The texel at (x, y, z); zero outside the texture or for an unbound slot.
TESS_KERNEL_INLINE Texel load(const gpu::TexelView& view, std::size_t x, std::size_t y, std::size_t z = 0) {
  const std::uint8_t* t = view.texel(x, y, z);
  if (t == nullptr) return {};
  switch (view.pixelFormat()) {
    case gpu::PixelFormat::RGBA8Unorm:
      return {t[0], t[1], t[2], t[3]};
    case gpu::PixelFormat::BGRA8Unorm:
      return {t[2], t[1], t[0], t[3]};
    default: {
      const gpu::float4 v = view.read(x, y, z);
      return {gpu::TexelView::toUnorm8(v.x), gpu::TexelView::toUnorm8(v.y), gpu::TexelView::toUnorm8(v.z),
              gpu::TexelView::toUnorm8(v.w)};
    }
  }
}

// Writes the texel at (x, y, z); nothing outside the texture or for an unbound slot.
TESS_KERNEL_INLINE void store(const gpu::TexelView& view, Texel value, std::size_t x, std::size_t y, std::size_t z = 0) {
  std::uint8_t* t = view.texel(x, y, z);
  if (t == nullptr) return;
  switch (view.pixelFormat()) {
    case gpu::PixelFormat::RGBA8Unorm:
      t[0] = value.r, t[1] = value.g, t[2] = value.b, t[3] = value.a;
      return;
    case gpu::PixelFormat::BGRA8Unorm:
      t[0] = value.b, t[1] = value.g, t[2] = value.r, t[3] = value.a;
      return;
    default:
      view.write({value.r / 255.0f, value.g / 255.0f, value.b / 255.0f, value.a / 255.0f}, x, y, z);
      return;
  }
}

TESS_KERNEL_INLINE std::uint8_t toByte(float unit) { return gpu::TexelView::toUnorm8(unit); }

// ---- Arguments ---------------------------------------------------------------------------------

// The records as the system lays them out.
struct OffsetRecord {
  std::uint32_t x, y, z, padding;
};
struct Float4Record {
  float v[4];
};

// The offset record at BUFFER_OFFSET; (0, 0, 0) when none is bound.
inline gpu::uint3 offsetArgument(const gpu::Dispatch& dispatch) {
  const auto* bound = dispatch.bufferAs<OffsetRecord>(tessivarium::BUFFER_OFFSET);
  if (bound == nullptr) return {0, 0, 0};
  OffsetRecord r;
  std::memcpy(&r, bound, sizeof r);
  return {r.x, r.y, r.z};
}

// A one-byte flag; `absent` when none is bound.
inline bool flagArgument(const gpu::Dispatch& dispatch, std::int64_t slot, bool absent) {
  const std::uint8_t* byte = dispatch.bufferBytes(slot);
  return byte == nullptr ? absent : *byte != 0;
}

// The first 32-bit float of a buffer; `absent` when none is bound.
inline float floatArgument(const gpu::Dispatch& dispatch, std::int64_t slot, float absent) {
  const float* value = dispatch.bufferAs<float>(slot);
  if (value == nullptr) return absent;
  float out;
  std::memcpy(&out, value, sizeof out);
  return out;
}

// Four 32-bit floats (a colour record or a clear value); `absent` when none is bound.
inline gpu::float4 float4Argument(const gpu::Dispatch& dispatch, std::int64_t slot, gpu::float4 absent) {
  const auto* bound = dispatch.bufferAs<Float4Record>(slot);
  if (bound == nullptr) return absent;
  Float4Record r;
  std::memcpy(&r, bound, sizeof r);
  return {r.v[0], r.v[1], r.v[2], r.v[3]};
}

// A position moved by an offset, or false when it falls outside `view` (the sum is taken in 64 bits,
// so a large offset never wraps round into the texture).
inline bool offsetInto(const gpu::TexelView& view, gpu::uint3 p, gpu::uint3 offset, std::size_t& x, std::size_t& y,
                       std::size_t& z) {
  const std::uint64_t ox = std::uint64_t{p.x} + offset.x, oy = std::uint64_t{p.y} + offset.y,
                      oz = std::uint64_t{p.z} + offset.z;
  if (ox >= view.width() || oy >= view.height() || oz >= view.depth()) return false;
  x = static_cast<std::size_t>(ox), y = static_cast<std::size_t>(oy), z = static_cast<std::size_t>(oz);
  return true;
}

// ---- Paint ---------------------------------------------------------------------------------
// All paint arithmetic is in bytes (0 to 255 standing for 0 to 1), rounded to nearest, so that
// results are exact and the same on every run.

// The thickness from which a layer of paint hides what lies under it entirely (in thickness bytes:
// the import's default thickness, 5 / MAX_DEPTH).
inline constexpr int kOpaqueThickness = 5;
// How much a white ground raises the surface, in thickness bytes.
inline constexpr int kGroundRelief = 32;
// A fully wet cell: the highest wetness level, shifted into its byte.
inline constexpr std::uint8_t kFullWetness =
    static_cast<std::uint8_t>(tessivarium::TOOL_CELL_WETNESS_MAX << tessivarium::TOOL_CELL_WETNESS_SHIFT);

// a x b / 255 for bytes, rounded to nearest.
TESS_KERNEL_INLINE int scale255(int a, int b) { return (a * b + 127) / 255; }

// How much of what lies under it a layer of `thickness` bytes hides: 0 for none, 255 from
// kOpaqueThickness on.
TESS_KERNEL_INLINE int coverage(std::uint8_t thickness) {
  return std::min(255, thickness * (255 / kOpaqueThickness));
}

// The coverage of two layers together: what neither lets through.
TESS_KERNEL_INLINE int combinedCoverage(int a, int b) { return 255 - scale255(255 - a, 255 - b); }

// `paint`'s colour laid over `under` by `cover` (0 to 255): the linear mix.
TESS_KERNEL_INLINE std::uint8_t mixByte(std::uint8_t under, std::uint8_t paint, int cover) {
  return static_cast<std::uint8_t>((under * (255 - cover) + paint * cover + 127) / 255);
}

// `paint` (its colour; its alpha is its thickness) laid over the colour `under` by its coverage; the
// alpha of `under` is kept.
TESS_KERNEL_INLINE Texel over(Texel paint, Texel under) {
  const int c = coverage(paint.a);
  return {mixByte(under.r, paint.r, c), mixByte(under.g, paint.g, c), mixByte(under.b, paint.b, c), under.a};
}

// The height-image grey of a surface `thickness` bytes high: two full layers (510) show as white.
TESS_KERNEL_INLINE std::uint8_t heightByte(int thickness) {
  return static_cast<std::uint8_t>(std::min(255, (thickness + 1) / 2));
}

// The ground repeated across the layer: its relief (grey level scaled to kGroundRelief thickness
// bytes) at a layer position. No ground gives none.
class GroundRelief {
 public:
  explicit GroundRelief(const gpu::TexelView& ground) : ground_(ground) {
    if (ground_ && ground_.width() > 0 && ground_.height() > 0) {
      maskX_ = (ground_.width() & (ground_.width() - 1)) == 0 ? ground_.width() - 1 : 0;
      maskY_ = (ground_.height() & (ground_.height() - 1)) == 0 ? ground_.height() - 1 : 0;
    } else {
      ground_ = {};
    }
  }

  TESS_KERNEL_INLINE int at(std::uint64_t x, std::uint64_t y) const {
    if (!ground_) return 0;
    // Power-of-two maps (the usual case) wrap with a mask rather than a division.
    const std::size_t gx = maskX_ ? static_cast<std::size_t>(x & maskX_) : static_cast<std::size_t>(x % ground_.width());
    const std::size_t gy = maskY_ ? static_cast<std::size_t>(y & maskY_) : static_cast<std::size_t>(y % ground_.height());
    return scale255(load(ground_, gx, gy).r, kGroundRelief);
  }

 private:
  gpu::TexelView ground_;
  std::uint64_t maskX_ = 0, maskY_ = 0;
};

// An opaque grey texel.
TESS_KERNEL_INLINE Texel grey(std::uint8_t value) { return {value, value, value, 255}; }

// A colour record's channels as bytes.
inline Texel bytesOf(gpu::float4 color) { return {toByte(color.x), toByte(color.y), toByte(color.z), toByte(color.w)}; }

}  // namespace kernels
