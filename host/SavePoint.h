#pragma once
// A save point's three files in the output folder: <name>.png, the picture of every shown layer;
// <name>-relief.png, the paint's height as grey (one pixel per cell); <name>.tess, the storage file.
// The three appear together or not at all. Beside the canvas's textures a save point holds one
// layer's records at a time, the relief and the picture.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tessivarium {
class ArtworkRawData;
}

namespace painthost {

class Painter;

struct SavedFiles {
  std::filesystem::path picture, relief, storage;
  std::uint64_t storageBytes = 0, recordBytes = 0;
};

// The names of the files of the save point `name`: its picture, its relief, its storage file.
std::array<std::string, 3> savePointFileNames(const std::string& name);

// Writes the save point `name` into `folder`. Throws EngineFailure when a file cannot be written or
// memory runs out ("out of memory writing final.tess"); none of the three is there then.
SavedFiles writeSavePoint(Painter& painter, const std::filesystem::path& folder, const std::string& name);

// A picture of one grey byte per pixel, rows from the top.
struct GreyPicture {
  std::size_t width = 0, height = 0;
  std::vector<std::uint8_t> pixels;
  std::uint8_t at(std::size_t x, std::size_t y) const { return pixels[y * width + x]; }
};

// The height of the shown layers' paint, gathered a layer at a time: per cell, the highest of the
// layers' wet and dry thickness together, as grey 255 x sqrt(height / the highest cell's height),
// rounded: black where no paint lies, white at the highest cell (all black on a bare canvas).
class Relief {
 public:
  Relief(std::size_t width, std::size_t height);
  // A layer's record of the relief's size; a hidden layer's changes nothing.
  void add(const tessivarium::ArtworkRawData& record, bool hidden);
  // With `ground`'s relief (thickness bytes a cell, rows from the top; none when empty) added to
  // the paint's: the paint stands on the canvas's weave where the surface shows.
  GreyPicture picture(const std::vector<std::uint8_t>& ground = {}) const;

 private:
  std::size_t width_, height_;
  std::vector<std::uint16_t> heights_;
};

// Writes an 8-bit grey PNG file; false when it cannot be written.
bool writeGreyPNG(const GreyPicture& picture, const std::filesystem::path& path);

}  // namespace painthost
