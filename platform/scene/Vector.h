#pragma once
// Vectors of three and four single-precision floats: positions, Euler angles and scales of nodes,
// axis-angle rotations. All arithmetic is in float, component by component, with no checks: a
// zero divisor or the normal of a zero vector gives the IEEE results (infinities or NaN).

namespace scene {

struct Vector3 {
  float x = 0, y = 0, z = 0;

  constexpr Vector3() = default;
  constexpr Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

  friend constexpr bool operator==(const Vector3&, const Vector3&) = default;

  // v × −1 as a new vector.
  Vector3 negate() const;
  // In place: v becomes v.negate(); returns the new v. (The names of the pair are the other way
  // round from the usual convention on purpose; callers rely on them.)
  Vector3 negated();

  // √(x·x + y·y + z·z), the sum formed left to right.
  float length() const;
  // v / v.length() as a new vector.
  Vector3 normalized() const;
  // In place: v becomes v.normalized(); returns the new v.
  Vector3 normalize();

  // (v − w).length().
  float distance(const Vector3& w) const;
  // v.x·w.x + v.y·w.y + v.z·w.z, formed left to right.
  float dot(const Vector3& w) const;
  // v × w.
  Vector3 cross(const Vector3& w) const;

  Vector3& operator+=(const Vector3& b);
  Vector3& operator-=(const Vector3& b);
  Vector3& operator*=(const Vector3& b);
  Vector3& operator/=(const Vector3& b);
  Vector3& operator*=(float s);
  Vector3& operator/=(float s);
};

Vector3 operator+(Vector3 a, const Vector3& b);
Vector3 operator-(Vector3 a, const Vector3& b);
Vector3 operator*(Vector3 a, const Vector3& b);
Vector3 operator/(Vector3 a, const Vector3& b);
Vector3 operator*(Vector3 a, float s);
Vector3 operator/(Vector3 a, float s);

// Four floats: an axis-angle rotation (x, y, z the axis, w the angle in radians) or a colour.
struct Vector4 {
  float x = 0, y = 0, z = 0, w = 0;

  constexpr Vector4() = default;
  constexpr Vector4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

  friend constexpr bool operator==(const Vector4&, const Vector4&) = default;
};

}  // namespace scene
