#pragma once
// The value of an image at a point: red, green, blue and alpha as floats in 0 to 1 (device RGB,
// no colour management), colours unpremultiplied (independent of alpha). Outside an image's
// extent every image is transparent black.

namespace imaging {

struct RGBA {
  float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
  friend bool operator==(const RGBA&, const RGBA&) = default;
};

inline RGBA premultiplied(const RGBA& c) { return {c.r * c.a, c.g * c.a, c.b * c.a, c.a}; }

// The colour of a premultiplied value; transparent black when alpha is 0.
inline RGBA unpremultiplied(const RGBA& p) {
  if (p.a <= 0.0f) return {};
  const float k = 1.0f / p.a;
  return {p.r * k, p.g * k, p.b * k, p.a};
}

}  // namespace imaging
