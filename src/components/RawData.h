#pragma once
// The host-visible records of texture contents as plain bytes: RawData carries one texture's
// width, height, depth and bytes; ArtworkRawData, the storage record of one layer, adds the wet and
// dry textures' bytes to the grid texture's. A tool's colour pattern travels as a RawData too.
//
// The layout of every byte array, which hosts keep as their storage of a painting, so it never
// changes:
//   - no header, no gaps, no compression: exactly width x height x depth x 4 bytes;
//   - `depth` images one after another (a layer has one), each `height` rows from row y = 0, each
//     row `width` texels from x = 0; texel (x, y, z) starts at byte ((z x height + y) x width + x) x 4;
//   - a texel is its 4 channel bytes, RGBA8 unsigned normalised, channel 0 first. In `grid` these are
//     byte 0 the wetness (GRID_WETNESS), byte 1 the dry wetness (GRID_DRY_WETNESS), byte 2 the
//     kernels' stroke mark, byte 3 the cell type (GRID_TYPE); in `wet` and `dry` the paint's red,
//     green and blue and a fourth byte, as kernels/README.md describes the paint model.
// A layer record's sizes are its data textures' (the artwork's size times its scale), depth 1; the
// painting texture is not stored (it is rebuilt from the other three).
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
  // Records of a painting are large: moving one moves its arrays.
  RawData(const RawData&) = default;
  RawData(RawData&&) noexcept = default;
  RawData& operator=(const RawData&) = default;
  RawData& operator=(RawData&&) noexcept = default;

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
  // Exactly these values, unchecked: a host rebuilding the records it kept. The canvas checks them
  // when they are restored.
  ArtworkRawData(std::int64_t width, std::int64_t height, std::int64_t depth, std::vector<std::uint8_t> grid,
                 std::vector<std::uint8_t> wet, std::vector<std::uint8_t> dry);
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
