#include "Bitmap.h"

#include <string>

#include "foundation/Fatal.h"

namespace graphics {

std::shared_ptr<const Bitmap> Bitmap::make(std::size_t width, std::size_t height,
                                           std::vector<std::uint8_t> pixels, AlphaMode alpha) {
  if (height != 0 && width > pixels.max_size() / 4 / height) {
    foundation::fatalError("Bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                           " pixels is too large");
  }
  if (pixels.size() != width * height * 4) {
    foundation::fatalError("Bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                           " pixels needs " + std::to_string(width * height * 4) + " bytes, got " +
                           std::to_string(pixels.size()));
  }
  return std::shared_ptr<const Bitmap>(new Bitmap(width, height, std::move(pixels), alpha));
}

std::array<std::uint8_t, 4> Bitmap::pixel(std::size_t x, std::size_t row) const {
  if (x >= width_ || row >= height_) {
    foundation::fatalError("Bitmap pixel (" + std::to_string(x) + ", " + std::to_string(row) +
                           ") lies outside " + std::to_string(width_) + " x " +
                           std::to_string(height_));
  }
  const std::uint8_t* p = pixels_.data() + (row * width_ + x) * 4;
  return {p[0], p[1], p[2], p[3]};
}

std::array<std::uint8_t, 4> Bitmap::premultipliedPixel(std::size_t x, std::size_t row) const {
  std::array<std::uint8_t, 4> p = pixel(x, row);
  if (alpha_ == AlphaMode::Straight) {
    for (int i = 0; i < 3; ++i) p[i] = premultiplyByte(p[i], p[3]);
  }
  return p;
}

}  // namespace graphics
