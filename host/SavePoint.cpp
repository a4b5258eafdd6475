#include "SavePoint.h"

#include <algorithm>
#include <vector>

#include "AtomicFile.h"
#include "HostErrors.h"
#include "Painter.h"
#include "graphics/Bitmap.h"
#include "graphics/Image.h"
#include "graphics/PNGFile.h"

namespace painthost {

std::shared_ptr<const graphics::Bitmap> reliefOf(const StoredPainting& painting) {
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
  std::vector<std::uint8_t> pixels(width * height * 4);
  for (std::size_t i = 0; i < heights.size(); ++i) {
    const auto grey = static_cast<std::uint8_t>(std::min(255, (heights[i] + 1) / 2));
    pixels[i * 4] = pixels[i * 4 + 1] = pixels[i * 4 + 2] = grey;
    pixels[i * 4 + 3] = 255;
  }
  return graphics::Bitmap::make(width, height, std::move(pixels), graphics::AlphaMode::Straight);
}

SavedFiles writeSavePoint(Painter& painter, const std::filesystem::path& folder, const std::string& name) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw EngineFailure(folder.string() + ": the output folder cannot be made: " + error.message());

  const StoredPainting painting = painter.snapshot();
  const auto picture = painter.picture();
  SavedFiles files{folder / (name + ".png"), folder / (name + "-relief.png"), folder / (name + ".tess")};
  writeAtomically(files.picture, [&](const std::filesystem::path& to) { return graphics::writePNG(*picture->bitmap(), to); });
  const auto relief = reliefOf(painting);
  writeAtomically(files.relief, [&](const std::filesystem::path& to) { return graphics::writePNG(*relief, to); });
  const auto storage = encodeStorage(painting);
  writeAtomically(files.storage, storage);
  files.storageBytes = storage.size();
  files.recordBytes = painting.recordBytes();
  return files;
}

}  // namespace painthost
