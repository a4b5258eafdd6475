#pragma once
// Vector arithmetic for measuring tool models from the marker nodes of their scenes. The methods
// and operators live on the scene kit's vector type; these are the free forms of the same
// operations, in single precision with no checks (a zero length gives the IEEE results).

#include <string>

#include "scene/Vector.h"

namespace tessivarium {

using SCNVector3 = scene::Vector3;

// vector × −1.
SCNVector3 SCNVector3Negate(const SCNVector3& vector);
// √(x·x + y·y + z·z).
float SCNVector3Length(const SCNVector3& vector);
// The length of vectorEnd − vectorStart.
float SCNVector3Distance(const SCNVector3& vectorStart, const SCNVector3& vectorEnd);
// vector / its length.
SCNVector3 SCNVector3Normalize(const SCNVector3& vector);
float SCNVector3DotProduct(const SCNVector3& left, const SCNVector3& right);
// left × right.
SCNVector3 SCNVector3CrossProduct(const SCNVector3& left, const SCNVector3& right);
// start + (end − start)·t, per component.
SCNVector3 SCNVector3Lerp(const SCNVector3& vectorStart, const SCNVector3& vectorEnd, float t);
// The part of vectorToProject along projectionVector: p · (p·v / p·p).
SCNVector3 SCNVector3Project(const SCNVector3& vectorToProject, const SCNVector3& projectionVector);

// The vector as console lines print it: "SCNVector3(x: 1.0, y: -2.5, z: 0.0)".
std::string describe(const SCNVector3& vector);

}  // namespace tessivarium
