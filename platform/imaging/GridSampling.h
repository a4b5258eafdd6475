#pragma once
// Bilinear sampling of a grid of texels (a texture, a bitmap) in image space: texel (i, j)
// covers [i, i + 1) x [j, j + 1) and its value sits at its centre (i + 0.5, j + 0.5). A point at
// a texel centre gives that texel exactly; between centres the four nearest texels are mixed
// with premultiplied colours (so transparent texels do not darken their neighbours); texels
// beyond the grid count as transparent black.
//
// A Grid offers width(), height() (as std::int64_t) and, for 0 <= i < width, 0 <= j < height,
// texel(i, j) (unpremultiplied) and premultipliedTexel(i, j).

#include <cstddef>
#include <cstdint>

#include "graphics/Geometry.h"

#include "imaging/RGBA.h"

namespace imaging {

// Writes the value at (x, y) into `out` (through a reference rather than a return value, so the
// four floats go straight to their place in the caller's batch).
template <typename Grid>
inline void sampleGrid(const Grid& grid, double x, double y, RGBA& out) {
  const std::int64_t w = grid.width(), h = grid.height();
  if (!(x >= 0.0 && x < static_cast<double>(w) && y >= 0.0 && y < static_cast<double>(h))) {
    out = RGBA{};
    return;
  }
  // fx, fy >= -0.5 here, so truncating fx + 1 floors it (std::floor would be a library call).
  const double fx = x - 0.5, fy = y - 0.5;
  const auto i = static_cast<std::int64_t>(fx + 1.0) - 1;
  const auto j = static_cast<std::int64_t>(fy + 1.0) - 1;
  const float tx = static_cast<float>(fx - static_cast<double>(i));
  const float ty = static_cast<float>(fy - static_cast<double>(j));
  if (tx == 0.0f && ty == 0.0f) {
    out = grid.texel(i, j);
    return;
  }

  const float w00 = (1.0f - tx) * (1.0f - ty), w10 = tx * (1.0f - ty);
  const float w01 = (1.0f - tx) * ty, w11 = tx * ty;
  RGBA t00, t10, t01, t11;  // transparent beyond the grid
  const bool left = i >= 0, right = i + 1 < w, below = j >= 0, above = j + 1 < h;
  if (left && below) t00 = grid.premultipliedTexel(i, j);
  if (right && below) t10 = grid.premultipliedTexel(i + 1, j);
  if (left && above) t01 = grid.premultipliedTexel(i, j + 1);
  if (right && above) t11 = grid.premultipliedTexel(i + 1, j + 1);
#if defined(__SSE2__)
  // The four channels side by side; each lane sums in the scalar order below.
  const __m128 sumLanes = _mm_add_ps(
      _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(w00), load(t00)), _mm_mul_ps(_mm_set1_ps(w10), load(t10))),
                 _mm_mul_ps(_mm_set1_ps(w01), load(t01))),
      _mm_mul_ps(_mm_set1_ps(w11), load(t11)));
  const RGBA sum = store(sumLanes);
#else
  const RGBA sum{w00 * t00.r + w10 * t10.r + w01 * t01.r + w11 * t11.r,
                 w00 * t00.g + w10 * t10.g + w01 * t01.g + w11 * t11.g,
                 w00 * t00.b + w10 * t10.b + w01 * t01.b + w11 * t11.b,
                 w00 * t00.a + w10 * t10.a + w01 * t01.a + w11 * t11.a};
#endif
  out = unpremultiplied(sum);
}

// sampleGrid at each of `count` points.
template <typename Grid>
void sampleGrid(const Grid& grid, const graphics::Point* points, std::size_t count, RGBA* out) {
  for (std::size_t k = 0; k < count; ++k) sampleGrid(grid, points[k].x, points[k].y, out[k]);
}

}  // namespace imaging
