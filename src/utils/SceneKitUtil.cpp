#include "utils/SceneKitUtil.h"

#include "foundation/NumberText.h"

namespace tessivarium {

SCNVector3 SCNVector3Negate(const SCNVector3& vector) { return vector.negate(); }

float SCNVector3Length(const SCNVector3& vector) { return vector.length(); }

float SCNVector3Distance(const SCNVector3& vectorStart, const SCNVector3& vectorEnd) {
  return (vectorEnd - vectorStart).length();
}

SCNVector3 SCNVector3Normalize(const SCNVector3& vector) { return vector.normalized(); }

float SCNVector3DotProduct(const SCNVector3& left, const SCNVector3& right) { return left.dot(right); }

SCNVector3 SCNVector3CrossProduct(const SCNVector3& left, const SCNVector3& right) { return left.cross(right); }

SCNVector3 SCNVector3Lerp(const SCNVector3& vectorStart, const SCNVector3& vectorEnd, float t) {
  return vectorStart + (vectorEnd - vectorStart) * t;
}

SCNVector3 SCNVector3Project(const SCNVector3& vectorToProject, const SCNVector3& projectionVector) {
  const float along = projectionVector.dot(vectorToProject) / projectionVector.dot(projectionVector);
  return projectionVector * along;
}

std::string describe(const SCNVector3& vector) {
  return "SCNVector3(x: " + foundation::describe(vector.x) + ", y: " + foundation::describe(vector.y) +
         ", z: " + foundation::describe(vector.z) + ")";
}

}  // namespace tessivarium
