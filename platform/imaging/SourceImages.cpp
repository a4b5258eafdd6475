#include "SourceImages.h"

#include <cmath>

#include "imaging/GridSampling.h"

namespace imaging {

BitmapImage::BitmapImage(std::shared_ptr<const graphics::Bitmap> bitmap)
    : Image(graphics::Rect(0, 0, static_cast<double>(bitmap->width()),
                           static_cast<double>(bitmap->height()))),
      bitmap_(std::move(bitmap)),
      pixels_(bitmap_->pixels().data()),
      width_(static_cast<std::int64_t>(bitmap_->width())),
      height_(static_cast<std::int64_t>(bitmap_->height())),
      premultiplied_(bitmap_->alphaMode() == graphics::AlphaMode::Premultiplied) {
  if (bitmap_->width() * bitmap_->height() > kConvertedPixels) return;
  std::vector<RGBA> converted;
  converted.reserve(bitmap_->width() * bitmap_->height());
  for (std::int64_t j = 0; j < height_; ++j) {
    for (std::int64_t i = 0; i < width_; ++i) converted.push_back(premultipliedTexel(i, j));
  }
  converted_ = std::move(converted);
}

void BitmapImage::sampleBatch(const Batch& batch, RGBA* out) const {
  sampleGrid(*this, batch.points, batch.count, out);
}

void ConstantImage::sampleBatch(const Batch& batch, RGBA* out) const {
  for (std::size_t k = 0; k < batch.count; ++k) {
    // Every point of the plane, but not the undefined ones.
    const graphics::Point& p = batch.points[k];
    out[k] = (std::isnan(p.x) || std::isnan(p.y)) ? RGBA{} : color_;
  }
}

}  // namespace imaging
