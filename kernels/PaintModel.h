#pragma once
// The paint model every kernel of the library follows (kernels/README.md tells it in full): texel
// access in RGBA byte order, the kernels' arguments with their defaults, and the rules for
// thickness, coverage, colour and height.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "gpu/Dispatch.h"
#include "gpu/TexelView.h"
#include "gpu/Vectors.h"
#include "tools/ToolModelKernelRecords.h"
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

// A well-mixed 32-bit hash (every input bit reaches every output bit): kernels that must spread
// something over cells or columns decide by place rather than by chance, so every run gives the
// same bytes.
TESS_KERNEL_INLINE std::uint32_t mix32(std::uint32_t h) {
  h ^= h >> 16, h *= 0x7feb352du;
  h ^= h >> 15, h *= 0x846ca68bu;
  return h ^ (h >> 16);
}

TESS_KERNEL_INLINE std::uint32_t bitsOf(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

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

// ---- Tool head ---------------------------------------------------------------------------------
// The tool model's 3-D texture, the head: x and y across its footprint, z along the tool's axis with
// slice 0 facing the canvas. A head cell's R, G, B are the colour of the paint it holds and its A
// says what it is: air, the tool's body, or paint of that wetness (4 to 252). Along z one cell is
// one thickness byte, so a paint cell holds one byte of paint, and the paint of a head column hangs
// as a run of cells right under the column's body.

inline constexpr std::uint8_t kHeadAir = 0;
inline constexpr std::uint8_t kHeadSolid = 255;
// One wetness level in its stored form: the least wetness paint on a head has.
inline constexpr std::uint8_t kWetnessStep = 1 << tessivarium::TOOL_CELL_WETNESS_SHIFT;

TESS_KERNEL_INLINE bool isHeadPaint(std::uint8_t kind) { return kind != kHeadAir && kind != kHeadSolid; }

// A wetness in its stored form: the nearest multiple of 4 from 0 to 252.
TESS_KERNEL_INLINE std::uint8_t quantisedWetness(int wetness) {
  const int level = std::min<int>((std::clamp(wetness, 0, 255) + kWetnessStep / 2) / kWetnessStep,
                                  tessivarium::TOOL_CELL_WETNESS_MAX);
  return static_cast<std::uint8_t>(level << tessivarium::TOOL_CELL_WETNESS_SHIFT);
}

// The kind byte of head paint of that wetness (never below one level, which would read as air).
TESS_KERNEL_INLINE std::uint8_t headPaintKind(int wetness) { return std::max(kWetnessStep, quantisedWetness(wetness)); }

// One head column: `body` is its lowest body cell (the head's depth when it has none) and `paint`
// the paint cells hanging right under it; `head` is false for a column that is no part of the tool.
struct HeadColumn {
  int body = 0, paint = 0;
  bool head = false;
  int bottom() const { return body - paint; }  // the lowest paint cell, or the body when it holds none
};

inline HeadColumn headColumn(const gpu::TexelView& head, std::size_t x, std::size_t y) {
  const int depth = static_cast<int>(head.depth());
  HeadColumn column{depth, 0, false};
  for (int z = 0; z < depth; ++z) {
    if (load(head, x, y, static_cast<std::size_t>(z)).a == kHeadSolid) {
      column.body = z, column.head = true;
      break;
    }
  }
  if (!column.head) return column;
  while (column.paint < column.body &&
         isHeadPaint(load(head, x, y, static_cast<std::size_t>(column.body - column.paint - 1)).a)) {
    ++column.paint;
  }
  return column;
}

// The descriptor at BUFFER_DAE_DESCRIPTOR; false when none (or too short a buffer) is bound.
inline bool descriptorArgument(const gpu::Dispatch& dispatch, tessivarium::DAEToolDescriptor& out) {
  return tessivarium::readDescriptor(dispatch.bufferBytes(tessivarium::BUFFER_DAE_DESCRIPTOR),
                                     dispatch.bufferLength(tessivarium::BUFFER_DAE_DESCRIPTOR), out);
}

// How the current tool lays paint, from the descriptor's `mode` and `thickness`. Mode 1 (the main
// canvas, the tool not painting wet) lays paint dry; any other mode, and no descriptor, wet. The
// thickness scales what a fill loads and what a stroke lays: 1 is the standard amount, and it is
// kept within 0 to kMaxThickness (a value that is not a number counts as 1, as without a
// descriptor). It is carried in 1/256ths, so kernels scale whole bytes exactly.
inline constexpr float kMaxThickness = 4;

inline constexpr int kStandardThickness = 256;  // thickness 1 in 1/256ths

struct Drawing {
  bool dry = false;
  int thickness256 = kStandardThickness;

  // `amount` bytes scaled by the thickness, rounded to nearest (halves up).
  TESS_KERNEL_INLINE int scaled(int amount) const { return (amount * thickness256 + 128) >> 8; }
};

inline Drawing drawingOf(const tessivarium::DAEToolDescriptor* descriptor) {
  Drawing out;
  if (descriptor == nullptr) return out;
  out.dry = descriptor->mode == 1;
  const float t = std::isnan(descriptor->thickness) ? 1.0f : std::clamp(descriptor->thickness, 0.0f, kMaxThickness);
  out.thickness256 = static_cast<int>(std::lround(t * 256.0f));
  return out;
}

inline Drawing drawingArgument(const gpu::Dispatch& dispatch) {
  tessivarium::DAEToolDescriptor descriptor;
  return drawingOf(descriptorArgument(dispatch, descriptor) ? &descriptor : nullptr);
}

// ---- Samples -----------------------------------------------------------------------------------

// One touch sample as the paint passes upload it: window-local position, force, altitude (already
// adjusted by the tool) and azimuth.
struct Sample {
  float x = 0, y = 0, force = 1, altitude = 1.5707964f, azimuth = 0;
};

// The samples at BUFFER_POSITION_NUMBER (an Int64 count), BUFFER_POSITION (x, y, z floats),
// BUFFER_FORCE, BUFFER_ALTITUDE and BUFFER_AZIMUTH. The count is cut to what the bound buffers
// hold; an unbound force, altitude or azimuth takes the default above.
inline std::vector<Sample> samplesArgument(const gpu::Dispatch& dispatch) {
  using namespace tessivarium;
  std::int64_t count = 0;
  if (dispatch.bufferLength(BUFFER_POSITION_NUMBER) >= sizeof count)
    std::memcpy(&count, dispatch.bufferBytes(BUFFER_POSITION_NUMBER), sizeof count);
  std::uint64_t n = count > 0 ? static_cast<std::uint64_t>(count) : 0;
  n = std::min<std::uint64_t>(n, dispatch.bufferLength(BUFFER_POSITION) / (3 * sizeof(float)));
  const std::int64_t perSample[] = {BUFFER_FORCE, BUFFER_ALTITUDE, BUFFER_AZIMUTH};
  for (std::int64_t slot : perSample)
    if (dispatch.bufferBytes(slot) != nullptr) n = std::min<std::uint64_t>(n, dispatch.bufferLength(slot) / sizeof(float));
  std::vector<Sample> out(static_cast<std::size_t>(n));
  const auto floatAt = [&](std::int64_t slot, std::size_t i, float absent) {
    const std::uint8_t* bytes = dispatch.bufferBytes(slot);
    if (bytes == nullptr) return absent;
    float v;
    std::memcpy(&v, bytes + i * sizeof v, sizeof v);
    return v;
  };
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i].x = floatAt(BUFFER_POSITION, 3 * i, 0), out[i].y = floatAt(BUFFER_POSITION, 3 * i + 1, 0);
    out[i].force = floatAt(BUFFER_FORCE, i, out[i].force);
    out[i].altitude = floatAt(BUFFER_ALTITUDE, i, out[i].altitude);
    out[i].azimuth = floatAt(BUFFER_AZIMUTH, i, out[i].azimuth);
  }
  return out;
}

