// Raw bytes in and out of textures, images into textures (the flip and the tiling) and back.

#include "utils/TextureUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "Application.h"
#include "FatalStop.h"
#include "RecordedErrors.h"
#include "gpu/Gpu.h"
#include "graphics/AffineTransform.h"
#include "graphics/Bitmap.h"
#include "graphics/Image.h"
#include "imaging/Context.h"
#include "imaging/Image.h"
#include "tools/ApplicationManager.h"

namespace {

using namespace tessivarium;
using Bytes = std::vector<std::uint8_t>;

std::shared_ptr<gpu::Texture> makeTexture(std::size_t w, std::size_t h, std::size_t d = 1) {
  gpu::TextureDescriptor descriptor;
  descriptor.textureType = d == 1 ? gpu::TextureType::Type2D : gpu::TextureType::Type3D;
  descriptor.width = w, descriptor.height = h, descriptor.depth = d;
  return AppManager().makeTexture(descriptor);
}

// Bytes whose every texel says where it is: x, y, z and a marker.
Bytes positional(std::size_t w, std::size_t h, std::size_t d, std::uint8_t marker) {
  Bytes bytes;
  for (std::size_t z = 0; z < d; ++z)
    for (std::size_t y = 0; y < h; ++y)
      for (std::size_t x = 0; x < w; ++x)
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                   static_cast<std::uint8_t>(z), marker});
  return bytes;
}

std::array<std::uint8_t, 4> texel(const gpu::Texture& t, std::size_t x, std::size_t y, std::size_t z = 0) {
  const std::uint8_t* p = t.texels().texel(x, y, z);
  return {p[0], p[1], p[2], p[3]};
}

TEST(TextureUtil, LayoutIsRowsThenSlicesWithoutPadding) {
  auto t = makeTexture(800, 600);
  t->texels().texel(13, 7)[2] = 99;
  const Bytes bytes = TextureUtil::toRawData(*t);
  ASSERT_EQ(bytes.size(), 1'920'000u);
  EXPECT_EQ(bytes[(7 * 800 + 13) * 4 + 2], 99);

  auto deep = makeTexture(3, 2, 4);
  const Bytes original = positional(3, 2, 4, 1);
  TextureUtil::loadRawData(deep, original, 3, 2, 4);
  EXPECT_EQ(texel(*deep, 2, 1, 3), (std::array<std::uint8_t, 4>{2, 1, 3, 1}));
  EXPECT_EQ(TextureUtil::toRawData(*deep), original) << "the round trip is exact";
}

TEST(TextureUtil, ToRawDataIntoAnArrayOfAnotherLengthStops) {
  auto t = makeTexture(4, 4);
  Bytes shorter(4 * 4 * 4 - 1, 7);
  EXPECT_FATAL(TextureUtil::toRawData(*t, shorter), "Not same size");
  EXPECT_EQ(shorter, Bytes(63, 7));
}

TEST(TextureUtil, SameLengthOtherDimensionsIsWrittenWithTheTexturesOwnWidth) {
  auto t = makeTexture(6, 4);
  TextureUtil::loadRawData(t, positional(4, 6, 1, 5), 4, 6, 1);
  // Texture texel (x, y) holds data texel y * 6 + x of the 4-wide data.
  EXPECT_EQ(texel(*t, 5, 0), (std::array<std::uint8_t, 4>{1, 1, 0, 5}));
}

TEST(TextureUtil, OtherSizesLandInTheCommonExtentThroughACountedTemporary) {
  auto& manager = AppManager();
  auto big = makeTexture(600, 500);
  TextureUtil::loadRawData(big, Bytes(600 * 500 * 4, 3), 600, 500, 1);
  const auto heap = manager.heapSize();
  TextureUtil::loadRawData(big, positional(400, 300, 1, 9), 400, 300, 1);
  EXPECT_EQ(manager.heapSize(), heap) << "the temporary texture is given back";
  EXPECT_EQ(texel(*big, 399, 299), (std::array<std::uint8_t, 4>{399 % 256, 299 % 256, 0, 9}));
  EXPECT_EQ(texel(*big, 400, 10), (std::array<std::uint8_t, 4>{3, 3, 3, 3}));
  EXPECT_EQ(texel(*big, 10, 300), (std::array<std::uint8_t, 4>{3, 3, 3, 3}));

  auto small = makeTexture(400, 300);
  TextureUtil::loadRawData(small, positional(600, 500, 1, 4), 600, 500, 1);
  EXPECT_EQ(texel(*small, 399, 299), (std::array<std::uint8_t, 4>{399 % 256, 299 % 256, 0, 4}));
}

