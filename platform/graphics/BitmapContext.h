#pragma once
// Bitmap drawing contexts: 8 bits per component, device RGB, alpha premultiplied and stored last
// (bytes R, G, B, A in both the default and the 32-bit big-endian byte order), over the caller's
// bytes or a zeroed buffer of the context's own.
//
// Coordinates. Drawing goes through the current transform (CTM) from user space into the base
// space of the bitmap: one unit per pixel, origin at the bottom-left corner, y upwards. Byte row
// 0 is the top of the bitmap, so under the identity a picture drawn into (0, 0, w, h) has its top
// row in byte row 0; translating by (0, h) and scaling by (1, -1) puts its bottom row there.
//
// A pixel belongs to a drawn rectangle when its centre, taken back into user space, lies inside
// the rectangle (half-open edges). Drawing a bitmap samples it at the nearest texel (no
// filtering), so draws at a scale of +-1 copy pixels exactly; drawing premultiplies the bitmap's
// colours when they are straight and lays them over the context's pixels (source over).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/AffineTransform.h"
#include "graphics/Bitmap.h"
#include "graphics/Color.h"
#include "graphics/Geometry.h"

namespace graphics {

enum class AlphaInfo {
  PremultipliedLast,  // R, G, B, A with colours multiplied by alpha
  NoneSkipLast,       // R, G, B, X: opaque, the fourth byte held at 255
  PremultipliedFirst,  // not supported by this kit
  Last,                // straight alpha: not supported for drawing
};

enum class ByteOrder { Default, Big32, Little32 };

class BitmapContext {
 public:
  // A context over `data` (width x height pixels, bytesPerRow bytes per row, which the caller
  // keeps alive as long as the context), or over a zeroed buffer of its own when `data` is null.
  // Null for what this kit cannot draw into: a zero width or height, other than 8 bits per
  // component, fewer than width x 4 bytes per row, another space than device RGB, alpha other
  // than premultiplied-last or none-skip-last, or the little-endian 32-bit byte order.
  static std::shared_ptr<BitmapContext> create(void* data, std::size_t width, std::size_t height,
                                               std::size_t bitsPerComponent,
                                               std::size_t bytesPerRow, ColorSpace space,
                                               AlphaInfo alpha,
                                               ByteOrder order = ByteOrder::Default);

  BitmapContext(const BitmapContext&) = delete;
  BitmapContext& operator=(const BitmapContext&) = delete;

  std::size_t width() const { return width_; }
  std::size_t height() const { return height_; }
  std::size_t bytesPerRow() const { return bytesPerRow_; }
  AlphaInfo alphaInfo() const { return alpha_; }
  // The first byte of the pixels.
  std::uint8_t* data() { return data_; }
  const std::uint8_t* data() const { return data_; }

  // The current transform, user space to base space.
  const AffineTransform& ctm() const { return ctm_; }
  // The next drawing is translated (scaled) first, then put through the current transform.
  void translate(double tx, double ty) { ctm_ = ctm_.translatedBy(tx, ty); }
  void scale(double sx, double sy) { ctm_ = ctm_.scaledBy(sx, sy); }
  void concatenate(const AffineTransform& t) { ctm_ = t.concatenating(ctm_); }

  // Sets the pixels of the rectangle to transparent black (opaque black without alpha).
  void clear(const Rect& rect);
  // Lays a grey or RGB colour over the pixels of the rectangle; other spaces stop fatally.
  void fill(const Rect& rect, const Color& color);
  // Draws the whole bitmap stretched over the rectangle.
  void draw(const Bitmap& bitmap, const Rect& rect);

  // A new bitmap holding a copy of the pixels (premultiplied).
  std::shared_ptr<const Bitmap> makeImage() const;

 private:
  BitmapContext(std::uint8_t* data, std::vector<std::uint8_t> own, std::size_t width,
                std::size_t height, std::size_t bytesPerRow, AlphaInfo alpha)
      : own_(std::move(own)), data_(data ? data : own_.data()), width_(width), height_(height),
        bytesPerRow_(bytesPerRow), alpha_(alpha) {}

  // Calls visit(x, row, userPoint) for every pixel whose centre falls inside `rect`.
  template <typename Visit>
  void forEachPixelIn(const Rect& rect, Visit&& visit);
  void blend(std::uint8_t* dst, const std::uint8_t* premultiplied) const;

  std::vector<std::uint8_t> own_;
  std::uint8_t* data_;
  std::size_t width_, height_, bytesPerRow_;
  AlphaInfo alpha_;
  AffineTransform ctm_;
};

}  // namespace graphics
