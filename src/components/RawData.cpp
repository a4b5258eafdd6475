#include "components/RawData.h"

#include "gpu/Texture.h"
#include "utils/TextureUtil.h"

namespace tessivarium {

RawData::RawData(std::int64_t width, std::int64_t height, std::int64_t depth, std::vector<std::uint8_t> grid)
    : width_(width), height_(height), depth_(depth), grid_(std::move(grid)) {}

RawData::RawData(const gpu::Texture& grid)
    : width_(static_cast<std::int64_t>(grid.width())),
      height_(static_cast<std::int64_t>(grid.height())),
      depth_(static_cast<std::int64_t>(grid.depth())),
      grid_(TextureUtil::toRawData(grid)) {}

ArtworkRawData::ArtworkRawData(std::int64_t width, std::int64_t height, std::int64_t depth,
                               std::vector<std::uint8_t> grid, std::vector<std::uint8_t> wet,
                               std::vector<std::uint8_t> dry)
    : RawData(width, height, depth, std::move(grid)), wet_(std::move(wet)), dry_(std::move(dry)) {}

ArtworkRawData::ArtworkRawData(const gpu::Texture& grid, const gpu::Texture& wet, const gpu::Texture& dry)
    : ArtworkRawData(read(wet, dry), grid) {}

ArtworkRawData::WetAndDry ArtworkRawData::read(const gpu::Texture& wet, const gpu::Texture& dry) {
  WetAndDry layers;
  layers.dry = TextureUtil::toRawData(dry);
  layers.wet = TextureUtil::toRawData(wet);
  return layers;
}

ArtworkRawData::ArtworkRawData(WetAndDry layers, const gpu::Texture& grid)
    : RawData(grid), wet_(std::move(layers.wet)), dry_(std::move(layers.dry)) {}

}  // namespace tessivarium
