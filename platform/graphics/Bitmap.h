#pragma once
// A bitmap: the pixels of an image, width x height texels of four 8-bit components in the order
// red, green, blue, alpha, rows tightly packed (width x 4 bytes), byte row 0 the top row of the
// picture. Immutable once made; shared between the images that show it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace graphics {

enum class AlphaMode {
  Straight,       // colour components independent of alpha (as PNG files store them)
  Premultiplied,  // colour components already multiplied by alpha (what contexts produce)
};

class Bitmap {
 public:
  // Stops fatally when the byte count is not width x height x 4.
  static std::shared_ptr<const Bitmap> make(std::size_t width, std::size_t height,
                                            std::vector<std::uint8_t> pixels, AlphaMode alpha);

  std::size_t width() const { return width_; }
  std::size_t height() const { return height_; }
  std::size_t bitsPerComponent() const { return 8; }
  std::size_t bytesPerRow() const { return width_ * 4; }
  AlphaMode alphaMode() const { return alpha_; }
  const std::vector<std::uint8_t>& pixels() const { return pixels_; }
  // The four bytes of the pixel in column x of byte row `row`.
  std::array<std::uint8_t, 4> pixel(std::size_t x, std::size_t row) const;
  // The pixel with its colour multiplied by its alpha (unchanged when already premultiplied).
  std::array<std::uint8_t, 4> premultipliedPixel(std::size_t x, std::size_t row) const;

 private:
  Bitmap(std::size_t width, std::size_t height, std::vector<std::uint8_t> pixels, AlphaMode alpha)
      : width_(width), height_(height), pixels_(std::move(pixels)), alpha_(alpha) {}
  std::size_t width_, height_;
  std::vector<std::uint8_t> pixels_;
  AlphaMode alpha_;
};

// c x a / 255, rounded to nearest.
inline std::uint8_t premultiplyByte(std::uint8_t c, std::uint8_t a) {
  return static_cast<std::uint8_t>((c * a + 127) / 255);
}

// c x 255 / a, rounded and limited to 255; 0 when a is 0.
inline std::uint8_t unpremultiplyByte(std::uint8_t c, std::uint8_t a) {
  if (a == 0) return 0;
  const unsigned v = (c * 255u + a / 2u) / a;
  return static_cast<std::uint8_t>(v > 255u ? 255u : v);
}

}  // namespace graphics
