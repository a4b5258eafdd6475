#include "utils/Utils.h"

#include <algorithm>
#include <cmath>

#include "foundation/Console.h"
#include "foundation/NumberText.h"
#include "foundation/Random.h"

namespace tessivarium {

namespace {

// Three points that lie on one line, or so nearly that their circle would be huge or not finite:
// twice the triangle's area is at most this share of the longest side squared.
constexpr float kCollinearShare = 1e-4f;

float squaredDistance(gpu::float3 a, gpu::float3 b) { return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y); }

// The degenerate circle of collinear points: around the midpoint of the farthest pair, through both.
Circle farthestPairCircle(gpu::float3 p1, gpu::float3 p2, gpu::float3 p3) {
  gpu::float3 a = p1, b = p2;
  float longest = squaredDistance(p1, p2);
  if (const float d = squaredDistance(p1, p3); d > longest) a = p1, b = p3, longest = d;
  if (const float d = squaredDistance(p2, p3); d > longest) a = p2, b = p3, longest = d;
  return {{(a.x + b.x) / 2, (a.y + b.y) / 2, p1.z}, std::sqrt(longest) / 2};
}

bool collinear(gpu::float3 p1, gpu::float3 p2, gpu::float3 p3) {
  const float twiceArea = (p2.x - p1.x) * (p3.y - p1.y) - (p2.y - p1.y) * (p3.x - p1.x);
  const float longest = std::max({squaredDistance(p1, p2), squaredDistance(p1, p3), squaredDistance(p2, p3)});
  return std::abs(twiceArea) <= kCollinearShare * longest;
}

Circle circleThrough(gpu::float3 p1, gpu::float3 p2, gpu::float3 p3) {
  if (collinear(p1, p2, p3)) return farthestPairCircle(p1, p2, p3);
  // Named so that neither b.y - c.y nor a.y - b.y is zero.
  gpu::float3 a = p3, b = p2, c = p1;
  if (p1.y == p2.y) {
    a = p2, b = p3, c = p1;
  } else if (p2.y == p3.y) {
    a = p3, b = p1, c = p2;
  }
  const float k1 = ((b.x * b.x - c.x * c.x) + b.y * b.y - c.y * c.y) / (b.y - c.y) / 2;
  const float m1 = (b.x - c.x) / (b.y - c.y);
  const float k2 = ((a.x * a.x - b.x * b.x) + a.y * a.y - b.y * b.y) / (a.y - b.y) / 2;
  const float m2 = (a.x - b.x) / (a.y - b.y);
  const float cx = (k2 - k1) / (m2 - m1);
  const float cy = k1 - m1 * cx;
  const float radius = std::sqrt((p1.x - cx) * (p1.x - cx) + (p1.y - cy) * (p1.y - cy));
  return {{cx, cy, p1.z}, radius};
}

}  // namespace

Circle FindCercle(gpu::float3 p1, gpu::float3 p2, gpu::float3 p3) {
  const Circle circle = circleThrough(p1, p2, p3);
  foundation::consoleLine("x: " + foundation::describe(circle.center.x) + " y:" + foundation::describe(circle.center.y) +
                          " radius: " + foundation::describe(circle.radius));
  return circle;
}

graphics::Color makeColor(std::uint64_t red, std::uint64_t green, std::uint64_t blue) {
  return graphics::Color::fromRGBA(static_cast<double>(red) / 255.0, static_cast<double>(green) / 255.0,
                                   static_cast<double>(blue) / 255.0, 1.0);
}

float NumberUtil::random(float from, float to) {
  const float r = static_cast<float>(foundation::random32() % 4294967295u) / 4294967296.0f;
  return r * (to - from) + from;
}

}  // namespace tessivarium
