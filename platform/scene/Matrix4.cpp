#include "scene/Matrix4.h"

#include <algorithm>
#include <cmath>

namespace scene {

namespace {

// How far a decomposed rotation may be from orthonormal, relative to 1, before the matrix counts
// as sheared. Generous enough for float input from a file.
constexpr double kShearTolerance = 1e-4;

double column3Length(const Matrix4& m, int column) {
  return std::sqrt(m(0, column) * m(0, column) + m(1, column) * m(1, column) +
                   m(2, column) * m(2, column));
}

}  // namespace

Matrix4::Matrix4() {
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) m_[r][c] = r == c ? 1.0 : 0.0;
  }
}

Matrix4 Matrix4::translation(const Vector3& t) {
  Matrix4 m;
  m(0, 3) = t.x;
  m(1, 3) = t.y;
  m(2, 3) = t.z;
  return m;
}

Matrix4 Matrix4::scaling(const Vector3& s) {
  Matrix4 m;
  m(0, 0) = s.x;
  m(1, 1) = s.y;
  m(2, 2) = s.z;
  return m;
}

Matrix4 Matrix4::rotationX(double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  Matrix4 m;
  m(1, 1) = c;
  m(1, 2) = -s;
  m(2, 1) = s;
  m(2, 2) = c;
  return m;
}

Matrix4 Matrix4::rotationY(double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  Matrix4 m;
  m(0, 0) = c;
  m(0, 2) = s;
  m(2, 0) = -s;
  m(2, 2) = c;
  return m;
}

Matrix4 Matrix4::rotationZ(double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  Matrix4 m;
  m(0, 0) = c;
  m(0, 1) = -s;
  m(1, 0) = s;
  m(1, 1) = c;
  return m;
}

Matrix4 Matrix4::rotation(const Vector3& axis, double angle) {
  const double length = std::sqrt(double(axis.x) * axis.x + double(axis.y) * axis.y +
                                  double(axis.z) * axis.z);
  Matrix4 m;
  if (length == 0) return m;
  const double x = axis.x / length, y = axis.y / length, z = axis.z / length;
  const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  m(0, 0) = t * x * x + c;
  m(0, 1) = t * x * y - s * z;
  m(0, 2) = t * x * z + s * y;
  m(1, 0) = t * x * y + s * z;
  m(1, 1) = t * y * y + c;
  m(1, 2) = t * y * z - s * x;
  m(2, 0) = t * x * z - s * y;
  m(2, 1) = t * y * z + s * x;
  m(2, 2) = t * z * z + c;
  return m;
}

Matrix4 Matrix4::eulerRotation(const Vector3& e) {
  return rotationX(e.x) * rotationY(e.y) * rotationZ(e.z);
}

Matrix4 Matrix4::operator*(const Matrix4& b) const {
  Matrix4 p;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += m_[r][k] * b.m_[k][c];
      p.m_[r][c] = sum;
    }
  }
  return p;
}

Vector3 Matrix4::transformPoint(const Vector3& p) const {
  double out[3];
  for (int r = 0; r < 3; ++r) {
    out[r] = m_[r][0] * p.x + m_[r][1] * p.y + m_[r][2] * p.z + m_[r][3];
  }
  return {float(out[0]), float(out[1]), float(out[2])};
}

std::optional<Matrix4> Matrix4::inverse() const {
  const auto& a = m_;
  // Cofactors of the 3 × 3 part.
  const double c00 = a[1][1] * a[2][2] - a[1][2] * a[2][1];
  const double c01 = a[1][2] * a[2][0] - a[1][0] * a[2][2];
  const double c02 = a[1][0] * a[2][1] - a[1][1] * a[2][0];
  const double det = a[0][0] * c00 + a[0][1] * c01 + a[0][2] * c02;
  if (det == 0 || !std::isfinite(det)) return std::nullopt;
  Matrix4 inv;
  inv(0, 0) = c00 / det;
  inv(0, 1) = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) / det;
  inv(0, 2) = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) / det;
  inv(1, 0) = c01 / det;
  inv(1, 1) = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) / det;
  inv(1, 2) = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) / det;
  inv(2, 0) = c02 / det;
  inv(2, 1) = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) / det;
  inv(2, 2) = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) / det;
  for (int r = 0; r < 3; ++r) {
    inv(r, 3) = -(inv(r, 0) * a[0][3] + inv(r, 1) * a[1][3] + inv(r, 2) * a[2][3]);
  }
  return inv;
}

Vector3 eulerAnglesOf(const Matrix4& r) {
  // R = Rx(a) Ry(b) Rz(c) has R02 = sin b, R12 = −sin a cos b, R22 = cos a cos b,
  // R01 = −cos b sin c, R00 = cos b cos c.
  const double sinB = std::clamp(r(0, 2), -1.0, 1.0);
  const double b = std::asin(sinB);
  double a, c;
  if (std::abs(sinB) < 1.0 - 1e-12) {
    a = std::atan2(-r(1, 2), r(2, 2));
    c = std::atan2(-r(0, 1), r(0, 0));
  } else {
    // cos b = 0: only a ± c is defined; put it all in a (with c = 0, R21 = sin a, R11 = cos a).
    a = std::atan2(r(2, 1), r(1, 1));
    c = 0;
  }
  return {float(a), float(b), float(c)};
}

std::optional<TransformParts> decompose(const Matrix4& m) {
  if (m(3, 0) != 0 || m(3, 1) != 0 || m(3, 2) != 0 || m(3, 3) != 1) return std::nullopt;
  double s[3] = {column3Length(m, 0), column3Length(m, 1), column3Length(m, 2)};
  if (s[0] == 0 || s[1] == 0 || s[2] == 0) return std::nullopt;
  const double det = m(0, 0) * (m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1)) -
                     m(0, 1) * (m(1, 0) * m(2, 2) - m(1, 2) * m(2, 0)) +
                     m(0, 2) * (m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0));
  if (det < 0) s[0] = -s[0];
  Matrix4 r;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) r(row, column) = m(row, column) / s[column];
  }
  // The columns of a rotation are orthogonal; a shear leaves them askew.
  for (int i = 0; i < 3; ++i) {
    for (int j = i + 1; j < 3; ++j) {
      const double d = r(0, i) * r(0, j) + r(1, i) * r(1, j) + r(2, i) * r(2, j);
      if (std::abs(d) > kShearTolerance) return std::nullopt;
    }
  }
  TransformParts parts;
  parts.position = {float(m(0, 3)), float(m(1, 3)), float(m(2, 3))};
  parts.eulerAngles = eulerAnglesOf(r);
  parts.scale = {float(s[0]), float(s[1]), float(s[2])};
  return parts;
}

}  // namespace scene
