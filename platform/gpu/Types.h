#pragma once
// Plain value types of the GPU API: pixel formats and the origins, sizes and regions of texel copies.

#include <cstddef>
#include <cstdint>

namespace gpu {

// Pixel formats. The values are those the platform's API gives them, so that the numbers a host
// stores or prints stay the same.
enum class PixelFormat : std::uint32_t {
  Invalid = 0,
  RGBA8Unorm = 70,
  BGRA8Unorm = 80,
  RGBA32Float = 125,  // 16 bytes per texel
};

// Bytes of one texel of `format` (0 for Invalid).
constexpr std::size_t bytesPerPixel(PixelFormat format) {
  switch (format) {
    case PixelFormat::RGBA8Unorm:
    case PixelFormat::BGRA8Unorm:
      return 4;
    case PixelFormat::RGBA32Float:
      return 16;
    case PixelFormat::Invalid:
      break;
  }
  return 0;
}

struct Origin {
  std::size_t x = 0, y = 0, z = 0;
  friend bool operator==(const Origin&, const Origin&) = default;
};

struct Size {
  std::size_t width = 0, height = 0, depth = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Region {
  Origin origin;
  Size size;
  friend bool operator==(const Region&, const Region&) = default;

  static constexpr Region make2D(std::size_t x, std::size_t y, std::size_t width, std::size_t height) {
    return Region{{x, y, 0}, {width, height, 1}};
  }
  static constexpr Region make3D(std::size_t x, std::size_t y, std::size_t z, std::size_t width,
                                 std::size_t height, std::size_t depth) {
    return Region{{x, y, z}, {width, height, depth}};
  }
};

}  // namespace gpu
