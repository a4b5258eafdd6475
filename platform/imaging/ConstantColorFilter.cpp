#include "ConstantColorFilter.h"

namespace imaging {

ConstantColorFilter::ConstantColorFilter() : Filter(std::string(kName)) {
  declareInput(std::string(kInputColorKey), InputKind::Color);
}

ImagePtr ConstantColorFilter::outputImage() {
  const auto color = colorInput(kInputColorKey);
  if (!color) return nullptr;
  return Image::constantColor(*color);
}

}  // namespace imaging
