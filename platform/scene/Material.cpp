#include "scene/Material.h"

#include "foundation/Fatal.h"

namespace scene {

void MaterialProperty::setContents(std::shared_ptr<graphics::Image> image) {
  if (!image) foundation::fatalError("material contents: no image given");
  contents_ = std::move(image);
}

std::shared_ptr<graphics::Image> MaterialProperty::image() const {
  const auto* image = std::get_if<std::shared_ptr<graphics::Image>>(&contents_);
  return image ? *image : nullptr;
}

}  // namespace scene
