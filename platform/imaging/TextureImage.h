#pragma once
// An image over a 2-D GPU texture, read when rendered: no copy is made, so whatever the texture
// holds at that moment is what the image shows. Texel (i, j) (row j) covers image space
// [i, i + 1) x [j, j + 1); the extent is (0, 0, width, height). The texture's values are taken as
// unpremultiplied colours.

#include <memory>

#include "gpu/TexelView.h"
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
  RGBA texel(std::int64_t i, std::int64_t j) const {
    const gpu::float4 v = view_.read(static_cast<std::size_t>(i), static_cast<std::size_t>(j));
    return {v.x, v.y, v.z, v.w};
  }
  RGBA premultipliedTexel(std::int64_t i, std::int64_t j) const {
    return premultiplied(texel(i, j));
  }

 protected:
  void sampleBatch(const graphics::Point* points, std::size_t count, RGBA* out) const override;

 private:
  std::shared_ptr<gpu::Texture> texture_;
  gpu::TexelView view_;
  std::int64_t width_, height_;
};

}  // namespace imaging
