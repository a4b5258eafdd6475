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

void TransformedImage::sampleBatch(const Batch& batch, RGBA* out) const {
  BatchBuffer<graphics::Point> moved;
  for (std::size_t k = 0; k < batch.count; ++k) moved[k] = inverse_.apply(batch.points[k]);
  // A move without scaling or turning keeps a row a row.
  const bool keepsRows = inverse_.a == 1.0 && inverse_.b == 0.0;
  input_->sample({moved, batch.count, batch.unitRow && keepsRows, batch.tables}, out);
}

CroppedImage::CroppedImage(ImagePtr input, const graphics::Rect& rect)
    : Image(input->extent().intersection(rect)), input_(std::move(input)) {}

bool CroppedImage::sampleTexelRun(std::int64_t i, std::int64_t j, std::size_t count, RGBA* out) const {
  if (!input_->sampleTexelRun(i, j, count, out)) return false;
  const double y = static_cast<double>(j) + 0.5;
  for (std::size_t k = 0; k < count; ++k) {
    if (!inExtent({static_cast<double>(i) + static_cast<double>(k) + 0.5, y})) out[k] = RGBA{};
  }
  return true;
}

const std::uint8_t* CroppedImage::texelRunBytes(std::int64_t i, std::int64_t j, std::size_t count) const {
  // The run's centres lie along a row, so it is inside when both end centres are.
  const double y = static_cast<double>(j) + 0.5, x = static_cast<double>(i) + 0.5;
  if (count == 0 || !inExtent({x, y}) || !inExtent({x + static_cast<double>(count - 1), y})) return nullptr;
  return input_->texelRunBytes(i, j, count);
}

void CroppedImage::sampleBatch(const Batch& batch, RGBA* out) const {
  input_->sample(batch, out);
  clearOutside(batch, out);
}

}  // namespace imaging
