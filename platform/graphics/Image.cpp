#include "Image.h"

#include <cmath>
#include <string>

#include "foundation/Bundle.h"
#include "foundation/Fatal.h"
#include "graphics/PNGFile.h"

namespace graphics {

Image::Image(std::shared_ptr<const Bitmap> bitmap, double scale, ImageOrientation orientation)
    : bitmap_(std::move(bitmap)), scale_(scale), orientation_(orientation) {
  if (!bitmap_) foundation::fatalError("An image needs a bitmap");
  if (!(scale_ > 0.0) || !std::isfinite(scale_)) {
    foundation::fatalError("An image's scale must be positive, not " + std::to_string(scale_));
  }
}

std::shared_ptr<Image> Image::fromFile(const std::filesystem::path& path) {
  auto bitmap = readPNG(path);
  if (!bitmap) return nullptr;
  return std::make_shared<Image>(std::move(bitmap));
}

std::shared_ptr<Image> Image::named(std::string_view name) {
  const auto& bundle = foundation::Bundle::main();
  auto path = bundle.pathForResource(name, "png");
  if (!path) path = bundle.pathForResource(name, "");
  if (!path) return nullptr;
  return fromFile(*path);
}

Size Image::size() const {
  return {static_cast<double>(bitmap_->width()) / scale_,
          static_cast<double>(bitmap_->height()) / scale_};
}

bool Image::writePNG(const std::filesystem::path& path) const {
  return graphics::writePNG(*bitmap_, path);
}

}  // namespace graphics
