#pragma once
// An image over a 2-D GPU texture, read when rendered: no copy is made, so whatever the texture
// holds at that moment is what the image shows. Texel (i, j) (row j) covers image space
// [i, i + 1) x [j, j + 1); the extent is (0, 0, width, height). The texture's values are taken as
// unpremultiplied colours.

#include <cstring>
#include <memory>

#include "gpu/Types.h"
#include "imaging/Image.h"

namespace gpu {
class Texture;
}

namespace imaging {

class TextureImage final : public Image {
 public:
  explicit TextureImage(std::shared_ptr<gpu::Texture> texture);

  const std::shared_ptr<gpu::Texture>& texture() const { return texture_; }

  std::int64_t width() const { return width_; }
  std::int64_t height() const { return height_; }
  // For 0 <= i < width, 0 <= j < height.
  RGBA texel(std::int64_t i, std::int64_t j) const {
    const std::uint8_t* t = data_ + static_cast<std::size_t>(j) * rowBytes_ +
                            static_cast<std::size_t>(i) * texelBytes_;
    switch (format_) {
      case gpu::PixelFormat::RGBA8Unorm:
        return fromUnorm8(t, false);
      case gpu::PixelFormat::BGRA8Unorm:
        return fromUnorm8(t, true);
      default: {
        RGBA v;
        std::memcpy(&v, t, sizeof v);
        return v;
      }
    }
  }
  RGBA premultipliedTexel(std::int64_t i, std::int64_t j) const {
    return premultiplied(texel(i, j));
  }

 protected:
  void sampleBatch(const Batch& batch, RGBA* out) const override;

 private:
  // Texels (i, j) to (i + count - 1, j), all inside the texture.
  void readRow(std::int64_t i, std::int64_t j, std::size_t count, RGBA* out) const;

  std::shared_ptr<gpu::Texture> texture_;
  const std::uint8_t* data_;
  std::size_t rowBytes_, texelBytes_;
  gpu::PixelFormat format_;
  std::int64_t width_, height_;
};

}  // namespace imaging
