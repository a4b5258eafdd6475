#include "scene/Vector.h"

#include <cmath>

namespace scene {

Vector3 Vector3::negate() const { return *this * -1.0f; }

Vector3 Vector3::negated() {
  *this = negate();
  return *this;
}

float Vector3::length() const { return std::sqrt(x * x + y * y + z * z); }

Vector3 Vector3::normalized() const { return *this / length(); }

Vector3 Vector3::normalize() {
  *this = normalized();
  return *this;
}

float Vector3::distance(const Vector3& w) const { return (*this - w).length(); }

float Vector3::dot(const Vector3& w) const { return x * w.x + y * w.y + z * w.z; }

Vector3 Vector3::cross(const Vector3& w) const {
  return {y * w.z - z * w.y, z * w.x - x * w.z, x * w.y - y * w.x};
}

Vector3& Vector3::operator+=(const Vector3& b) {
  x += b.x;
  y += b.y;
  z += b.z;
  return *this;
}

Vector3& Vector3::operator-=(const Vector3& b) {
  x -= b.x;
  y -= b.y;
  z -= b.z;
  return *this;
}

Vector3& Vector3::operator*=(const Vector3& b) {
  x *= b.x;
  y *= b.y;
  z *= b.z;
  return *this;
}

Vector3& Vector3::operator/=(const Vector3& b) {
  x /= b.x;
  y /= b.y;
  z /= b.z;
  return *this;
}

Vector3& Vector3::operator*=(float s) {
  x *= s;
  y *= s;
  z *= s;
  return *this;
}

Vector3& Vector3::operator/=(float s) {
  x /= s;
  y /= s;
  z /= s;
  return *this;
}

Vector3 operator+(Vector3 a, const Vector3& b) { return a += b; }
Vector3 operator-(Vector3 a, const Vector3& b) { return a -= b; }
Vector3 operator*(Vector3 a, const Vector3& b) { return a *= b; }
Vector3 operator/(Vector3 a, const Vector3& b) { return a /= b; }
Vector3 operator*(Vector3 a, float s) { return a *= s; }
Vector3 operator/(Vector3 a, float s) { return a /= s; }

}  // namespace scene