TEST(TextureUtil, DataThatIsNotWhatItSaysIsRefusedAndTheTextureKept) {
  auto errors = std::make_shared<testsupport::RecordedErrors>();
  Application().setDelegateHandler(errors);
  auto t = makeTexture(8, 8);
  TextureUtil::loadRawData(t, Bytes(8 * 8 * 4, 2), 8, 8, 1);
  const Bytes before = TextureUtil::toRawData(*t);
  const auto requests = gpu::testControls().textureRequests();
  TextureUtil::loadRawData(t, Bytes(10), 4, 4, 1);          // too short for 4 x 4
  TextureUtil::loadRawData(t, Bytes(4 * 4 * 2 * 4), 4, 4, 2);  // deeper than 1
  TextureUtil::loadRawData(t, Bytes(16), 0, 4, 1);           // no width
  TextureUtil::loadRawData(t, Bytes(16), INT64_MAX, 2, 1);   // sizes whose byte count overflows
  TextureUtil::loadRawData(t, Bytes(16), 1LL << 40, 1LL << 22, 1);  // and overflows only with 4 bytes
  EXPECT_EQ(TextureUtil::toRawData(*t), before);
  EXPECT_EQ(gpu::testControls().textureRequests(), requests) << "no temporary texture was made";
  EXPECT_EQ(errors->errors, std::vector<ErrorMessage>(5, ErrorMessage::TextureFormatIncompatible));
}

TEST(TextureUtil, NoTemporaryTextureLeavesTheTargetAsItWas) {
  auto t = makeTexture(8, 8);
  TextureUtil::loadRawData(t, Bytes(8 * 8 * 4, 2), 8, 8, 1);
  gpu::testControls().failTextureRequest(1);
  TextureUtil::loadRawData(t, Bytes(4 * 4 * 4, 9), 4, 4, 1);
  EXPECT_EQ(texel(*t, 0, 0), (std::array<std::uint8_t, 4>{2, 2, 2, 2}));
}

// A picture w x h whose pixel in column x of byte row r is (x, r, 7, 255).
std::shared_ptr<graphics::Image> picture(std::size_t w, std::size_t h, double scale = 1.0) {
  std::vector<std::uint8_t> pixels;
  for (std::size_t r = 0; r < h; ++r)
    for (std::size_t x = 0; x < w; ++x)
      pixels.insert(pixels.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(r), 7, 255});
  return std::make_shared<graphics::Image>(graphics::Bitmap::make(w, h, std::move(pixels), graphics::AlphaMode::Straight),
                                           scale);
}

struct FlipCase {
  graphics::ImageOrientation orientation;
  bool rowsReversed, columnsReversed;
};

class TextureUtilFlipImage : public ::testing::TestWithParam<FlipCase> {};

TEST_P(TextureUtilFlipImage, NetEffectOfEachOrientation) {
  const FlipCase c = GetParam();
  const auto flipped = TextureUtil::flipImage(picture(4, 3), c.orientation);
  ASSERT_EQ(flipped->pixelWidth(), 4u);
  ASSERT_EQ(flipped->pixelHeight(), 3u);
  for (std::size_t r = 0; r < 3; ++r)
    for (std::size_t x = 0; x < 4; ++x) {
      const auto p = flipped->bitmap()->pixel(x, r);
      EXPECT_EQ(p[0], c.columnsReversed ? 3 - x : x) << r << "," << x;
      EXPECT_EQ(p[1], c.rowsReversed ? 2 - r : r) << r << "," << x;
    }
}

INSTANTIATE_TEST_SUITE_P(Orientations, TextureUtilFlipImage,
                         ::testing::Values(FlipCase{graphics::ImageOrientation::Down, true, false},
                                           FlipCase{graphics::ImageOrientation::Up, true, false},
                                           FlipCase{graphics::ImageOrientation::UpMirrored, false, true},
                                           FlipCase{graphics::ImageOrientation::LeftMirrored, true, true}));

TEST(TextureUtil, TextureRowZeroHoldsTheImagesTopRow) {
  auto t = makeTexture(5, 3);
  TextureUtil::loadImage(picture(5, 3), AppManager().ciContext(), AppManager().commandQueue(), t);
  for (std::size_t y = 0; y < 3; ++y)
    for (std::size_t x = 0; x < 5; ++x)
      EXPECT_EQ(texel(*t, x, y), (std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7, 255}));
}

TEST(TextureUtil, ALargerTextureIsTiledRowByRow) {
  const auto& context = AppManager().ciContext();
  context->startRecording();
  auto t = makeTexture(600, 300);
  TextureUtil::loadImage(picture(256, 256), context, AppManager().commandQueue(), t);
  std::vector<std::pair<double, double>> origins;
  for (const auto& r : context->renders()) {
    origins.emplace_back(r.extent.minX(), r.extent.minY());
    EXPECT_EQ(r.bounds, graphics::Rect(0, 0, 600, 300));
    EXPECT_TRUE(r.onCommandBuffer);
  }
  EXPECT_EQ(origins, (std::vector<std::pair<double, double>>{{0, 0}, {256, 0}, {512, 0}, {0, 256}, {256, 256}, {512, 256}}));
  // Each copy writes its own tile only: the tile at (256, 0) shows column 0 of the picture.
  EXPECT_EQ(texel(*t, 256, 0)[0], 0);
  EXPECT_EQ(texel(*t, 257, 0)[0], 1);
}

