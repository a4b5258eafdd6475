// The resource texture loader: level counts and sizes, row order, console lines, copies and the
// accounting of its textures.

#include "utils/MetalTexture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "Application.h"
#include "ConsoleCapture.h"
#include "FatalStop.h"
#include "RecordedErrors.h"
#include "TempResourceRoot.h"
#include "gpu/Gpu.h"
#include "graphics/Bitmap.h"
#include "graphics/PNGFile.h"
#include "tools/ApplicationManager.h"

namespace {

using namespace tessivarium;

class MetalTextureTest : public ::testing::Test {
 protected:
  // A w x h picture whose pixel in column x of row r is (x, r, 9, alpha), written as <name>.png.
  void writePicture(const std::string& name, std::size_t w, std::size_t h, std::uint8_t alpha = 255) {
    std::vector<std::uint8_t> pixels;
    for (std::size_t r = 0; r < h; ++r)
      for (std::size_t x = 0; x < w; ++x)
        pixels.insert(pixels.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(r), 9, alpha});
    ASSERT_TRUE(graphics::writePNG(*graphics::Bitmap::make(w, h, pixels, graphics::AlphaMode::Straight),
                                   root.path() / (name + ".png")));
  }
  void load(MetalTexture& t, bool flip) {
    t.loadTexture(AppManager().device(), AppManager().commandQueue(), flip);
  }

  testsupport::TempResourceRoot root;
};

TEST_F(MetalTextureTest, MipmappedImageHasTheFullChain) {
  writePicture("wide", 512, 300);
  testsupport::ConsoleCapture console;
  MetalTexture t("wide", "png", true);
  ASSERT_TRUE(t.path());
  EXPECT_EQ(t.width(), 0);
  load(t, true);
  EXPECT_EQ(t.width(), 512);
  EXPECT_EQ(t.height(), 300);
  ASSERT_EQ(t.texture()->mipmapLevelCount(), 10u);
  EXPECT_EQ(t.texture()->levelSize(3), (gpu::Size{64, 37, 1}));
  EXPECT_EQ(t.bytes()->size(), 614'400u);
  EXPECT_EQ(t.bytesForMipLevel(3)->size(), 64u * 37 * 4);
  EXPECT_EQ(t.bytesForMipLevel(9)->size(), 4u);
  EXPECT_EQ(t.image(9)->pixelWidth(), 1u);
  const auto& lines = console.lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "mipCount:10"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "mips generated"), lines.end());
}

TEST_F(MetalTextureTest, ATallImageKeepsItsDeepestLevels) {
  writePicture("tall", 37, 300);
  MetalTexture t("tall", "png", true);
  load(t, true);
  ASSERT_EQ(t.texture()->mipmapLevelCount(), 9u) << "the height, not the width, sets the chain";
  EXPECT_EQ(t.texture()->levelSize(5), (gpu::Size{1, 9, 1}));
  EXPECT_EQ(t.bytesForMipLevel(5)->size(), 1u * 9 * 4);
  EXPECT_EQ(t.bytesForMipLevel(7)->size(), 1u * 2 * 4);
  EXPECT_EQ(t.bytesForMipLevel(8)->size(), 4u);
  EXPECT_EQ(t.image(6)->pixelHeight(), 4u);
  EXPECT_FALSE(t.bytesForMipLevel(9));
}

TEST_F(MetalTextureTest, WithoutMipmapsOneLevelAndNoGeneration) {
  writePicture("plain", 8, 4);
  testsupport::ConsoleCapture console;
  MetalTexture t("plain", "png", false);
  load(t, true);
  EXPECT_EQ(console.linesStartingWith("mipCount:"), std::vector<std::string>{"mipCount:1"});
  EXPECT_TRUE(console.linesStartingWith("mips generated").empty());
}

TEST_F(MetalTextureTest, FlipDecidesWhichImageRowIsTextureRowZero) {
  writePicture("rows", 4, 3, 128);
  MetalTexture upright("rows", "png", false), turned("rows", "png", false);
  load(upright, true);
  load(turned, false);
  EXPECT_EQ(upright.texture()->texels().texel(0, 0)[1], 0) << "top row first";
  EXPECT_EQ(turned.texture()->texels().texel(0, 0)[1], graphics::premultiplyByte(2, 128)) << "bottom row first";

  const auto image = upright.image();
  ASSERT_EQ(image->pixelWidth(), 4u);
  ASSERT_EQ(image->pixelHeight(), 3u);
  EXPECT_EQ(image->bitmap()->alphaMode(), graphics::AlphaMode::Premultiplied);
  const auto p = image->bitmap()->pixel(3, 2);
  EXPECT_EQ(p[0], graphics::premultiplyByte(3, 128));
  EXPECT_EQ(p[1], graphics::premultiplyByte(2, 128));
  EXPECT_EQ(p[3], 128);
  EXPECT_EQ(turned.image()->bitmap()->pixel(0, 0)[1], graphics::premultiplyByte(2, 128)) << "upside down";
}

