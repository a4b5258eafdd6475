#include "components/RawData.h"

#include <gtest/gtest.h>

#include "gpu/Device.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"

namespace tessivarium {
namespace {

std::shared_ptr<gpu::Texture> texture(std::size_t w, std::size_t h, std::uint8_t fill) {
  auto t = gpu::systemDefaultDevice()->makeTexture(
      *gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA8Unorm, w, h, false));
  std::vector<std::uint8_t> bytes(w * h * 4, fill);
  t->writeRegion(gpu::Region::make2D(0, 0, w, h), 0, bytes, w * 4);
  return t;
}

TEST(RawData, DescribesATexture) {
  const RawData data(*texture(800, 600, 7));
  EXPECT_EQ(data.width(), 800);
  EXPECT_EQ(data.height(), 600);
  EXPECT_EQ(data.depth(), 1);
  ASSERT_EQ(data.grid().size(), 1920000u);
  EXPECT_EQ(data.grid()[1919999], 7);
}

TEST(RawData, KeepsBytesOfAnyLength) {
  const RawData empty(3, 4, 5, {});
  EXPECT_EQ(empty.width(), 3);
  EXPECT_EQ(empty.height(), 4);
  EXPECT_EQ(empty.depth(), 5);
  EXPECT_TRUE(empty.grid().empty());
  EXPECT_EQ(RawData(1, 1, 1, {1, 2, 3}).grid(), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(RawData, HoldsTheThreeLayerTextures) {
  const ArtworkRawData data(*texture(5, 3, 1), *texture(5, 3, 2), *texture(5, 3, 3));
  EXPECT_EQ(data.width(), 5);
  EXPECT_EQ(data.height(), 3);
  EXPECT_EQ(data.grid(), std::vector<std::uint8_t>(60, 1));
  EXPECT_EQ(data.wet(), std::vector<std::uint8_t>(60, 2));
  EXPECT_EQ(data.dry(), std::vector<std::uint8_t>(60, 3));
}

}  // namespace
}  // namespace tessivarium