// The sample a stroke step carries on from, the last one the step before it painted: x, y
// (window-local, as the step's own samples) and force, three floats at BUFFER_VALUE; none for a
// stroke's first step, or when nothing is bound there.
inline std::optional<Sample> pathStartArgument(const gpu::Dispatch& dispatch) {
  float record[3];
  if (dispatch.bufferLength(tessivarium::BUFFER_VALUE) < sizeof record) return std::nullopt;
  std::memcpy(record, dispatch.bufferBytes(tessivarium::BUFFER_VALUE), sizeof record);
  Sample start;
  start.x = record[0], start.y = record[1], start.force = record[2];
  return start;
}

// Whether a sample stands at a finite place; one that does not is passed over.
TESS_KERNEL_INLINE bool placed(const Sample& s) { return std::isfinite(s.x) && std::isfinite(s.y); }

// The seed of a step's carried fractions of a byte: its first placed sample's place, so that they
// differ from step to step as the samples do (0 when none is placed).
inline std::uint32_t samplesSeed(const std::vector<Sample>& samples) {
  const auto first = std::find_if(samples.begin(), samples.end(), [](const Sample& s) { return placed(s); });
  return first == samples.end() ? 0 : mix32(mix32(bitsOf(first->x)) ^ bitsOf(first->y));
}