TEST(TextureUtil, ATinyImageMakesOneCopyPerTexelInBoundedCommandBuffers) {
  const auto& context = AppManager().ciContext();
  auto t = makeTexture(12, 6);
  TextureUtil::loadRawData(t, Bytes(12 * 6 * 4, 9), 12, 6, 1);
  context->startRecording();
  gpu::commandTrace().start();
  // One pixel at scale 1000 is a thousandth of a point: 12,000 x 6,000 copies if every one were made.
  TextureUtil::loadImage(picture(1, 1, 1000), context, AppManager().commandQueue(), t);
  EXPECT_EQ(context->renders().size(), 12u * 6);
  EXPECT_EQ(gpu::commandTrace().commits().size(), 2u) << "64 copies to a command buffer";
  // Too small to cover a pixel centre when flipped, the copy is transparent: every texel was written.
  EXPECT_EQ(TextureUtil::toRawData(*t), Bytes(12 * 6 * 4, 0));
}

TEST(TextureUtil, SkippingCopiesNoTexelShowsChangesNothing) {
  // Steps of 1.5 x 1 and 2.5 x 1.5 points do not divide the texture: compare with making every copy.
  for (const double scale : {4.0, 2.0}) {
    const auto image = picture(scale == 4.0 ? 6 : 5, scale == 4.0 ? 4 : 3, scale);
    auto tiled = makeTexture(7, 5), everyCopy = makeTexture(7, 5);
    const auto& context = AppManager().ciContext();
    TextureUtil::loadImage(image, context, AppManager().commandQueue(), tiled);
    const auto flipped = imaging::Image::fromGraphicsImage(TextureUtil::flipImage(image, graphics::ImageOrientation::Down));
    for (double y = 0; y < 5; y += image->size().height)
      for (double x = 0; x < 7; x += image->size().width)
        context->render(flipped->transformed(graphics::AffineTransform::makeTranslation(x, y)), everyCopy, nullptr,
                        graphics::Rect(0, 0, 7, 5), graphics::ColorSpace::DeviceRGB);
    EXPECT_EQ(TextureUtil::toRawData(*tiled), TextureUtil::toRawData(*everyCopy)) << scale;
    EXPECT_NE(TextureUtil::toRawData(*tiled), Bytes(7 * 5 * 4, 0)) << "the picture shows";
  }
}

TEST(TextureUtil, AnImageWithoutAreaDoesNothing) {
  auto t = makeTexture(4, 4);
  const auto& context = AppManager().ciContext();
  context->startRecording();
  gpu::commandTrace().start();
  TextureUtil::loadImage(picture(0, 3), context, AppManager().commandQueue(), t);
  EXPECT_TRUE(context->renders().empty());
  EXPECT_TRUE(gpu::commandTrace().commits().empty());
}

TEST(TextureUtil, PremultipliedPixelsTopRowFirstAndOnlyWhatFits) {
  std::vector<std::uint8_t> pixels = {200, 100, 50, 128, 10, 20, 30, 255,  // top row
                                      1, 2, 3, 255, 4, 5, 6, 255};
  auto image = std::make_shared<graphics::Image>(graphics::Bitmap::make(2, 2, pixels, graphics::AlphaMode::Straight));
  gpu::TextureDescriptor descriptor;
  descriptor.width = descriptor.height = 2;
  auto t = TextureUtil::createTexture(image, AppManager().device(), descriptor);
  ASSERT_TRUE(t);
  EXPECT_EQ(texel(*t, 0, 0), (std::array<std::uint8_t, 4>{graphics::premultiplyByte(200, 128),
                                                          graphics::premultiplyByte(100, 128),
                                                          graphics::premultiplyByte(50, 128), 128}));
  EXPECT_EQ(texel(*t, 1, 1), (std::array<std::uint8_t, 4>{4, 5, 6, 255}));

  descriptor.width = 1;
  auto narrow = TextureUtil::createTexture(image, AppManager().device(), descriptor);
  EXPECT_EQ(texel(*narrow, 0, 1), (std::array<std::uint8_t, 4>{1, 2, 3, 255}));

  gpu::testControls().failTextureRequest(1);
  EXPECT_EQ(TextureUtil::createTexture(image, AppManager().device(), descriptor), nullptr);
}

}  // namespace
