// The composed picture, byte for byte, against fingerprints of its bytes (taken before its fast
// forms were written, and taken again when the colour images came to hold the paint's own colours
// instead of paint already mixed with the background): whole-layer rebuilds of random paint (three layers, a background, a random
// shading image, ground and background colour) at scales 0.5 to 2, in both layer modes, with a
// hidden layer and a translucent background colour, and working regions composed at random
// origins as strokes place them. A change meant to alter the picture must update the fingerprints
// here, and say so.

#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "FramesTestSupport.h"
#include "LayerTestSupport.h"
#include "components/ArtworkTextures.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "graphics/Color.h"
#include "tools/ToolSurface.h"
#include "utils/CoreImageUtil.h"

namespace tessivarium {
namespace {

// 64-bit FNV-1a of the bytes.
std::uint64_t fingerprint(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (const std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

std::uint64_t fingerprint(const gpu::Texture& texture) { return fingerprint(layertest::bytesOf(texture)); }

enum class Alphas { Any, Thin, SometimesNone };

void randomPaint(gpu::Texture& texture, std::mt19937& random, Alphas alphas) {
  std::vector<std::uint8_t> bytes(texture.width() * texture.height() * 4);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(random());
    if (i % 4 != 3) continue;
    if (alphas == Alphas::Thin) bytes[i] = static_cast<std::uint8_t>(random() % 12);
    if (alphas == Alphas::SometimesNone && random() % 3 == 0) bytes[i] = 0;
  }
  texture.writeRegion(gpu::Region::make2D(0, 0, texture.width(), texture.height()), 0, bytes, texture.width() * 4);
}

enum class Variant { Plain, PageMode, SmallGround, AnyShading, TranslucentBackground, HiddenLayer };

struct Case {
  double scale;
  std::int64_t width, height;
  Variant variant;
  std::uint64_t layer, background, windows;  // the fingerprints
};

class GoldenPicture : public ::testing::TestWithParam<Case> {
 protected:
  std::shared_ptr<testsupport::FrameTool> tool = framestest::useFrameTool();
};

TEST_P(GoldenPicture, HasThePinnedBytes) {
  const Case c = GetParam();
  std::mt19937 random(1234 + static_cast<unsigned>(c.variant));
  const auto paint = framestest::makePaint(c.width, c.height, c.scale, 3);
  framestest::start(*paint);
  const auto shading = AppManager().makeTexture(16, 12);
  randomPaint(*shading, random, c.variant == Variant::AnyShading ? Alphas::Any : Alphas::SometimesNone);
  paint->setShadingImage(imaging::Image::fromTexture(shading));
  paint->setBackgroundColor(
      graphics::Color::fromRGBA(0.9, 0.3, 0.6, c.variant == Variant::TranslucentBackground ? 0.5 : 1.0));
  const bool small = c.variant == Variant::SmallGround;
  const auto ground = AppManager().makeTexture(small ? 5 : 8, small ? 3 : 8);
  randomPaint(*ground, random, Alphas::Any);
  paint->setGroundTexture(ground);
  int next = 0;
  const Alphas kinds[] = {Alphas::Any, Alphas::Thin, Alphas::SometimesNone};
  for (const auto& layer : paint->layers()) {
    randomPaint(*layer->gridTexture(), random, Alphas::Any);
    randomPaint(*layer->wetTexture(), random, kinds[next++ % 3]);
    randomPaint(*layer->dryTexture(), random, kinds[next++ % 3]);
  }
  ASSERT_TRUE(paint->background());
  randomPaint(*paint->background()->wetTexture(), random, Alphas::Thin);
  randomPaint(*paint->background()->dryTexture(), random, Alphas::SometimesNone);
  if (c.variant == Variant::PageMode) paint->setLayerMode(LayerMode::Page);
  if (c.variant == Variant::HiddenLayer) paint->layers()[0]->setIsHidden(true);

  ArtworkTextures& layer = *paint->currentContent();
  layer.recreatedDraw();
  EXPECT_EQ(fingerprint(*layer.paintingTexture()), c.layer);

  paint->setShowBackground(true);
  paint->background()->recreatedDraw();
  paint->setShowBackground(false);
  EXPECT_EQ(fingerprint(*paint->background()->paintingTexture()), c.background);

  const auto picture = AppManager().makeTexture(*layer.textureGlobalDescriptor());
  auto& surface = *tool->loadingSurface();
  const auto cellsX = static_cast<std::size_t>(static_cast<double>(c.width) * c.scale);
  const auto cellsY = static_cast<std::size_t>(static_cast<double>(c.height) * c.scale);
  for (int i = 0; i < 4; ++i) {
    const std::size_t x = random() % cellsX, y = random() % cellsY;
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    surface.setOffset({static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 0});
    surface.setOrigin(gpu::Origin{x, y, 0});
    surface.encodeLoads(layer, *buffer);
    CoreImageUtil::render(*paint, picture, buffer, static_cast<double>(x), static_cast<double>(y));
    buffer->commit();
  }
  surface.setOrigin(std::nullopt);
  EXPECT_EQ(fingerprint(*picture), c.windows);
}

INSTANTIATE_TEST_SUITE_P(
    Compositions, GoldenPicture,
    ::testing::Values(
        Case{1, 600, 420, Variant::Plain, 0xb65e40f1a56728d7, 0xcfaba06bb4519e3, 0xc08ff80397216b22},
        Case{2, 300, 210, Variant::Plain, 0x6a5a108233aca4, 0x7e84671dec13399e, 0x2d61a4f38409f2ab},
        Case{0.5, 1100, 600, Variant::Plain, 0x75223f16146d1cc9, 0xe7b1989ca8707fb4, 0xfd9f099dbc6d07a2},
        Case{1, 700, 300, Variant::PageMode, 0xdb79b30c16d22a92, 0x4f1eacceb667c7e5, 0xcf88c57848d5999},
        Case{2, 310, 200, Variant::SmallGround, 0x49d39940249997a5, 0x3d61169fb170566f, 0x2cb9254256d67f4b},
        Case{1, 500, 500, Variant::AnyShading, 0xc65de7de5dc8cb5e, 0xd5eb4f035974c4c4, 0x26c0830edac561a9},
        Case{1.5, 400, 300, Variant::TranslucentBackground, 0x73ec61b49facaae7, 0xadd0b38a7c5b2d19,
             0xc0f9d167aa83f9e9},
        Case{1, 520, 270, Variant::HiddenLayer, 0x306790c6d480013, 0xc1906982a6e1a4d0, 0xfb259cbe9c691780},
        Case{2, 200, 140, Variant::HiddenLayer, 0xcac253e7fe896829, 0x1240937881b5343e, 0x2bff4b246e1c6da8},
        Case{1, 100, 80, Variant::SmallGround, 0x2a8414079bb8ebba, 0xc4ffa4fc5e8c8df3, 0x47c2577f55809337}));

}  // namespace
}  // namespace tessivarium
