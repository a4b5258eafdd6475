#include "SourceImages.h"

#include <cmath>

#include "imaging/GridSampling.h"

namespace imaging {

BitmapImage::BitmapImage(std::shared_ptr<const graphics::Bitmap> bitmap)
    : Image(graphics::Rect(0, 0, static_cast<double>(bitmap->width()),
                           static_cast<double>(bitmap->height()))),
      bitmap_(std::move(bitmap)),
      width_(static_cast<std::int64_t>(bitmap_->width())),
      height_(static_cast<std::int64_t>(bitmap_->height())),
      premultiplied_(bitmap_->alphaMode() == graphics::AlphaMode::Premultiplied) {}

RGBA BitmapImage::bytes(std::int64_t i, std::int64_t j) const {
  const std::uint8_t* p =
      bitmap_->pixels().data() + ((height_ - 1 - j) * width_ + i) * 4;
  constexpr float k = 1.0f / 255.0f;
  return {p[0] * k, p[1] * k, p[2] * k, p[3] * k};
}

RGBA BitmapImage::texel(std::int64_t i, std::int64_t j) const {
  const RGBA v = bytes(i, j);
  return premultiplied_ ? unpremultiplied(v) : v;
}

RGBA BitmapImage::premultipliedTexel(std::int64_t i, std::int64_t j) const {
  const RGBA v = bytes(i, j);
  return premultiplied_ ? v : premultiplied(v);
}

void BitmapImage::sampleBatch(const graphics::Point* points, std::size_t count, RGBA* out) const {
  for (std::size_t k = 0; k < count; ++k) out[k] = sampleGrid(*this, points[k].x, points[k].y);
}

void ConstantImage::sampleBatch(const graphics::Point* points, std::size_t count,
                                RGBA* out) const {
  for (std::size_t k = 0; k < count; ++k) {
    // Every point of the plane, but not the undefined ones.
    out[k] = (std::isnan(points[k].x) || std::isnan(points[k].y)) ? RGBA{} : color_;
  }
}

}  // namespace imaging
