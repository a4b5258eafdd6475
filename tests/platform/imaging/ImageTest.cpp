#include <gtest/gtest.h>

#include "FatalStop.h"
#include "ImagingTestHelpers.h"
#include "graphics/ImageContext.h"
#include "imaging/Context.h"
#include "imaging/Image.h"

namespace {

using graphics::Rect;
using imaging::Image;
using imaging::RGBA;
using imagingtest::near;
using imagingtest::texel;

// Texel (i, j) of the numbered texture holds (i / 10, j / 10, 0, 1).
std::shared_ptr<gpu::Texture> numbered(std::size_t w, std::size_t h) {
  return imagingtest::texture(w, h, [](std::size_t i, std::size_t j) {
    return RGBA{static_cast<float>(i) / 10, static_cast<float>(j) / 10, 0, 1};
  });
}

TEST(ImageOverTexture, TextureRowRIsImageYR) {
  const auto image = Image::fromTexture(numbered(4, 3));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->extent(), Rect(0, 0, 4, 3));
  EXPECT_TRUE(near(image->sample({2.5, 0.5}), {0.2f, 0.0f, 0, 1}));
  EXPECT_TRUE(near(image->sample({0.5, 2.5}), {0.0f, 0.2f, 0, 1}));
  // Bilinear between centres; transparent outside the extent.
  EXPECT_TRUE(near(image->sample({1.0, 1.5}), {0.05f, 0.1f, 0, 1}));
  EXPECT_EQ(image->sample({4.0, 0.5}), RGBA{});
  EXPECT_EQ(image->sample({-0.1, 0.5}), RGBA{});
}

TEST(ImageOverTexture, NoTextureNoImageAndNoCopy) {
  EXPECT_FALSE(Image::fromTexture(nullptr));
  auto d = gpu::TextureDescriptor::make();
  d->textureType = gpu::TextureType::Type3D;
  d->depth = 2;
  EXPECT_FALSE(Image::fromTexture(gpu::systemDefaultDevice()->makeTexture(d)));

  const auto t = imagingtest::filled(1, 1, {0, 0, 0, 1}, gpu::PixelFormat::RGBA32Float);
  const auto image = Image::fromTexture(t);
  t->texels().write({1, 0, 0, 1}, 0, 0);
  EXPECT_EQ(image->sample({0.5, 0.5}), (RGBA{1, 0, 0, 1}));
}

TEST(ImageOfGraphicsImage, TopRowIsAtTheTop) {
  // Byte row 0 red, row 1 blue.
  const auto bitmap = graphics::Bitmap::make(1, 2, {255, 0, 0, 255, 0, 0, 255, 255},
                                             graphics::AlphaMode::Straight);
  const auto image = Image::fromGraphicsImage(std::make_shared<graphics::Image>(bitmap));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->extent(), Rect(0, 0, 1, 2));
  EXPECT_EQ(image->sample({0.5, 1.5}), (RGBA{1, 0, 0, 1}));
  EXPECT_EQ(image->sample({0.5, 0.5}), (RGBA{0, 0, 1, 1}));
  EXPECT_FALSE(Image::fromGraphicsImage(nullptr));
}

TEST(ImageOfGraphicsImage, PremultipliedPixelsComeOutStraight) {
  const auto bitmap = graphics::Bitmap::make(1, 1, {100, 50, 0, 200},
                                             graphics::AlphaMode::Premultiplied);
  const auto image = Image::fromGraphicsImage(std::make_shared<graphics::Image>(bitmap));
  EXPECT_TRUE(near(image->sample({0.5, 0.5}), {0.5f, 0.25f, 0, 200.0f / 255}));
}

// The texture loader's road: an image redrawn upside down in an image context, made an image of
// and rendered, lands upright: texture row 0 holds the picture's top row.
TEST(ImageOfGraphicsImage, AnImageContextRedrawRendersUpright) {
  const auto source = graphics::Bitmap::make(1, 3, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255},
                                             graphics::AlphaMode::Straight);
  graphics::beginImageContext({1, 3});
  graphics::currentContext()->draw(*source, Rect(0, 0, 1, 3));
  const auto flipped = graphics::imageFromCurrentImageContext();
  graphics::endImageContext();

  const auto target = imagingtest::filled(1, 3, {});
  auto context = imaging::Context::make(gpu::systemDefaultDevice());
  context->render(Image::fromGraphicsImage(flipped), target, nullptr, Rect(0, 0, 1, 3),
                  graphics::ColorSpace::DeviceRGB);
  EXPECT_EQ(texel(*target, 0, 0), (RGBA{1, 0, 0, 1}));
  EXPECT_EQ(texel(*target, 0, 1), (RGBA{0, 1, 0, 1}));
  EXPECT_EQ(texel(*target, 0, 2), (RGBA{0, 0, 1, 1}));
}