// Where a carried fraction of a byte starts in a step, in 1/256ths: somewhere in a byte by a hash of
// the step's `seed` (samplesSeed) and the column or cell k, so that what one step leaves unlaid
// another gains and a stroke of many steps lays what one step would.
TESS_KERNEL_INLINE int startingFraction(std::uint32_t seed, std::size_t k) {
  return static_cast<int>(mix32(seed ^ static_cast<std::uint32_t>(k) * 0x9e3779b9u) & 255u);
}

// The whole bytes of `amount256` (1/256ths of a byte) that `credit256`, the fraction carried from
// before, makes up; the rest stays in `credit256` for the next time.
TESS_KERNEL_INLINE int carriedBytes(int& credit256, int amount256) {
  credit256 += amount256;
  const int whole = credit256 >> 8;
  credit256 -= whole << 8;
  return whole;
}

// Where the head stands for a sample: the descriptor's origin (the head's tip across the
// footprint) sits on the sample, and the head is turned by the descriptor's rotation. Without a
// descriptor the head's centre sits on the sample, unturned.
class HeadPlacement {
 public:
  HeadPlacement(const gpu::TexelView& head, const tessivarium::DAEToolDescriptor* descriptor) {
    originX_ = head.width() / 2.0f, originY_ = head.height() / 2.0f;
    float angle = 0;
    if (descriptor != nullptr) {
      if (std::isfinite(descriptor->origin.x) && std::isfinite(descriptor->origin.y))
        originX_ = descriptor->origin.x, originY_ = descriptor->origin.y;
      if (std::isfinite(descriptor->rotation)) angle = descriptor->rotation;
    }
    cos_ = std::cos(angle), sin_ = std::sin(angle);
  }

  // The window corner nearest to a sample's place along one axis, where the paint walk and the
  // pickup stand the head's origin. The walk finds the cells each column meets once for all the
  // samples of a dispatch, so it stands the head on the cell grid; the nearest corner keeps it
  // within half a cell of the sample, without leaning either way, and the pickup stands it alike,
  // so the column that takes up a cell's paint is the one that lays paint there from that sample.
  static TESS_KERNEL_INLINE float nearestCorner(float v) { return std::floor(v + 0.5f); }

  // The window cell under head column (i, j) for a sample at (sx, sy); false when it falls outside
  // a window of `width` x `height` cells (or the sample is not a finite position). A column centre
  // on a cell's edge is under the cell before the edge: columnOver gives a cell centre on a
  // column's edge to the column after it, so for an unturned head the two are each other's inverse.
  TESS_KERNEL_INLINE bool cellUnder(std::size_t i, std::size_t j, float sx, float sy, std::size_t width,
                                    std::size_t height, std::size_t& cx, std::size_t& cy) const {
    const float dx = static_cast<float>(i) + 0.5f - originX_, dy = static_cast<float>(j) + 0.5f - originY_;
    const float fx = std::ceil(sx + cos_ * dx - sin_ * dy) - 1.0f, fy = std::ceil(sy + sin_ * dx + cos_ * dy) - 1.0f;
    // The comparison is false for NaN, so a broken sample reaches no cell.
    if (!(fx >= 0.0f && fy >= 0.0f && fx < static_cast<float>(width) && fy < static_cast<float>(height))) return false;
    cx = static_cast<std::size_t>(fx), cy = static_cast<std::size_t>(fy);
    return true;
  }

