#pragma once
// 4 × 4 transforms for column vectors (p' = M p), kept in double precision so that the chains of
// node transforms and the projection round only once, when a result goes back into a float vector.
// Rotations are right-handed: a positive angle about z turns +x towards +y.

#include <array>
#include <optional>

#include "scene/Vector.h"

namespace scene {

class Matrix4 {
 public:
  // The identity.
  Matrix4();

  static Matrix4 translation(const Vector3& t);
  static Matrix4 scaling(const Vector3& s);
  static Matrix4 rotationX(double angle);
  static Matrix4 rotationY(double angle);
  static Matrix4 rotationZ(double angle);
  // A rotation by `angle` radians about `axis`, which need not have unit length. A zero axis is
  // no rotation; callers that must refuse it check it themselves.
  static Matrix4 rotation(const Vector3& axis, double angle);
  // The rotation of Euler angles e: Rx(e.x) · Ry(e.y) · Rz(e.z), so a point is turned about z
  // first, then about y, then about x.
  static Matrix4 eulerRotation(const Vector3& e);

  double operator()(int row, int column) const { return m_[row][column]; }
  double& operator()(int row, int column) { return m_[row][column]; }

  Matrix4 operator*(const Matrix4& b) const;

  // M · (p, 1), the point in the target frame.
  Vector3 transformPoint(const Vector3& p) const;

  // The inverse of an affine transform; none when the 3 × 3 part is singular (a zero scale).
  std::optional<Matrix4> inverse() const;

 private:
  std::array<std::array<double, 4>, 4> m_;
};

// A node's transform taken apart: T(position) · R(eulerAngles) · S(scale).
struct TransformParts {
  Vector3 position;
  Vector3 eulerAngles;
  Vector3 scale{1, 1, 1};
};

// Takes an affine transform apart. A mirroring transform (negative determinant) gets a negative x
// scale. None when the matrix is not T · R · S: a projective last row, a zero scale or a shear.
std::optional<TransformParts> decompose(const Matrix4& m);

// The Euler angles (x, y, z) of a pure rotation R = Rx(x) · Ry(y) · Rz(z), with y in [−π/2, π/2]
// and x, z in (−π, π]. When y is ±π/2 (gimbal lock) z is 0 and x carries the whole turn.
Vector3 eulerAnglesOf(const Matrix4& rotation);

}  // namespace scene
