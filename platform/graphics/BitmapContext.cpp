#include "BitmapContext.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "foundation/Fatal.h"

namespace graphics {

std::shared_ptr<BitmapContext> BitmapContext::create(void* data, std::size_t width,
                                                     std::size_t height,
                                                     std::size_t bitsPerComponent,
                                                     std::size_t bytesPerRow, ColorSpace space,
                                                     AlphaInfo alpha, ByteOrder order) {
  if (width == 0 || height == 0 || bitsPerComponent != 8) return nullptr;
  if (width > std::numeric_limits<std::size_t>::max() / 4 || bytesPerRow < width * 4) return nullptr;
  if (bytesPerRow > std::numeric_limits<std::size_t>::max() / height) return nullptr;
  if (space != ColorSpace::DeviceRGB || order == ByteOrder::Little32) return nullptr;
  if (alpha != AlphaInfo::PremultipliedLast && alpha != AlphaInfo::NoneSkipLast) return nullptr;

  std::vector<std::uint8_t> own;
  if (data == nullptr) {
    own.assign(bytesPerRow * height, 0);
    if (alpha == AlphaInfo::NoneSkipLast) {
      for (std::size_t row = 0; row < height; ++row) {
        for (std::size_t x = 0; x < width; ++x) own[row * bytesPerRow + x * 4 + 3] = 255;
      }
    }
  }
  return std::shared_ptr<BitmapContext>(new BitmapContext(
      static_cast<std::uint8_t*>(data), std::move(own), width, height, bytesPerRow, alpha));
}

template <typename Visit>
void BitmapContext::forEachPixelIn(const Rect& rect, Visit&& visit) {
  if (rect.isEmpty()) return;
  const auto inverse = ctm_.inverted();
  if (!inverse) return;
  const Rect r = rect.standardized();
  // The pixels the rectangle can reach, in base space, clipped to the bitmap.
  const Rect reach = ctm_.apply(r).intersection(
      Rect(0, 0, static_cast<double>(width_), static_cast<double>(height_)));
  if (reach.isEmpty()) return;
  const auto x0 = static_cast<std::size_t>(std::max(0.0, std::floor(reach.minX())));
  const auto x1 = std::min(width_, static_cast<std::size_t>(std::ceil(reach.maxX())));
  const auto y0 = static_cast<std::size_t>(std::max(0.0, std::floor(reach.minY())));
  const auto y1 = std::min(height_, static_cast<std::size_t>(std::ceil(reach.maxY())));
  for (std::size_t by = y0; by < y1; ++by) {
    const std::size_t row = height_ - 1 - by;
    for (std::size_t x = x0; x < x1; ++x) {
      const Point user = inverse->apply(Point{x + 0.5, by + 0.5});
      if (r.contains(user)) visit(x, row, user);
    }
  }
}

void BitmapContext::blend(std::uint8_t* dst, const std::uint8_t* src) const {
  const unsigned keep = 255u - src[3];
  for (int i = 0; i < 4; ++i) dst[i] = static_cast<std::uint8_t>(src[i] + (dst[i] * keep + 127u) / 255u);
  if (alpha_ == AlphaInfo::NoneSkipLast) dst[3] = 255;
}

void BitmapContext::clear(const Rect& rect) {
  const std::uint8_t cleared = alpha_ == AlphaInfo::NoneSkipLast ? 255 : 0;
  forEachPixelIn(rect, [&](std::size_t x, std::size_t row, Point) {
    std::uint8_t* p = data_ + row * bytesPerRow_ + x * 4;
    p[0] = p[1] = p[2] = 0;
    p[3] = cleared;
  });
}

void BitmapContext::fill(const Rect& rect, const Color& color) {
  const auto rgba = color.rgba();
  if (!rgba) foundation::fatalError("A bitmap context fills only grey and RGB colours");
  auto toByte = [](double v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
  };
  const std::uint8_t a = toByte((*rgba)[3]);
  const std::uint8_t src[4] = {premultiplyByte(toByte((*rgba)[0]), a),
                               premultiplyByte(toByte((*rgba)[1]), a),
                               premultiplyByte(toByte((*rgba)[2]), a), a};
  forEachPixelIn(rect, [&](std::size_t x, std::size_t row, Point) {
    blend(data_ + row * bytesPerRow_ + x * 4, src);
  });
}

void BitmapContext::draw(const Bitmap& bitmap, const Rect& rect) {
  if (bitmap.width() == 0 || bitmap.height() == 0) return;
  const Rect r = rect.standardized();
  const double w = static_cast<double>(bitmap.width());
  const double h = static_cast<double>(bitmap.height());
  forEachPixelIn(r, [&](std::size_t x, std::size_t row, Point user) {
    // The bitmap's top row lies at the rectangle's top (its largest y).
    const double u = std::floor((user.x - r.minX()) / r.width() * w);
    const double v = std::floor((r.maxY() - user.y) / r.height() * h);
    const auto sx = static_cast<std::size_t>(std::clamp(u, 0.0, w - 1));
    const auto sy = static_cast<std::size_t>(std::clamp(v, 0.0, h - 1));
    const auto src = bitmap.premultipliedPixel(sx, sy);
    blend(data_ + row * bytesPerRow_ + x * 4, src.data());
  });
}

std::shared_ptr<const Bitmap> BitmapContext::makeImage() const {
  std::vector<std::uint8_t> pixels(width_ * height_ * 4);
  for (std::size_t row = 0; row < height_; ++row) {
    std::copy_n(data_ + row * bytesPerRow_, width_ * 4, pixels.data() + row * width_ * 4);
  }
  return Bitmap::make(width_, height_, std::move(pixels), AlphaMode::Premultiplied);
}

}  // namespace graphics
