#pragma once
// The host-visible records of texture contents as plain bytes: RawData carries one texture's
// width, height, depth and bytes (4 per texel, x fastest, then rows, then slices, level 0 and
// slice 0 only, no header); ArtworkRawData, the storage record of one layer, adds the wet and dry
// textures' bytes to the grid texture's. A tool's colour pattern travels as a RawData too.
//
// The bytes are read from the texture at once, on the CPU: the caller makes sure no GPU work that
// writes the texture is still in flight.

#include <cstdint>
#include <vector>

namespace gpu {
class Texture;
}

namespace tessivarium {

class RawData {
 public:
  // Exactly these values; the byte count is not checked against the sizes.
  RawData(std::int64_t width, std::int64_t height, std::int64_t depth, std::vector<std::uint8_t> grid);
  // The texture's sizes, then its bytes.
  explicit RawData(const gpu::Texture& grid);
  virtual ~RawData() = default;

  std::int64_t width() const { return width_; }
  std::int64_t height() const { return height_; }
  std::int64_t depth() const { return depth_; }
  const std::vector<std::uint8_t>& grid() const { return grid_; }

 private:
  std::int64_t width_;
  std::int64_t height_;
  std::int64_t depth_;
  std::vector<std::uint8_t> grid_;
};

class ArtworkRawData : public RawData {
 public:
  // Reads the dry texture, then the wet one, then the grid texture as the base record.
  ArtworkRawData(const gpu::Texture& grid, const gpu::Texture& wet, const gpu::Texture& dry);

  const std::vector<std::uint8_t>& wet() const { return wet_; }
  const std::vector<std::uint8_t>& dry() const { return dry_; }

 private:
  struct WetAndDry {
    std::vector<std::uint8_t> wet, dry;
  };
  static WetAndDry read(const gpu::Texture& wet, const gpu::Texture& dry);
  ArtworkRawData(WetAndDry layers, const gpu::Texture& grid);

  std::vector<std::uint8_t> wet_;
  std::vector<std::uint8_t> dry_;
};

}  // namespace tessivarium
