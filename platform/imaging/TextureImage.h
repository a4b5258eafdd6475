#pragma once
// An image over a 2-D GPU texture, read when rendered: no copy is made, so whatever the texture
// holds at that moment is what the image shows. Texel (i, j) (row j) covers image space
// [i, i + 1) x [j, j + 1); the extent is (0, 0, width, height). The texture's values are taken as
// unpremultiplied colours.

#include <cstring>
#include <memory>
#include <mutex>

#include "gpu/Types.h"
#include "imaging/Image.h"

namespace gpu {
class Texture;
}

namespace imaging {

struct PremultipliedTexels;

class TextureImage final : public Image {
 public:
  explicit TextureImage(std::shared_ptr<gpu::Texture> texture);

  const std::shared_ptr<gpu::Texture>& texture() const { return texture_; }

  std::int64_t width() const { return width_; }
  std::int64_t height() const { return height_; }
  // For 0 <= i < width, 0 <= j < height.
  RGBA texel(std::int64_t i, std::int64_t j) const {
    switch (format_) {
      case gpu::PixelFormat::RGBA8Unorm:
        return decode<gpu::PixelFormat::RGBA8Unorm>(address(i, j));
      case gpu::PixelFormat::BGRA8Unorm:
        return decode<gpu::PixelFormat::BGRA8Unorm>(address(i, j));
      default:
        return decode<gpu::PixelFormat::RGBA32Float>(address(i, j));
    }
  }
  RGBA premultipliedTexel(std::int64_t i, std::int64_t j) const {
    return premultiplied(texel(i, j));
  }

  // 8-bit texels made ready premultiplied for the lookups: when fewer than the render's samples,
  // or when those made for an earlier render still hold the texture's bytes.
  void prepareLookups(RenderTables& tables) const override;
  // Texels of row j from i on, transparent black beyond the texture.
  bool sampleTexelRun(std::int64_t i, std::int64_t j, std::size_t count, RGBA* out) const override;
  const std::uint8_t* texelRunBytes(std::int64_t i, std::int64_t j, std::size_t count) const override;

  // The value of a texel stored in format F (the 32-bit float format for any but the 8-bit ones).
  template <gpu::PixelFormat F>
  static RGBA decode(const std::uint8_t* t) {
    if constexpr (F == gpu::PixelFormat::RGBA8Unorm) {
      return fromUnorm8(t, false);
    } else if constexpr (F == gpu::PixelFormat::BGRA8Unorm) {
      return fromUnorm8(t, true);
    } else {
      RGBA v;
      std::memcpy(&v, t, sizeof v);
      return v;
    }
  }

 protected:
  void sampleBatch(const Batch& batch, RGBA* out) const override;

 private:
  const std::uint8_t* address(std::int64_t i, std::int64_t j) const {
    return data_ + static_cast<std::size_t>(j) * rowBytes_ + static_cast<std::size_t>(i) * texelBytes_;
  }
  // sampleBatch with the texel format settled at compile time.
  template <gpu::PixelFormat F>
  void sampleIn(const Batch& batch, RGBA* out) const;
  // The texels (i, j) to (i + count - 1, j), all inside, decoded.
  template <gpu::PixelFormat F>
  void decodeRun(std::int64_t i, std::int64_t j, std::size_t count, RGBA* out) const;
  // Bilinear sampling of four points of an 8-bit texture, from its bytes or from its texels made
  // ready premultiplied.
  template <gpu::PixelFormat F>
  void sampleFour(const graphics::Point* points, RGBA* out) const;
  template <gpu::PixelFormat F>
  void sampleFour(const PremultipliedTexels& texels, const graphics::Point* points, RGBA* out) const;
  // The premultiplied texels of the texture as it is now: those made before when its bytes have
  // not changed since, else new ones when `make`, else null.
  std::shared_ptr<const PremultipliedTexels> premultipliedTexels(bool make) const;
  template <gpu::PixelFormat F>
  class Texels;

  std::shared_ptr<gpu::Texture> texture_;
  const std::uint8_t* data_;
  std::size_t rowBytes_, texelBytes_;
  gpu::PixelFormat format_;
  std::int64_t width_, height_;
  mutable std::mutex premultipliedMutex_;
  mutable std::shared_ptr<const PremultipliedTexels> premultiplied_;
};

}  // namespace imaging
