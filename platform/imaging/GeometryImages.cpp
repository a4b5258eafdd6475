#include "GeometryImages.h"

#include "foundation/Fatal.h"

namespace imaging {
namespace {

graphics::AffineTransform inverseOf(const graphics::AffineTransform& t) {
  const auto inverse = t.inverted();
  if (!inverse) foundation::fatalError("An image cannot be moved through a singular transform");
  return *inverse;
}

}  // namespace

TransformedImage::TransformedImage(ImagePtr input, const graphics::AffineTransform& transform)
    : Image(transform.apply(input->extent())),
      input_(std::move(input)),
      transform_(transform),
      inverse_(inverseOf(transform)) {}

void TransformedImage::sampleBatch(const graphics::Point* points, std::size_t count,
                                   RGBA* out) const {
  graphics::Point moved[kBatch];
  for (std::size_t k = 0; k < count; ++k) moved[k] = inverse_.apply(points[k]);
  input_->sample(moved, count, out);
}

CroppedImage::CroppedImage(ImagePtr input, const graphics::Rect& rect)
    : Image(input->extent().intersection(rect)),
      input_(std::move(input)),
      x0_(extent().minX()),
      y0_(extent().minY()),
      x1_(extent().maxX()),
      y1_(extent().maxY()) {}

void CroppedImage::sampleBatch(const graphics::Point* points, std::size_t count,
                               RGBA* out) const {
  input_->sample(points, count, out);
  for (std::size_t k = 0; k < count; ++k) {
    const graphics::Point& p = points[k];
    if (!(p.x >= x0_ && p.x < x1_ && p.y >= y0_ && p.y < y1_)) out[k] = RGBA{};
  }
}

}  // namespace imaging
