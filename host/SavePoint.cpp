#include "SavePoint.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <vector>

#include "AtomicFile.h"
#include "HostErrors.h"
#include "Painter.h"
#include "graphics/Bitmap.h"
#include "graphics/Image.h"
#include "graphics/PNGFile.h"

namespace painthost {

GreyPicture reliefOf(const StoredPainting& painting) {
  const auto& first = painting.records.front();
  const auto width = static_cast<std::size_t>(first.width()), height = static_cast<std::size_t>(first.height());
  std::vector<std::uint16_t> heights(width * height, 0);
  for (std::size_t l = 0; l < painting.records.size(); ++l) {
    if (l < painting.hidden.size() && painting.hidden[l]) continue;
    const auto& wet = painting.records[l].wet();
    const auto& dry = painting.records[l].dry();
    // Byte 3 of a wet or dry texel is the paint's thickness.
    for (std::size_t i = 0; i < heights.size(); ++i) {
      heights[i] = std::max<std::uint16_t>(heights[i], static_cast<std::uint16_t>(wet[i * 4 + 3] + dry[i * 4 + 3]));
    }
  }
  // On the kernels' scale (two full layers white) typical paint, a few bytes to a few dozen thick,
  // shows nearly black. The relief is scaled to its highest cell instead, by the square root so
  // that thin paint beside thick stays visible: black is bare, white the highest paint.
  const std::uint16_t highest = heights.empty() ? 0 : *std::max_element(heights.begin(), heights.end());
  GreyPicture relief{width, height, std::vector<std::uint8_t>(width * height)};
  for (std::size_t i = 0; i < heights.size(); ++i) {
    const double share = highest == 0 ? 0.0 : static_cast<double>(heights[i]) / highest;
    relief.pixels[i] = static_cast<std::uint8_t>(std::lround(255.0 * std::sqrt(share)));
  }
  return relief;
}

bool writeGreyPNG(const GreyPicture& picture, const std::filesystem::path& path) {
  if (picture.width == 0 || picture.height == 0 || picture.width > PNG_UINT_31_MAX || picture.height > PNG_UINT_31_MAX) {
    return false;
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_GRAY;
  const int ok = png_image_write_to_file(&image, path.c_str(), 0, picture.pixels.data(),
                                         static_cast<png_int_32>(picture.width), nullptr);
  png_image_free(&image);
  return ok != 0;
}

std::array<std::string, 3> savePointFileNames(const std::string& name) {
  return {name + ".png", name + "-relief.png", name + ".tess"};
}

SavedFiles writeSavePoint(Painter& painter, const std::filesystem::path& folder, const std::string& name) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw EngineFailure(folder.string() + ": the output folder cannot be made: " + error.message());

  const StoredPainting painting = painter.snapshot();
  const auto picture = painter.picture();
  const auto names = savePointFileNames(name);
  SavedFiles files{folder / names[0], folder / names[1], folder / names[2]};
  // The three appear together: each is written under a temporary name, and all are renamed once
  // all are complete.
  FileGroup group;
  group.add(files.picture, [&](const std::filesystem::path& to) { return graphics::writePNG(*picture->bitmap(), to); });
  const auto relief = reliefOf(painting);
  group.add(files.relief, [&](const std::filesystem::path& to) { return writeGreyPNG(relief, to); });
  const auto storage = encodeStorage(painting);
  group.add(files.storage, [&](const std::filesystem::path& to) {
    std::ofstream out(to, std::ios::binary);
    out.write(reinterpret_cast<const char*>(storage.data()), static_cast<std::streamsize>(storage.size()));
    out.close();
    return static_cast<bool>(out);
  });
  group.commit();
  files.storageBytes = storage.size();
  files.recordBytes = painting.recordBytes();
  return files;
}

}  // namespace painthost