TEST_F(MetalTextureTest, TextureCopyIsBGRAWithTheSameBytes) {
  writePicture("copy", 6, 5);
  MetalTexture t("copy", "png", true);
  load(t, true);
  const auto copy = MetalTexture::textureCopy(t.texture(), AppManager().device(), false);
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->pixelFormat(), gpu::PixelFormat::BGRA8Unorm);
  std::vector<std::uint8_t> bytes(6 * 5 * 4);
  copy->readRegion(gpu::Region::make2D(0, 0, 6, 5), 0, bytes, 24);
  EXPECT_EQ(bytes, *t.bytes());
}

TEST_F(MetalTextureTest, LevelsOutsideTheChainAreRefused) {
  writePicture("levels", 16, 8);
  MetalTexture t("levels", "png", true);
  load(t, true);
  EXPECT_FALSE(t.bytesForMipLevel(5));
  EXPECT_FALSE(t.bytesForMipLevel(-1));
  EXPECT_EQ(t.image(5), nullptr);

  auto same = MetalTexture::textureCopy(t.texture(), AppManager().device(), true);
  EXPECT_TRUE(MetalTexture::copyMipLayer(*t.texture(), *same, 2));
  std::vector<std::uint8_t> level(4 * 2 * 4);
  same->readRegion(gpu::Region::make2D(0, 0, 4, 2), 2, level, 16);
  EXPECT_EQ(level, *t.bytesForMipLevel(2));
  EXPECT_FALSE(MetalTexture::copyMipLayer(*t.texture(), *same, 9));
  auto small = MetalTexture::textureCopy(t.texture(), AppManager().device(), false);
  EXPECT_FALSE(MetalTexture::copyMipLayer(*t.texture(), *small, 1)) << "a destination without that level";
}

TEST_F(MetalTextureTest, ItsTexturesGoBackToTheCountWhenReplacedOrDropped) {
  writePicture("counted", 16, 16);
  auto& manager = AppManager();
  const auto start = manager.heapSize();
  {
    MetalTexture t("counted", "png", false);
    load(t, true);
    EXPECT_EQ(manager.heapSize(), start + 16 * 16 * 4);
    load(t, true);
    EXPECT_EQ(manager.heapSize(), start + 16 * 16 * 4) << "the replaced texture was given back";
  }
  EXPECT_EQ(manager.heapSize(), start);
}

TEST_F(MetalTextureTest, AShortTextureKeepsTheLoadedOneAndIsReportedOnce) {
  writePicture("short", 16, 8);
  auto& manager = AppManager();
  MetalTexture t("short", "png", false);
  load(t, true);
  const auto loaded = t.texture();
  const auto bytes = *t.bytes();
  const auto heap = manager.heapSize();
  auto errors = std::make_shared<testsupport::RecordedErrors>();
  Application().setDelegateHandler(errors);
  gpu::testControls().changeTextureWidth([](const gpu::TextureDescriptor& d) { return d.width - 3; });
  writePicture("short", 20, 8);
  load(t, true);
  EXPECT_EQ(t.texture(), loaded);
  EXPECT_EQ(t.width(), 16);
  EXPECT_EQ(*t.bytes(), bytes);
  EXPECT_EQ(manager.heapSize(), heap) << "the short texture was given back";
  EXPECT_EQ(errors->errors, std::vector<ErrorMessage>{ErrorMessage::NoMoreHeap});
}

TEST_F(MetalTextureTest, ItsTexturesGoBackOnlyToTheManagerThatCountedThem) {
  writePicture("counted", 16, 16);
  auto outlivesTheManager = std::make_unique<MetalTexture>("counted", "png", false);
  load(*outlivesTheManager, true);
  resetAppManagerForTesting();
  outlivesTheManager.reset();
  EXPECT_TRUE(LivingAppManager().expired()) << "no manager is made to take the texture back";

  auto countedByTheOld = std::make_unique<MetalTexture>("counted", "png", false);
  load(*countedByTheOld, true);
  resetAppManagerForTesting();
  auto& fresh = AppManager();
  countedByTheOld.reset();
  EXPECT_EQ(fresh.heapSize(), 0);
}

TEST_F(MetalTextureTest, MissingOrUnreadableResourcesStop) {
  MetalTexture missing("nothing", "png", false);
  EXPECT_FALSE(missing.path());
  EXPECT_FATAL(missing.loadTexture(AppManager().device(), AppManager().commandQueue(), true),
               "MetalTexture: the main bundle has no such resource");
  root.write("broken.png", "not a picture");
  MetalTexture broken("broken", "png", false);
  EXPECT_FATAL_CONTAINING(broken.loadTexture(AppManager().device(), AppManager().commandQueue(), true),
                          "cannot be read");
  EXPECT_FALSE(broken.width());
  EXPECT_FATAL(broken.bytes(), "MetalTexture: no texture loaded");
}

}  // namespace
