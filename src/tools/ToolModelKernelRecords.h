#pragma once
// The records the tool-model passes hand their kernels, shared by the engine and the kernel
// library: the descriptor of the tool head, the bristles of a brush head and the two records no pass
// sends. Kernels read them by byte offset, so each layout is fixed below by static_asserts; a
// float3 (or uint3) takes a 16-byte slot whose fourth lane is padding that carries no value.
// Only the standard library, the GPU kit's vector types and the ToolType enumeration are used
// here: the kernel library includes this header too.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "gpu/Vectors.h"
#include "tools/ToolType.h"

namespace tessivarium {

class TouchInputData;

// The tool head as every tool-model pass describes it at BUFFER_DAE_DESCRIPTOR. Sent as its first
// kDAEToolDescriptorSize bytes (the array stride of 192 is never sent).
struct alignas(16) DAEToolDescriptor {
  DAEToolDescriptor() = default;
  // The record of one pass. The arguments come in the engine's order, not the record's; the tool
  // type is stored as its case index, touchOffsetZ and dummy1 as 0.
  DAEToolDescriptor(ToolType type, float thicknessOfTool, std::int32_t drawingMode, gpu::float3 originPoint,
                    gpu::float3 headTopPoint, gpu::float3 headLeftPoint, gpu::float3 headRightPoint,
                    gpu::float3 leftPoint, gpu::float3 rightPoint, gpu::float3 topPoint, gpu::float3 downPoint,
                    gpu::float3 headCenterPoint, float radius, float rotationAngle, float modelScale,
                    std::int32_t count)
      : origin(originPoint), headTop(headTopPoint), headLeft(headLeftPoint), headRight(headRightPoint),
        left(leftPoint), right(rightPoint), top(topPoint), down(downPoint), headCenter(headCenterPoint),
        rotation(rotationAngle), scale(modelScale), toolType(static_cast<std::uint32_t>(rawValue(type))),
        thickness(thicknessOfTool), mode(drawingMode), headRadius(radius), touchCount(count) {}

  // The samples are not read: the touch offset stays 0, and nothing else changes.
  void updateRotation(const TouchInputData&) { touchOffsetZ = 0; }

  gpu::float3 origin;      // model cells: the head-top position across the footprint, z where the head begins
  gpu::float3 headTop;
  gpu::float3 headLeft;
  gpu::float3 headRight;
  gpu::float3 left;
  gpu::float3 right;
  gpu::float3 top;
  gpu::float3 down;
  gpu::float3 headCenter;  // centre of the circle through headTop, headLeft and headRight
  float rotation = 0;      // radians
  float scale = 0;
  std::uint32_t toolType = 0;  // the ToolType's case index
  float thickness = 1;  // a tool's own default, the standard amount of paint
  std::int32_t mode = 0;  // 1: the main canvas, not painting wet
  std::int32_t touchOffsetZ = 0;
  float headRadius = 0;
  std::int32_t touchCount = 0;
  float dummy1 = 0;
};

inline constexpr std::size_t kDAEToolDescriptorSize = 180;

static_assert(sizeof(DAEToolDescriptor) == 192 && alignof(DAEToolDescriptor) == 16);
static_assert(offsetof(DAEToolDescriptor, origin) == 0 && offsetof(DAEToolDescriptor, headTop) == 16 &&
              offsetof(DAEToolDescriptor, headLeft) == 32 && offsetof(DAEToolDescriptor, headRight) == 48 &&
              offsetof(DAEToolDescriptor, left) == 64 && offsetof(DAEToolDescriptor, right) == 80 &&
              offsetof(DAEToolDescriptor, top) == 96 && offsetof(DAEToolDescriptor, down) == 112 &&
              offsetof(DAEToolDescriptor, headCenter) == 128);
static_assert(offsetof(DAEToolDescriptor, rotation) == 144 && offsetof(DAEToolDescriptor, scale) == 148 &&
              offsetof(DAEToolDescriptor, toolType) == 152 && offsetof(DAEToolDescriptor, thickness) == 156 &&
              offsetof(DAEToolDescriptor, mode) == 160 && offsetof(DAEToolDescriptor, touchOffsetZ) == 164 &&
              offsetof(DAEToolDescriptor, headRadius) == 168 && offsetof(DAEToolDescriptor, touchCount) == 172 &&
              offsetof(DAEToolDescriptor, dummy1) == 176 &&
              offsetof(DAEToolDescriptor, dummy1) + sizeof(float) == kDAEToolDescriptorSize);

// One bristle of a brush head; sent packed, 32 bytes each, at BUFFER_BRISTLES.
struct alignas(16) Bristle {
  Bristle() = default;
  Bristle(gpu::float4 start, float angleOfBristle) : startPoint(start), angle(angleOfBristle) {}

