#pragma once
// Rotation matrices from three Euler angles, for turning tool-head geometry. A matrix is three
// column vectors; a row vector multiplied by it is turned by the product named below.

#include <array>

#include "gpu/Vectors.h"

namespace tessivarium {

// Three columns of three floats.
using ColumnMatrix3 = std::array<gpu::float3, 3>;

// Columns = the rows of Rx(a) · Ry(b) · Rz(c) (right-handed rotations, radians).
ColumnMatrix3 makeRotationXYZ(float a, float b, float c);
// Columns = the rows of Rz(c) · Ry(b) · Rx(a).
ColumnMatrix3 MakeRotationZYX(float a, float b, float c);

}  // namespace tessivarium
