#pragma once
// Images: a bitmap with a scale (pixels per point) and an orientation. The orientation is carried
// as the image was given it; drawing uses the bitmap as it stands, and the size in points is the
// pixel size divided by the scale.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "graphics/Bitmap.h"
#include "graphics/Geometry.h"

namespace graphics {

// The platform's eight orientations, with its raw values.
enum class ImageOrientation : std::int64_t {
  Up = 0,
  Down = 1,
  Left = 2,
  Right = 3,
  UpMirrored = 4,
  DownMirrored = 5,
  LeftMirrored = 6,
  RightMirrored = 7,
};

class Image {
 public:
  // Stops fatally for a null bitmap or a scale that is not positive and finite.
  Image(std::shared_ptr<const Bitmap> bitmap, double scale = 1.0,
        ImageOrientation orientation = ImageOrientation::Up);

  // The PNG file's picture at scale 1; null when it cannot be read.
  static std::shared_ptr<Image> fromFile(const std::filesystem::path& path);
  // The picture of that name in the main bundle: looked up with ".png" added (so a name without
  // an extension finds its PNG file), then as given; null when there is no such file or it
  // cannot be read.
  static std::shared_ptr<Image> named(std::string_view name);

  const std::shared_ptr<const Bitmap>& bitmap() const { return bitmap_; }
  std::size_t pixelWidth() const { return bitmap_->width(); }
  std::size_t pixelHeight() const { return bitmap_->height(); }
  double scale() const { return scale_; }
  ImageOrientation orientation() const { return orientation_; }
  // The size in points: pixels divided by the scale.
  Size size() const;

  // Writes the bitmap as a PNG file; false when it cannot be written.
  bool writePNG(const std::filesystem::path& path) const;

 private:
  std::shared_ptr<const Bitmap> bitmap_;
  double scale_;
  ImageOrientation orientation_;
};

}  // namespace graphics
