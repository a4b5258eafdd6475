#pragma once
// PNG files through libpng's simplified API: read into a bitmap of straight RGBA8 pixels, write a
// bitmap (premultiplied bitmaps are unpremultiplied on the way out, since PNG stores straight
// alpha).

#include <filesystem>
#include <memory>

#include "graphics/Bitmap.h"

namespace graphics {

// The file's pixels, byte row 0 the top row of the picture; null when the file cannot be read
// or is not a PNG file.
std::shared_ptr<const Bitmap> readPNG(const std::filesystem::path& path);

// Writes the bitmap as an 8-bit RGBA PNG file; false when the file cannot be written.
bool writePNG(const Bitmap& bitmap, const std::filesystem::path& path);

}  // namespace graphics
