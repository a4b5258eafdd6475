#include "tools/RotationMatrices.h"

#include <cmath>

namespace tessivarium {
namespace {

struct SinCos {
  float s, c;
  explicit SinCos(float angle) : s(std::sin(angle)), c(std::cos(angle)) {}
};

}  // namespace

ColumnMatrix3 makeRotationXYZ(float a, float b, float c) {
  const SinCos x(a), y(b), z(c);
  return {gpu::float3{y.c * z.c, -y.c * z.s, y.s},
          gpu::float3{x.c * z.s + x.s * y.s * z.c, x.c * z.c - x.s * y.s * z.s, -x.s * y.c},
          gpu::float3{x.s * z.s - x.c * y.s * z.c, x.s * z.c + x.c * y.s * z.s, x.c * y.c}};
}

ColumnMatrix3 MakeRotationZYX(float a, float b, float c) {
  const SinCos x(a), y(b), z(c);
  return {gpu::float3{y.c * z.c, x.s * y.s * z.c - x.c * z.s, x.c * y.s * z.c + x.s * z.s},
          gpu::float3{y.c * z.s, x.c * z.c + x.s * y.s * z.s, x.c * y.s * z.s - x.s * z.c},
          gpu::float3{-y.s, x.s * y.c, x.c * y.c}};
}

}  // namespace tessivarium
