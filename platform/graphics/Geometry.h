#pragma once
// Points, sizes and rectangles in double precision (the platform's CGFloat is a double here).
//
// Rectangles follow the platform's algebra: a rectangle with a negative width or height is read
// as its standardised form; the null rectangle (origin at +infinity, size 0) is what the
// intersection of two disjoint rectangles gives and is neutral for union; the infinite rectangle
// holds every point. Edges are half-open: a point lies inside when minX <= x < maxX and
// minY <= y < maxY.

#include <limits>

namespace graphics {

struct Point {
  double x = 0.0, y = 0.0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  double width = 0.0, height = 0.0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  Point origin;
  Size size;

  constexpr Rect() = default;
  constexpr Rect(double x, double y, double width, double height)
      : origin{x, y}, size{width, height} {}
  constexpr Rect(Point o, Size s) : origin(o), size(s) {}

  // The rectangle of no points: what disjoint rectangles share.
  static constexpr Rect null() {
    constexpr double inf = std::numeric_limits<double>::infinity();
    return Rect(inf, inf, 0.0, 0.0);
  }
  // The rectangle of every point (the extent of an endless image).
  static constexpr Rect infinite() {
    constexpr double big = std::numeric_limits<double>::max();
    return Rect(-big / 2, -big / 2, big, big);
  }

  bool isNull() const;
  bool isInfinite() const;
  // Null, or of zero width or height.
  bool isEmpty() const;

  // The same rectangle with a non-negative width and height.
  Rect standardized() const;
  double minX() const;
  double minY() const;
  double maxX() const;
  double maxY() const;
  double midX() const { return (minX() + maxX()) / 2; }
  double midY() const { return (minY() + maxY()) / 2; }
  double width() const { return standardized().size.width; }
  double height() const { return standardized().size.height; }
  double area() const { return isNull() ? 0.0 : width() * height(); }

  bool contains(Point p) const;
  // True when the two share an area: rectangles that only touch along an edge or a corner do
  // not intersect, and neither does anything with the null rectangle.
  bool intersects(const Rect& other) const;
  // The common part: null when the rectangles are disjoint; a rectangle of zero width or height
  // when they only touch.
  Rect intersection(const Rect& other) const;
  // The smallest rectangle holding both; the null rectangle is neutral.
  Rect united(const Rect& other) const;
  // The smallest rectangle with whole-number edges that holds this one; null stays null.
  Rect integral() const;

  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace graphics
