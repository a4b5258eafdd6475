#include "utils/Utils.h"

#include <cmath>
#include <limits>

#include "foundation/Console.h"
#include "foundation/NumberText.h"
#include "foundation/Random.h"

namespace tessivarium {

Circle FindCercle(gpu::float3 p1, gpu::float3 p2, gpu::float3 p3) {
  if (p1.y == p2.y && p2.y == p3.y) return {p1, std::numeric_limits<float>::quiet_NaN()};
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
  foundation::consoleLine("x: " + foundation::describe(cx) + " y:" + foundation::describe(cy) +
                          " radius: " + foundation::describe(radius));
  return {{cx, cy, p1.z}, radius};
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
