#include "Image.h"

#include <algorithm>

#include "foundation/Fatal.h"
#include "imaging/Filter.h"
#include "imaging/GeometryImages.h"
#include "imaging/SourceImages.h"

namespace imaging {

ImagePtr Image::fromGraphicsImage(const std::shared_ptr<graphics::Image>& image) {
  if (!image) return nullptr;
  return std::make_shared<BitmapImage>(image->bitmap());
}

ImagePtr Image::constantColor(const graphics::Color& color) {
  const auto rgba = color.rgba();
  if (!rgba) foundation::fatalError("A constant colour image needs a grey or RGB colour");
  return std::make_shared<ConstantImage>(RGBA{static_cast<float>((*rgba)[0]),
                                              static_cast<float>((*rgba)[1]),
                                              static_cast<float>((*rgba)[2]),
                                              static_cast<float>((*rgba)[3])});
}

ImagePtr Image::transformed(const graphics::AffineTransform& transform) const {
  // Two moves in a row are one move.
  if (const auto* moved = dynamic_cast<const TransformedImage*>(this)) {
    return std::make_shared<TransformedImage>(moved->input(),
                                              moved->transform().concatenating(transform));
  }
  return std::make_shared<TransformedImage>(self(), transform);
}

ImagePtr Image::cropped(const graphics::Rect& rect) const {
  // A crop of a crop is one crop to the common part.
  if (const auto* crop = dynamic_cast<const CroppedImage*>(this)) {
    return std::make_shared<CroppedImage>(crop->input(), extent().intersection(rect));
  }
  return std::make_shared<CroppedImage>(self(), rect);
}

ImagePtr Image::applyingFilter(std::string_view name, const FilterInputs& inputs) const {
  const auto filter = Filter::named(name);
  if (!filter) return nullptr;
  filter->setValue(kInputImageKey, self());
  for (const auto& [key, value] : inputs) filter->setValue(key, value);
  return filter->outputImage();
}

void Image::sample(const Batch& batch, RGBA* out) const {
  for (std::size_t done = 0; done < batch.count; done += kBatch) {
    sampleBatch({batch.points + done, std::min(kBatch, batch.count - done), batch.unitRow, batch.tables},
                out + done);
  }
}

void Image::clearOutside(const Batch& batch, RGBA* out) const {
  const std::size_t count = batch.count;
  // A run along a row is inside from end to end when both ends are: x grows along it.
  if (count > 0 && batch.unitRow && inExtent(batch.points[0]) && inExtent(batch.points[count - 1])) return;
  for (std::size_t k = 0; k < count; ++k) {
    if (!inExtent(batch.points[k])) out[k] = RGBA{};
  }
}

bool Image::sampleTexelRun(std::int64_t, std::int64_t, std::size_t, RGBA*) const { return false; }

void Image::prepare(RenderTables&) const {}

const std::uint8_t* Image::texelRunBytes(std::int64_t, std::int64_t, std::size_t) const { return nullptr; }

RGBA Image::sample(graphics::Point point) const {
  RGBA value;
  sampleBatch({&point, 1, true}, &value);
  return value;
}

}  // namespace imaging
