#pragma once
// Small bitmaps whose pixels tell where they came from: pixel (x, row) is (16x + 1, 16row + 1,
// 7, 255), so a test can read back which source pixel landed where.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/Bitmap.h"

namespace graphicstest {

inline std::array<std::uint8_t, 4> tag(std::size_t x, std::size_t row) {
  return {static_cast<std::uint8_t>(16 * x + 1), static_cast<std::uint8_t>(16 * row + 1), 7, 255};
}

inline std::shared_ptr<const graphics::Bitmap> taggedBitmap(std::size_t width, std::size_t height) {
  std::vector<std::uint8_t> pixels(width * height * 4);
  for (std::size_t row = 0; row < height; ++row) {
    for (std::size_t x = 0; x < width; ++x) {
      const auto t = tag(x, row);
      std::copy(t.begin(), t.end(), pixels.begin() + static_cast<std::ptrdiff_t>(4 * (row * width + x)));
    }
  }
  return graphics::Bitmap::make(width, height, std::move(pixels), graphics::AlphaMode::Straight);
}

}  // namespace graphicstest