// Between an opaque red texel and a transparent one lies red at half alpha: colours are mixed
// premultiplied, so the transparent texel's colour does not darken the red. Large bitmaps are
// read in place, small ones converted first; both must agree with textures.
class ImagePremultipliedMixing : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ImagePremultipliedMixing, TransparentNeighboursDoNotDarken) {
  const std::size_t width = GetParam();
  std::vector<std::uint8_t> pixels(width * 2 * 4, 0);  // transparent black
  pixels[0] = 255, pixels[3] = 255;                    // byte row 0, column 0: opaque red
  const auto bitmap = graphics::Bitmap::make(width, 2, std::move(pixels), graphics::AlphaMode::Straight);
  const auto image = Image::fromGraphicsImage(std::make_shared<graphics::Image>(bitmap));
  // Byte row 0 is image row 1; halfway between columns 0 and 1 of it.
  EXPECT_TRUE(near(image->sample({1.0, 1.5}), {1, 0, 0, 0.5f}));
  EXPECT_TRUE(near(image->sample({0.5, 1.0}), {1, 0, 0, 0.5f}));
}

INSTANTIATE_TEST_SUITE_P(BitmapSizes, ImagePremultipliedMixing, ::testing::Values(2u, 300000u));

TEST(ImageOverTexture, MixesPremultipliedToo) {
  const auto t = imagingtest::texture(2, 1, [](std::size_t i, std::size_t) {
    return i == 0 ? RGBA{0, 1, 0, 1} : RGBA{1, 1, 1, 0};
  });
  EXPECT_TRUE(near(Image::fromTexture(t)->sample({1.0, 0.5}), {0, 1, 0, 0.5f}));
}

TEST(Image, IsEndlessAndSpreadsGrey) {
  const auto image = Image::constantColor(graphics::Color::fromWhite(0.25, 0.5));
  EXPECT_TRUE(image->extent().isInfinite());
  EXPECT_EQ(image->sample({-1e9, 3e9}), (RGBA{0.25f, 0.25f, 0.25f, 0.5f}));
  EXPECT_FATAL(Image::constantColor(graphics::Color::inOtherSpace(std::nullopt)),
               "A constant colour image needs a grey or RGB colour");
}

TEST(Image, ScaleTranslateAndCrop) {
  const auto image = Image::fromTexture(numbered(4, 2));
  const auto half = image->transformed(graphics::AffineTransform::makeScale(0.5, 0.5));
  EXPECT_EQ(half->extent(), Rect(0, 0, 2, 1));
  // Output (0.5, 0.5) reads the input at (1, 1): halfway between texels 0 and 1.
  EXPECT_TRUE(near(half->sample({0.5, 0.5}), {0.05f, 0.05f, 0, 1}));

  const auto moved = half->transformed(graphics::AffineTransform::makeTranslation(10, 20));
  EXPECT_EQ(moved->extent(), Rect(10, 20, 2, 1));
  EXPECT_TRUE(near(moved->sample({10.5, 20.5}), {0.05f, 0.05f, 0, 1}));

  const auto cropped = image->cropped(Rect(1, 0, 2, 5));
  EXPECT_EQ(cropped->extent(), Rect(1, 0, 2, 2));
  EXPECT_EQ(cropped->sample({0.5, 0.5}), RGBA{});
  EXPECT_TRUE(near(cropped->sample({1.5, 0.5}), {0.1f, 0, 0, 1}));
  EXPECT_EQ(cropped->cropped(Rect(0, 0, 2, 1))->extent(), Rect(1, 0, 1, 1));
  EXPECT_FATAL(image->transformed(graphics::AffineTransform::makeScale(0, 1)),
               "An image cannot be moved through a singular transform");
}

TEST(Image, UnknownFiltersGiveNoImage) {
  const auto image = Image::constantColor(graphics::Color::white());
  EXPECT_FALSE(image->applyingFilter("CIGaussianBlur"));
}

}  // namespace
