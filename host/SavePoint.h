#pragma once
// A save point's three files in the output folder: <name>.png, the picture of every shown layer;
// <name>-relief.png, the paint's height as grey (one pixel per cell); <name>.tess, the storage file.
// Each is written whole or not at all.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "StorageFile.h"

namespace graphics {
class Bitmap;
}

namespace painthost {

class Painter;

struct SavedFiles {
  std::filesystem::path picture, relief, storage;
  std::uint64_t storageBytes = 0, recordBytes = 0;
};

SavedFiles writeSavePoint(Painter& painter, const std::filesystem::path& folder, const std::string& name);

// The height of the shown layers' paint: per cell, the highest of the layers' wet and dry
// thickness together, as grey 255 x sqrt(height / the highest cell's height), rounded: black where
// no paint lies, white at the highest cell (all black on a bare canvas).
std::shared_ptr<const graphics::Bitmap> reliefOf(const StoredPainting& painting);

}  // namespace painthost
