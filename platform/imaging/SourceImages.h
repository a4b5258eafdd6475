#pragma once
// The leaves of the image graph that hold no texture: an image over a graphics image's bitmap
// and an endless image of one colour.

#include <memory>
#include <vector>

#include "graphics/Bitmap.h"
#include "imaging/Image.h"

namespace imaging {

// The bitmap's pixels with its top row at the top: image texel (i, j) is bitmap pixel (i, row
// h - 1 - j). Small bitmaps (shading pictures, which are looked up at scattered points for every
// output texel) are converted once to premultiplied floats; large ones are read as bytes.
class BitmapImage final : public Image {
 public:
  explicit BitmapImage(std::shared_ptr<const graphics::Bitmap> bitmap);

  std::int64_t width() const { return width_; }
  std::int64_t height() const { return height_; }
  // For 0 <= i < width, 0 <= j < height.
  RGBA texel(std::int64_t i, std::int64_t j) const {
    const RGBA v = bytes(i, j);
    return premultiplied_ ? unpremultiplied(v) : v;
  }
  RGBA premultipliedTexel(std::int64_t i, std::int64_t j) const {
    if (!converted_.empty()) return converted_[static_cast<std::size_t>(j * width_ + i)];
    const RGBA v = bytes(i, j);
    return premultiplied_ ? v : premultiplied(v);
  }

  // The largest bitmap converted to floats at construction.
  static constexpr std::size_t kConvertedPixels = 512 * 512;

 protected:
  void sampleBatch(const Batch& batch, RGBA* out) const override;

 private:
  RGBA bytes(std::int64_t i, std::int64_t j) const {
    const std::uint8_t* p = pixels_ + ((height_ - 1 - j) * width_ + i) * 4;
    constexpr float k = 1.0f / 255.0f;
    return {p[0] * k, p[1] * k, p[2] * k, p[3] * k};
  }
  std::shared_ptr<const graphics::Bitmap> bitmap_;
  const std::uint8_t* pixels_;
  std::int64_t width_, height_;
  bool premultiplied_;
  std::vector<RGBA> converted_;  // premultiplied, image row j first; empty for large bitmaps
};

class ConstantImage final : public Image {
 public:
  explicit ConstantImage(const RGBA& color) : Image(graphics::Rect::infinite()), color_(color) {}

 protected:
  void sampleBatch(const Batch& batch, RGBA* out) const override;

 private:
  RGBA color_;
};

}  // namespace imaging
