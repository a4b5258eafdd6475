#include "SavePoint.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <new>
#include <vector>

#include "AtomicFile.h"
#include "HostErrors.h"
#include "Painter.h"
#include "StorageFile.h"
#include "components/RawData.h"
#include "graphics/Bitmap.h"
#include "graphics/Image.h"
#include "graphics/PNGFile.h"

namespace painthost {
namespace {

// One stage of a save point, for one of its files: memory running out there is reported with it.
template <typename Stage>
auto forFile(const std::filesystem::path& file, Stage&& stage) {
  try {
    return stage();
  } catch (const std::bad_alloc&) {
    throw EngineFailure("out of memory writing " + file.filename().string());
  }
}

}  // namespace

Relief::Relief(std::size_t width, std::size_t height) : width_(width), height_(height), heights_(width * height, 0) {}

void Relief::add(const tessivarium::ArtworkRawData& record, bool hidden) {
  if (hidden) return;
  const auto& wet = record.wet();
  const auto& dry = record.dry();
  if (wet.size() != heights_.size() * 4 || dry.size() != heights_.size() * 4) {
    throw EngineFailure("the relief of " + std::to_string(width_) + " x " + std::to_string(height_) +
                        " cells is given a layer of another size");
  }
  // Byte 3 of a wet or dry texel is the paint's thickness.
  for (std::size_t i = 0; i < heights_.size(); ++i) {
    heights_[i] = std::max<std::uint16_t>(heights_[i], static_cast<std::uint16_t>(wet[i * 4 + 3] + dry[i * 4 + 3]));
  }
}

GreyPicture Relief::picture(const std::vector<std::uint8_t>& ground) const {
  std::vector<std::uint16_t> heights = heights_;
  if (ground.size() == heights.size()) {
    for (std::size_t i = 0; i < heights.size(); ++i) heights[i] = static_cast<std::uint16_t>(heights[i] + ground[i]);
  }
  // On the kernels' scale (two full layers white) typical paint, a few bytes to a few dozen thick,
  // shows nearly black. The relief is scaled to its highest cell instead, by the square root so
  // that thin paint beside thick stays visible: black is bare, white the highest paint.
  const std::uint16_t highest = heights.empty() ? 0 : *std::max_element(heights.begin(), heights.end());
  GreyPicture relief{width_, height_, std::vector<std::uint8_t>(heights.size())};
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

  const auto names = savePointFileNames(name);
  SavedFiles files{folder / names[0], folder / names[1], folder / names[2]};
  // Written under temporary names, and renamed once all three are complete: the storage file last,
  // so that a save point whose storage file is there is whole.
  FileGroup group({files.picture, files.relief, files.storage});
  forFile(files.picture, [&] {
    const auto picture = painter.picture();
    group.add(files.picture, [&](const std::filesystem::path& to) { return graphics::writePNG(*picture->bitmap(), to); });
  });
  const CellSize cells = painter.cellSize();
  Relief relief = forFile(files.relief, [&] {
    return Relief(static_cast<std::size_t>(cells.width), static_cast<std::size_t>(cells.height));
  });
  // The records are compressed a layer at a time, and the relief gathered from the same record.
  forFile(files.storage, [&] {
    group.add(files.storage, [&](const std::filesystem::path& to) {
      std::fstream file(to, std::ios::in | std::ios::out | std::ios::binary);
      StorageWriter storage(file, painter.storedCanvas(), static_cast<std::uint32_t>(painter.layerCount()), cells.width,
                            cells.height);
      painter.eachRecord([&](bool hidden, const tessivarium::ArtworkRawData& record) {
        storage.add(hidden, record);
        relief.add(record, hidden);
        files.recordBytes += record.grid().size() + record.wet().size() + record.dry().size();
      });
      files.storageBytes = storage.finish();
      file.close();
      return !file.fail();
    });
  });
  forFile(files.relief, [&] {
    const GreyPicture grey = relief.picture(painter.groundRelief());
    group.add(files.relief, [&](const std::filesystem::path& to) { return writeGreyPNG(grey, to); });
  });
  group.commit();
  return files;
}

}  // namespace painthost
