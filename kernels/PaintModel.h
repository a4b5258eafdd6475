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

// The texel at (x, y, z); zero outside the texture or for an unbound slot.
inline Texel load(const gpu::TexelView& view, std::size_t x, std::size_t y, std::size_t z = 0) {
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
inline void store(const gpu::TexelView& view, Texel value, std::size_t x, std::size_t y, std::size_t z = 0) {
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

inline std::uint8_t toByte(float unit) { return gpu::TexelView::toUnorm8(unit); }

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

// ---- Paint -------------------------------------------------------------------------------------

// The thickness from which a layer of paint hides what lies under it entirely (in thickness bytes:
// the import's default thickness, 5 / MAX_DEPTH).
inline constexpr float kOpaqueThickness = 5.0f;
// How much a white ground raises the surface, in thickness bytes.
inline constexpr float kGroundRelief = 32.0f;
// The height that shows as white in a height image: two full layers (wet over dry).
inline constexpr float kHeightFullScale = 2.0f * static_cast<float>(tessivarium::MAX_DEPTH);
// A fully wet cell: the highest wetness level, shifted into its byte.
inline constexpr std::uint8_t kFullWetness =
    static_cast<std::uint8_t>(tessivarium::TOOL_CELL_WETNESS_MAX << tessivarium::TOOL_CELL_WETNESS_SHIFT);

// How much of what lies under it a layer of `thickness` bytes hides: 0 for none, 1 from
// kOpaqueThickness on.
inline float coverage(std::uint8_t thickness) { return std::min(1.0f, thickness / kOpaqueThickness); }

// A colour in 0 to 1 per channel.
struct Rgb {
  float r = 0, g = 0, b = 0;
};

inline Rgb colorOf(Texel t) { return {t.r / 255.0f, t.g / 255.0f, t.b / 255.0f}; }

// `paint` laid over `under` by its coverage.
inline Rgb over(Texel paint, Rgb under) {
  const float c = coverage(paint.a);
  const Rgb p = colorOf(paint);
  return {under.r + (p.r - under.r) * c, under.g + (p.g - under.g) * c, under.b + (p.b - under.b) * c};
}

// The height-image value of a surface `thickness` bytes high: 0 (black) to 1 (white).
inline float heightValue(float thickness) { return std::min(1.0f, thickness / kHeightFullScale); }

// The ground's relief in thickness bytes at layer position (x, y): its grey (red) level, the ground
// repeated across the layer. No ground gives none.
inline float groundRelief(const gpu::TexelView& ground, std::uint64_t x, std::uint64_t y) {
  if (!ground || ground.width() == 0 || ground.height() == 0) return 0.0f;
  const Texel t = load(ground, static_cast<std::size_t>(x % ground.width()), static_cast<std::size_t>(y % ground.height()));
  return t.r / 255.0f * kGroundRelief;
}

// A grey texel of `value`, opaque.
inline Texel grey(float value) {
  const std::uint8_t v = toByte(value);
  return {v, v, v, 255};
}

}  // namespace kernels
