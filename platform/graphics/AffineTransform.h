#pragma once
// Affine transforms of the plane: x' = a·x + c·y + tx, y' = b·x + d·y + ty.
//
// scaledBy and translatedBy act first, before the transform they are applied to, as the
// platform's context calls do (a context's translate then scale puts a point through the scale,
// then the translation). concatenating(u) applies this transform first, then u.

#include <optional>

#include "graphics/Geometry.h"

namespace graphics {

struct AffineTransform {
  double a = 1.0, b = 0.0, c = 0.0, d = 1.0, tx = 0.0, ty = 0.0;

  static constexpr AffineTransform identity() { return {}; }
  static constexpr AffineTransform makeScale(double sx, double sy) {
    return {sx, 0.0, 0.0, sy, 0.0, 0.0};
  }
  static constexpr AffineTransform makeTranslation(double x, double y) {
    return {1.0, 0.0, 0.0, 1.0, x, y};
  }

  bool isIdentity() const { return *this == identity(); }
  // This transform, then u.
  AffineTransform concatenating(const AffineTransform& u) const;
  // A scale (translation) applied first, then this transform.
  AffineTransform scaledBy(double sx, double sy) const;
  AffineTransform translatedBy(double x, double y) const;
  // The inverse; absent when the transform is singular.
  std::optional<AffineTransform> inverted() const;

  Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
  Size apply(Size s) const { return {a * s.width + c * s.height, b * s.width + d * s.height}; }
  // The smallest rectangle holding the transformed corners; null and infinite stay as they are.
  Rect apply(const Rect& r) const;

  friend bool operator==(const AffineTransform&, const AffineTransform&) = default;
};

}  // namespace graphics
