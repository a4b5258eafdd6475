#pragma once
// Bilinear sampling of a grid of texels (a texture, a bitmap) in image space: texel (i, j)
// covers [i, i + 1) x [j, j + 1) and its value sits at its centre (i + 0.5, j + 0.5). A point at
// a texel centre gives that texel exactly; between centres the four nearest texels are mixed
// with premultiplied colours (so transparent texels do not darken their neighbours); texels
// beyond the grid count as transparent black.
//
// A Grid offers width(), height() (as std::int64_t) and, for 0 <= i < width, 0 <= j < height,
// texel(i, j) (unpremultiplied) and premultipliedTexel(i, j).

#include <cmath>
#include <cstdint>

#include "imaging/RGBA.h"

namespace imaging {

template <typename Grid>
RGBA sampleGrid(const Grid& grid, double x, double y) {
  const std::int64_t w = grid.width(), h = grid.height();
  if (!(x >= 0.0 && x < static_cast<double>(w) && y >= 0.0 && y < static_cast<double>(h))) {
    return {};
  }
  const double fx = x - 0.5, fy = y - 0.5;
  const double fi = std::floor(fx), fj = std::floor(fy);
  const auto i = static_cast<std::int64_t>(fi), j = static_cast<std::int64_t>(fj);
  const float tx = static_cast<float>(fx - fi), ty = static_cast<float>(fy - fj);
  if (tx == 0.0f && ty == 0.0f) return grid.texel(i, j);

  RGBA sum;
  auto add = [&](std::int64_t ii, std::int64_t jj, float weight) {
    if (weight == 0.0f || ii < 0 || jj < 0 || ii >= w || jj >= h) return;
    const RGBA t = grid.premultipliedTexel(ii, jj);
    sum.r += weight * t.r;
    sum.g += weight * t.g;
    sum.b += weight * t.b;
    sum.a += weight * t.a;
  };
  add(i, j, (1.0f - tx) * (1.0f - ty));
  add(i + 1, j, tx * (1.0f - ty));
  add(i, j + 1, (1.0f - tx) * ty);
  add(i + 1, j + 1, tx * ty);
  return unpremultiplied(sum);
}

}  // namespace imaging