  gpu::float4 startPoint;  // x, y, z of the root in model cells; w the bristle's length
  float angle = 0;
  float dummy1 = 0, dummy2 = 0, dummy3 = 0;
};

static_assert(sizeof(Bristle) == 32 && alignof(Bristle) == 16);
static_assert(offsetof(Bristle, startPoint) == 0 && offsetof(Bristle, angle) == 16 && offsetof(Bristle, dummy1) == 20 &&
              offsetof(Bristle, dummy2) == 24 && offsetof(Bristle, dummy3) == 28);

// Records of the engine that no pass fills or sends; kept with their layouts.
struct alignas(16) KnifePointData {
  gpu::uint3 toolPoints;
  gpu::float4 color;
  std::uint64_t state = 0;
};

static_assert(sizeof(KnifePointData) == 48 && offsetof(KnifePointData, toolPoints) == 0 &&
              offsetof(KnifePointData, color) == 16 && offsetof(KnifePointData, state) == 32);
inline constexpr std::size_t kKnifePointDataSize = 40;
static_assert(offsetof(KnifePointData, state) + sizeof(std::uint64_t) == kKnifePointDataSize);

struct alignas(16) DAEBones {
  gpu::float3 bone1, bone2, bone3, bone4, bone5;
};

static_assert(sizeof(DAEBones) == 80 && offsetof(DAEBones, bone1) == 0 && offsetof(DAEBones, bone2) == 16 &&
              offsetof(DAEBones, bone3) == 32 && offsetof(DAEBones, bone4) == 48 && offsetof(DAEBones, bone5) == 64);

namespace recordbytes {

// Writes the three lanes of `v` at `at` and zeroes the padding lane.
inline void putFloat3(std::uint8_t* at, const gpu::float3& v) {
  const float lanes[4] = {v.x, v.y, v.z, 0.0f};
  std::memcpy(at, lanes, sizeof lanes);
}

}  // namespace recordbytes

// The descriptor as sent: its 180 bytes, padding lanes zero whatever the record's memory holds.
inline std::array<std::uint8_t, kDAEToolDescriptorSize> descriptorBytes(const DAEToolDescriptor& d) {
  std::array<std::uint8_t, kDAEToolDescriptorSize> out{};
  const gpu::float3* points[] = {&d.origin, &d.headTop, &d.headLeft, &d.headRight, &d.left,
                                 &d.right,  &d.top,     &d.down,     &d.headCenter};
  for (std::size_t i = 0; i < std::size(points); ++i) recordbytes::putFloat3(out.data() + 16 * i, *points[i]);
  std::memcpy(out.data() + offsetof(DAEToolDescriptor, rotation), &d.rotation,
              kDAEToolDescriptorSize - offsetof(DAEToolDescriptor, rotation));
  return out;
}

// The descriptor a kernel reads from the bytes bound at BUFFER_DAE_DESCRIPTOR (only the lanes that
// carry values are taken); false when fewer than 180 bytes arrived.
inline bool readDescriptor(const std::uint8_t* bytes, std::size_t length, DAEToolDescriptor& out) {
  if (bytes == nullptr || length < kDAEToolDescriptorSize) return false;
  gpu::float3* points[] = {&out.origin, &out.headTop, &out.headLeft, &out.headRight, &out.left,
                           &out.right,  &out.top,     &out.down,     &out.headCenter};
  for (std::size_t i = 0; i < std::size(points); ++i) {
    float lanes[3];
    std::memcpy(lanes, bytes + 16 * i, sizeof lanes);
    *points[i] = {lanes[0], lanes[1], lanes[2]};
  }
  std::memcpy(&out.rotation, bytes + offsetof(DAEToolDescriptor, rotation),
              kDAEToolDescriptorSize - offsetof(DAEToolDescriptor, rotation));
  return true;
}

// Bristles as sent: 32 bytes each, packed, dummies zero.
inline std::vector<std::uint8_t> bristleBytes(std::span<const Bristle> bristles) {
  std::vector<std::uint8_t> out(bristles.size() * sizeof(Bristle));
  for (std::size_t i = 0; i < bristles.size(); ++i) {
    const Bristle& b = bristles[i];
    const float lanes[8] = {b.startPoint.x, b.startPoint.y, b.startPoint.z, b.startPoint.w, b.angle, 0.0f, 0.0f, 0.0f};
    std::memcpy(out.data() + i * sizeof(Bristle), lanes, sizeof lanes);
  }
  return out;
}

}  // namespace tessivarium
