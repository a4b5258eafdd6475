#pragma once
// The storage file of a save point: the canvas's storage records (one per layer, as the canvas
// hands them out) with what a later run needs to continue from them: the canvas's size and scale,
// the current layer and each layer's hidden flag.
//
// Layout, all numbers little-endian:
//   bytes 0-7    "TSVPAINT"
//   bytes 8-11   format version (1)
//   bytes 12-19  size of the records once decompressed
//   bytes 20-27  size of the compressed records that follow the header
//   bytes 28-35  checksum: FNV-1a 64 of bytes 0-27 and the compressed records
//   bytes 36-    the records, one zstd frame:
//                width, height (i64), scale (f64), current layer (i64), layer count (u32), then per
//                layer its hidden flag (u8, 0 or 1), width, height, depth (i64) and the grid, wet and
//                dry bytes (width x height x depth x 4 each).
//
// Both ways stream, a layer at a time: the writer compresses each record as it is handed over, the
// reader decompresses straight into the records' own arrays. Neither holds the decompressed payload
// or the compressed frame beside the records.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "components/RawData.h"

namespace painthost {

inline constexpr std::uint32_t kStorageVersion = 1;
// The most layers a storage file holds.
inline constexpr std::uint32_t kMostLayers = 1000;

// What a storage file keeps of the canvas besides its layers.
struct StoredCanvas {
  std::int64_t width = 0, height = 0;  // the canvas, in points
  double scale = 1.0;
  std::int64_t currentLayer = 0;
};

struct StoredPainting : StoredCanvas {
  std::vector<bool> hidden;  // one per record
  std::vector<tessivarium::ArtworkRawData> records;
};

// Writes a storage file of `layers` layers of `cellsWide` x `cellsHigh` x 1 cells each onto `file`,
// which must be empty, readable and writable: the checksum is read back from the written frame.
class StorageWriter {
 public:
  StorageWriter(std::iostream& file, const StoredCanvas& canvas, std::uint32_t layers, std::int64_t cellsWide,
                std::int64_t cellsHigh);
  ~StorageWriter();
  StorageWriter(const StorageWriter&) = delete;
  StorageWriter& operator=(const StorageWriter&) = delete;

  // The next layer, in layer order. Throws EngineFailure for a record of other sizes or one layer
  // too many.
  void add(bool hidden, const tessivarium::ArtworkRawData& record);
  // Ends the frame and fills in the header; returns the file's size. Throws EngineFailure when a
  // layer is missing.
  std::uint64_t finish();

 private:
  class Compressor;
  std::iostream& file_;
  std::uint32_t layers_, added_ = 0;
  std::int64_t cellsWide_, cellsHigh_;
  std::uint64_t rawSize_;
  std::unique_ptr<Compressor> compressor_;
};

// A storage file opened to load it. Opening reads and checks its header and checksum and what it
// keeps of the canvas, reading the file through without holding it; read() reads the layers.
// Both throw BadInput naming the file and what is wrong: a foreign file, another version, a
// truncated or damaged one, or records that do not hold together. Running out of memory while
// decompressing throws std::bad_alloc.
class StorageReader {
 public:
  explicit StorageReader(const std::filesystem::path& path);
  ~StorageReader();
  StorageReader(const StorageReader&) = delete;
  StorageReader& operator=(const StorageReader&) = delete;

  const std::string& name() const { return name_; }
  const StoredCanvas& canvas() const { return canvas_; }
  std::uint32_t layers() const { return layers_; }
  // Reads every layer, each of which must be `cellsWide` x `cellsHigh` x 1 cells (its arrays are
  // not allocated otherwise), and checks that the records end with the last and with their frame.
  StoredPainting read(std::int64_t cellsWide, std::int64_t cellsHigh);

 private:
  class Decompressor;
  std::string name_;
  std::ifstream file_;
  std::unique_ptr<Decompressor> records_;
  StoredCanvas canvas_;
  std::uint32_t layers_ = 0;
};

// The checksum of a whole storage file (bytes 0-27 and the compressed records), as bytes 28-35
// hold it.
std::uint64_t storageChecksum(const std::vector<std::uint8_t>& file);

}  // namespace painthost
