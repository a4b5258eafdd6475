#include "TextureImage.h"

#include "gpu/Texture.h"
#include "imaging/GridSampling.h"

namespace imaging {

ImagePtr Image::fromTexture(std::shared_ptr<gpu::Texture> texture) {
  if (!texture || texture->textureType() != gpu::TextureType::Type2D) return nullptr;
  return std::make_shared<TextureImage>(std::move(texture));
}

TextureImage::TextureImage(std::shared_ptr<gpu::Texture> texture)
    : Image(graphics::Rect(0, 0, static_cast<double>(texture->width()),
                           static_cast<double>(texture->height()))),
      texture_(std::move(texture)),
      view_(texture_->texels(0)),
      width_(static_cast<std::int64_t>(texture_->width())),
      height_(static_cast<std::int64_t>(texture_->height())) {}

void TextureImage::sampleBatch(const graphics::Point* points, std::size_t count,
                               RGBA* out) const {
  for (std::size_t k = 0; k < count; ++k) out[k] = sampleGrid(*this, points[k].x, points[k].y);
}

}  // namespace imaging
