#include "PNGFile.h"

#include <png.h>

#include <cstring>
#include <system_error>
#include <vector>

namespace graphics {
namespace {

// Reads the file's header into `image`; false (and nothing to free) when it cannot be read.
bool beginReading(png_image& image, const std::filesystem::path& path) {
  // Opening a FIFO or a device would wait for a writer that never comes.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) != 0) return true;
  png_image_free(&image);
  return false;
}

}  // namespace

std::optional<PNGSize> readPNGSize(const std::filesystem::path& path) {
  png_image image;
  if (!beginReading(image, path)) return std::nullopt;
  const PNGSize size{image.width, image.height};
  png_image_free(&image);
  return size;
}

std::shared_ptr<const Bitmap> readPNG(const std::filesystem::path& path) {
  png_image image;
  if (!beginReading(image, path)) return nullptr;
  // The header's sizes are only claims: check them before allocating for them, in 64 bits.
  if (image.width > kLargestPNGSide || image.height > kLargestPNGSide) {
    png_image_free(&image);
    return nullptr;
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> pixels(std::size_t{image.width} * image.height * 4);
  if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return nullptr;
  }
  return Bitmap::make(image.width, image.height, std::move(pixels), AlphaMode::Straight);
}

bool writePNG(const Bitmap& bitmap, const std::filesystem::path& path) {
  if (bitmap.width() == 0 || bitmap.height() == 0) return false;
  if (bitmap.width() > PNG_UINT_31_MAX / 4 || bitmap.height() > PNG_UINT_31_MAX) return false;
  std::vector<std::uint8_t> pixels = bitmap.pixels();
  if (bitmap.alphaMode() == AlphaMode::Premultiplied) {
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
      for (int c = 0; c < 3; ++c) pixels[i + c] = unpremultiplyByte(pixels[i + c], pixels[i + 3]);
    }
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(bitmap.width());
  image.height = static_cast<png_uint_32>(bitmap.height());
  image.format = PNG_FORMAT_RGBA;
  const int ok = png_image_write_to_file(&image, path.c_str(), 0, pixels.data(),
                                         static_cast<png_int_32>(bitmap.bytesPerRow()), nullptr);
  png_image_free(&image);
  return ok != 0;
}

}  // namespace graphics
