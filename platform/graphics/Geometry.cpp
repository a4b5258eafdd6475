#include "Geometry.h"

#include <algorithm>
#include <cmath>

namespace graphics {

bool Rect::isNull() const { return std::isinf(origin.x) && origin.x > 0; }

bool Rect::isInfinite() const { return *this == infinite(); }

bool Rect::isEmpty() const { return isNull() || size.width == 0.0 || size.height == 0.0; }

Rect Rect::standardized() const {
  if (isNull()) return *this;
  Rect r = *this;
  if (r.size.width < 0) {
    r.origin.x += r.size.width;
    r.size.width = -r.size.width;
  }
  if (r.size.height < 0) {
    r.origin.y += r.size.height;
    r.size.height = -r.size.height;
  }
  return r;
}

double Rect::minX() const { return standardized().origin.x; }
double Rect::minY() const { return standardized().origin.y; }
double Rect::maxX() const {
  const Rect r = standardized();
  return r.origin.x + r.size.width;
}
double Rect::maxY() const {
  const Rect r = standardized();
  return r.origin.y + r.size.height;
}

bool Rect::contains(Point p) const {
  if (isNull()) return false;
  return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::intersects(const Rect& other) const {
  const Rect common = intersection(other);
  return !common.isEmpty();
}

Rect Rect::intersection(const Rect& other) const {
  if (isNull() || other.isNull()) return null();
  if (isInfinite()) return other.standardized();
  if (other.isInfinite()) return standardized();
  const double x0 = std::max(minX(), other.minX());
  const double y0 = std::max(minY(), other.minY());
  const double x1 = std::min(maxX(), other.maxX());
  const double y1 = std::min(maxY(), other.maxY());
  if (x1 < x0 || y1 < y0) return null();
  return Rect(x0, y0, x1 - x0, y1 - y0);
}

Rect Rect::united(const Rect& other) const {
  if (isNull()) return other.standardized();
  if (other.isNull()) return standardized();
  if (isInfinite() || other.isInfinite()) return infinite();
  const double x0 = std::min(minX(), other.minX());
  const double y0 = std::min(minY(), other.minY());
  const double x1 = std::max(maxX(), other.maxX());
  const double y1 = std::max(maxY(), other.maxY());
  return Rect(x0, y0, x1 - x0, y1 - y0);
}

Rect Rect::integral() const {
  if (isNull() || isInfinite()) return *this;
  const double x0 = std::floor(minX());
  const double y0 = std::floor(minY());
  const double x1 = std::ceil(maxX());
  const double y1 = std::ceil(maxY());
  return Rect(x0, y0, x1 - x0, y1 - y0);
}

}  // namespace graphics
