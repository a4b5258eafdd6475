#pragma once
// PNG files through libpng's simplified API: read into a bitmap of straight RGBA8 pixels, write a
// bitmap (premultiplied bitmaps are unpremultiplied on the way out, since PNG stores straight
// alpha).

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "graphics/Bitmap.h"

namespace graphics {

// The largest width or height readPNG accepts (a picture of 1 GiB); the device's textures are
// no larger.
inline constexpr std::uint32_t kLargestPNGSide = 16384;

// The file's pixels, byte row 0 the top row of the picture; null when the file cannot be read,
// is not a regular file (a FIFO, a device, a folder), is not a PNG file, or claims a width or a
// height beyond kLargestPNGSide (refused before anything is allocated for it).
std::shared_ptr<const Bitmap> readPNG(const std::filesystem::path& path);

struct PNGSize {
  std::uint32_t width = 0, height = 0;
};
// The width and height the file's header gives, read without decoding a pixel (whatever they
// are); none when readPNG would give nothing for another reason than its size.
std::optional<PNGSize> readPNGSize(const std::filesystem::path& path);

// Writes the bitmap as an 8-bit RGBA PNG file; false when the file cannot be written.
bool writePNG(const Bitmap& bitmap, const std::filesystem::path& path);

}  // namespace graphics
