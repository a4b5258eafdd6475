#include "AffineTransform.h"

#include <algorithm>

namespace graphics {

AffineTransform AffineTransform::concatenating(const AffineTransform& u) const {
  return {a * u.a + b * u.c,         a * u.b + b * u.d,          c * u.a + d * u.c,
          c * u.b + d * u.d,         tx * u.a + ty * u.c + u.tx, tx * u.b + ty * u.d + u.ty};
}

AffineTransform AffineTransform::scaledBy(double sx, double sy) const {
  return makeScale(sx, sy).concatenating(*this);
}

AffineTransform AffineTransform::translatedBy(double x, double y) const {
  return makeTranslation(x, y).concatenating(*this);
}

std::optional<AffineTransform> AffineTransform::inverted() const {
  const double det = a * d - b * c;
  if (det == 0.0) return std::nullopt;
  const double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
  return AffineTransform{ia, ib, ic, id, -(tx * ia + ty * ic), -(tx * ib + ty * id)};
}

Rect AffineTransform::apply(const Rect& r) const {
  if (r.isNull() || r.isInfinite()) return r;
  const Point corners[4] = {apply(Point{r.minX(), r.minY()}), apply(Point{r.maxX(), r.minY()}),
                            apply(Point{r.minX(), r.maxY()}), apply(Point{r.maxX(), r.maxY()})};
  double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
  for (const Point& p : corners) {
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  return Rect(x0, y0, x1 - x0, y1 - y0);
}

}  // namespace graphics
