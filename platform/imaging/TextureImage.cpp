#include "TextureImage.h"

#include "gpu/TexelView.h"
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
      data_(texture_->texels(0).texel(0, 0)),
      rowBytes_(texture_->texels(0).bytesPerRow()),
      texelBytes_(texture_->texels(0).bytesPerPixel()),
      format_(texture_->pixelFormat()),
      width_(static_cast<std::int64_t>(texture_->width())),
      height_(static_cast<std::int64_t>(texture_->height())) {}

// The texels as a grid for sampleGrid, their format fixed, so that no texel read branches on it.
template <gpu::PixelFormat F>
class TextureImage::Texels {
 public:
  explicit Texels(const TextureImage& image) : image_(image) {}
  std::int64_t width() const { return image_.width_; }
  std::int64_t height() const { return image_.height_; }
  RGBA texel(std::int64_t i, std::int64_t j) const { return decode<F>(image_.address(i, j)); }
  RGBA premultipliedTexel(std::int64_t i, std::int64_t j) const { return premultiplied(texel(i, j)); }

 private:
  const TextureImage& image_;
};

void TextureImage::sampleBatch(const Batch& batch, RGBA* out) const {
  switch (format_) {
    case gpu::PixelFormat::RGBA8Unorm:
      return sampleIn<gpu::PixelFormat::RGBA8Unorm>(batch, out);
    case gpu::PixelFormat::BGRA8Unorm:
      return sampleIn<gpu::PixelFormat::BGRA8Unorm>(batch, out);
    default:
      return sampleIn<gpu::PixelFormat::RGBA32Float>(batch, out);
  }
}

template <gpu::PixelFormat F>
void TextureImage::sampleIn(const Batch& batch, RGBA* out) const {
  const graphics::Point* points = batch.points;
  const std::size_t count = batch.count;
  // A run of texel centres within one row is a straight copy of texels.
  if (count > 0 && batch.unitRow) {
    const double fx = points[0].x - 0.5, fy = points[0].y - 0.5;
    const double lastX = points[0].x + static_cast<double>(count - 1);
    if (fx >= 0.0 && fy >= 0.0 && lastX < static_cast<double>(width_) &&
        points[0].y < static_cast<double>(height_)) {
      const auto i = static_cast<std::int64_t>(fx), j = static_cast<std::int64_t>(fy);
      if (static_cast<double>(i) == fx && static_cast<double>(j) == fy) {
        const std::uint8_t* t = address(i, j);
        for (std::size_t k = 0; k < count; ++k, t += texelBytes_) out[k] = decode<F>(t);
        return;
      }
    }
  }
  sampleGrid(Texels<F>(*this), points, count, out);
}

}  // namespace imaging
