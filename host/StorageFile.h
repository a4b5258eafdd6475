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
//                layer its hidden flag (u8), width, height, depth (i64) and the grid, wet and dry
//                bytes (width x height x depth x 4 each).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "components/RawData.h"

namespace painthost {

inline constexpr std::uint32_t kStorageVersion = 1;
// The most layers a storage file holds.
inline constexpr std::uint32_t kMostLayers = 1000;

struct StoredPainting {
  std::int64_t width = 0, height = 0;  // the canvas, in points
  double scale = 1.0;
  std::int64_t currentLayer = 0;
  std::vector<bool> hidden;  // one per record
  std::vector<tessivarium::ArtworkRawData> records;

  // The records' own bytes: grid, wet and dry of every layer.
  std::uint64_t recordBytes() const;
};

std::vector<std::uint8_t> encodeStorage(const StoredPainting& painting);
// Throws BadInput naming `name` and what is wrong: a foreign file, another version, a truncated or
// damaged one, or records that do not hold together.
StoredPainting decodeStorage(const std::vector<std::uint8_t>& file, const std::string& name);
StoredPainting readStorageFile(const std::filesystem::path& path);
// The checksum of a whole storage file (bytes 0-27 and the compressed records), as bytes 28-35
// hold it.
std::uint64_t storageChecksum(const std::vector<std::uint8_t>& file);

}  // namespace painthost
