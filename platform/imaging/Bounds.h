#pragma once
// A rectangle's edges, worked out once, for the containment tests made at every sample.

#include "graphics/Geometry.h"

namespace imaging {

struct Bounds {
  double x0, y0, x1, y1;

  explicit Bounds(const graphics::Rect& r)
      : x0(r.isNull() ? 0.0 : r.minX()),
        y0(r.isNull() ? 0.0 : r.minY()),
        x1(r.isNull() ? 0.0 : r.maxX()),
        y1(r.isNull() ? 0.0 : r.maxY()) {}

  // Half-open, as graphics::Rect::contains.
  bool contains(const graphics::Point& p) const {
    return p.x >= x0 && p.x < x1 && p.y >= y0 && p.y < y1;
  }
};

}  // namespace imaging