  // The head column over the point (rx, ry) taken from the sample, turned back; false off the head.
  TESS_KERNEL_INLINE bool columnOver(float rx, float ry, std::size_t width, std::size_t height, std::size_t& i,
                                     std::size_t& j) const {
    const float fx = std::floor(cos_ * rx + sin_ * ry + originX_), fy = std::floor(-sin_ * rx + cos_ * ry + originY_);
    if (!(fx >= 0.0f && fy >= 0.0f && fx < static_cast<float>(width) && fy < static_cast<float>(height))) return false;
    i = static_cast<std::size_t>(fx), j = static_cast<std::size_t>(fy);
    return true;
  }

  // How far the head reaches from the sample, turned, in cells: the half-size of a square that
  // holds it.
  float reach(std::size_t width, std::size_t height) const {
    float most = 0;
    for (float x : {0.0f, static_cast<float>(width)})
      for (float y : {0.0f, static_cast<float>(height)}) most = std::max(most, std::hypot(x - originX_, y - originY_));
    return most;
  }

 private:
  float originX_ = 0, originY_ = 0, cos_ = 1, sin_ = 0;
};

// ---- Stroke step -------------------------------------------------------------------------------
// Byte B of a grid texel marks, during one stroke step, the cells the step's paint pass changed:
// the paint pass sets it in grid1, the overlay map carries it into grid0 (clearing it elsewhere),
// the blur works around it and the mask clears it.
inline constexpr std::uint8_t kStrokeMark = 1;
// A cell whose dry paint alone the step changed (paint laid dry): its new dry texel is in dry1, which
// the overlay map carries into dry0. The blur leaves such a cell alone, its wet paint being as it was.
inline constexpr std::uint8_t kDryMark = 2;
// A changed cell still under the head, or just beside it, when the step ends: the overlay map carries
// it as any other, but the blur leaves it for the step in which the head has gone past (HeadWalk::
// holdTrail), or for the stroke's closing step, so that the paint behind a head is levelled once,
// however its samples were split into steps, and no cell stays held once the stroke has ended.
inline constexpr std::uint8_t kHeldMark = 3;
TESS_KERNEL_INLINE bool isStepMark(std::uint8_t b) { return b == kStrokeMark || b == kDryMark || b == kHeldMark; }

// The canvas's mask over the working window: the mask texture at TEXTURE_MASK_IMAGE, read at a
// window cell plus the window's offset at BUFFER_OFFSET. A cell is masked where its mask texel's
// alpha is 0, as the canvas's own hit test has it; any other alpha, a soft edge's included, lets
// paint through in full, and so does every cell beyond the mask's edge or without a mask bound.
// A masked cell is no part of the window for a stroke step: no paint reaches it and none leaves it.
class WindowMask {
 public:
  explicit WindowMask(const gpu::Dispatch& dispatch)
      : mask_(dispatch.texels(tessivarium::TEXTURE_MASK_IMAGE)), offset_(offsetArgument(dispatch)) {}

  explicit operator bool() const { return static_cast<bool>(mask_); }

  TESS_KERNEL_INLINE bool masked(std::size_t x, std::size_t y) const {
    if (!mask_) return false;
    std::size_t mx, my, mz;
    return offsetInto(mask_, {static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 0}, offset_, mx, my, mz) &&
           load(mask_, mx, my).a == 0;
  }

 private:
  gpu::TexelView mask_;
  gpu::uint3 offset_;
};

}  // namespace kernels
