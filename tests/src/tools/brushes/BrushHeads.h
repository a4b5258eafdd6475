#pragma once
// What the brush tests read off a head: its body cells, and the cells a list of bristle records
// should make body when laid as lines from their roots towards the head's tip.

#include <cmath>
#include <cstddef>
#include <set>
#include <tuple>
#include <vector>

#include "gpu/Texture.h"
#include "tools/ToolModelKernelRecords.h"

namespace brushtest {

using Cell = std::tuple<std::size_t, std::size_t, std::size_t>;

inline constexpr std::uint8_t kBody = 255;

// The cells of `head` whose kind byte is `kind`.
inline std::set<Cell> cellsOfKind(const gpu::Texture& head, std::uint8_t kind) {
  std::set<Cell> cells;
  const gpu::TexelView v = head.texels();
  for (std::size_t z = 0; z < v.depth(); ++z)
    for (std::size_t y = 0; y < v.height(); ++y)
      for (std::size_t x = 0; x < v.width(); ++x)
        if (v.texel(x, y, z)[3] == kind) cells.insert({x, y, z});
  return cells;
}

// Each record's line: `length` cells from its root along -(sin angle, cos angle) in its slice,
// up to the first cell outside a head of `size`.
inline std::set<Cell> bristleCells(const std::vector<tessivarium::Bristle>& records, gpu::Size size) {
  std::set<Cell> cells;
  for (const auto& b : records) {
    // In single precision, step by step as the kernel works, so that no rounding differs.
    const float stepX = -std::sin(b.angle), stepY = -std::cos(b.angle);
    for (int t = 0; t < static_cast<int>(b.startPoint.w); ++t) {
      const float x = std::floor(b.startPoint.x + stepX * static_cast<float>(t));
      const float y = std::floor(b.startPoint.y + stepY * static_cast<float>(t));
      if (x < 0 || y < 0 || x >= static_cast<float>(size.width) || y >= static_cast<float>(size.height)) break;
      cells.insert({static_cast<std::size_t>(x), static_cast<std::size_t>(y), static_cast<std::size_t>(b.startPoint.z)});
    }
  }
  return cells;
}

}  // namespace brushtest
