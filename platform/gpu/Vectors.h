#pragma once
// The small vector types that kernels and the records shared with kernels use. Like the GPU's own
// vector types, the three-lane types take 16 bytes (one lane of padding) and are 16-byte aligned.

#include <cstdint>

namespace gpu {

struct alignas(16) float4 {
  float x = 0, y = 0, z = 0, w = 0;

  friend bool operator==(const float4&, const float4&) = default;
  friend constexpr float4 operator+(float4 a, float4 b) { return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }
  friend constexpr float4 operator-(float4 a, float4 b) { return {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w}; }
  friend constexpr float4 operator*(float4 a, float4 b) { return {a.x * b.x, a.y * b.y, a.z * b.z, a.w * b.w}; }
  friend constexpr float4 operator*(float4 a, float s) { return {a.x * s, a.y * s, a.z * s, a.w * s}; }
  friend constexpr float4 operator*(float s, float4 a) { return a * s; }
  friend constexpr float4 operator/(float4 a, float s) { return {a.x / s, a.y / s, a.z / s, a.w / s}; }
};

struct alignas(16) float3 {
  float x = 0, y = 0, z = 0;

  friend bool operator==(const float3& a, const float3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
  friend constexpr float3 operator+(float3 a, float3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
  friend constexpr float3 operator-(float3 a, float3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
  friend constexpr float3 operator*(float3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
  friend constexpr float3 operator*(float s, float3 a) { return a * s; }
};

struct alignas(16) uint3 {
  std::uint32_t x = 0, y = 0, z = 0;

  friend bool operator==(const uint3& a, const uint3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
};

static_assert(sizeof(float4) == 16 && sizeof(float3) == 16 && sizeof(uint3) == 16);

}  // namespace gpu
