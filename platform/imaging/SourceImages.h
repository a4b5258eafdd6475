#pragma once
// The leaves of the image graph that hold no texture: an image over a graphics image's bitmap
// and an endless image of one colour.

#include <memory>

#include "graphics/Bitmap.h"
#include "imaging/Image.h"

namespace imaging {

// The bitmap's pixels with its top row at the top: image texel (i, j) is bitmap pixel (i, row
// h - 1 - j).
class BitmapImage final : public Image {
 public:
  explicit BitmapImage(std::shared_ptr<const graphics::Bitmap> bitmap);

  std::int64_t width() const { return width_; }
  std::int64_t height() const { return height_; }
  RGBA texel(std::int64_t i, std::int64_t j) const;
  RGBA premultipliedTexel(std::int64_t i, std::int64_t j) const;

 protected:
  void sampleBatch(const graphics::Point* points, std::size_t count, RGBA* out) const override;

 private:
  RGBA bytes(std::int64_t i, std::int64_t j) const;
  std::shared_ptr<const graphics::Bitmap> bitmap_;
  std::int64_t width_, height_;
  bool premultiplied_;
};

class ConstantImage final : public Image {
 public:
  explicit ConstantImage(const RGBA& color) : Image(graphics::Rect::infinite()), color_(color) {}

 protected:
  void sampleBatch(const graphics::Point* points, std::size_t count, RGBA* out) const override;

 private:
  RGBA color_;
};

}  // namespace imaging
