#pragma once
// Small stateless helpers: the circle through three points (tool models are measured with it), a
// colour from 0 to 255 values and a random number in a range.

#include <cstdint>

#include "gpu/Vectors.h"
#include "graphics/Color.h"

namespace tessivarium {

struct Circle {
  gpu::float3 center;
  float radius = 0;
};

// The circle through three points in the x-y plane (z of the centre is p1's), in 32-bit floats;
// prints "x: <cx> y:<cy> radius: <r>". Points on one line, or nearly (three equal y among them),
// have no such circle: they give the circle around the midpoint of the farthest pair through both,
// so that a tool head measured from them stays finite.
Circle FindCercle(gpu::float3 p1, gpu::float3 p2, gpu::float3 p3);

// An opaque device-RGB colour of red, green and blue given from 0 to 255.
graphics::Color makeColor(std::uint64_t red, std::uint64_t green, std::uint64_t blue);

class NumberUtil {
 public:
  NumberUtil() = delete;

  // A uniform value from `from` towards `to`: (r mod (2^32 - 1)) / 2^32 x (to - from) + from, r a
  // 32-bit random number.
  static float random(float from, float to);
};

}  // namespace tessivarium
