#include "utils/ImageFilters.h"

#include <cmath>

#include <gtest/gtest.h>

#include "gpu/Device.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
#include "graphics/Color.h"
#include "imaging/Image.h"

namespace tessivarium {
namespace {

using imaging::ImagePtr;
using imaging::RGBA;

ImagePtr colour(const RGBA& c) { return imaging::Image::constantColor(graphics::Color::fromRGBA(c.r, c.g, c.b, c.a)); }

void expectColour(const RGBA& actual, const RGBA& expected) {
  EXPECT_NEAR(actual.r, expected.r, 1e-6);
  EXPECT_NEAR(actual.g, expected.g, 1e-6);
  EXPECT_NEAR(actual.b, expected.b, 1e-6);
  EXPECT_NEAR(actual.a, expected.a, 1e-6);
}

struct MergeCase {
  const char* name;
  RGBA overlay, base, expected;
};

class ImageFiltersMergeRule : public ::testing::TestWithParam<MergeCase> {};

TEST_P(ImageFiltersMergeRule, LaysTheInputOverTheBackground) {
  const MergeCase& c = GetParam();
  const ImagePtr merged = ImageMergeFilter().applyFilter(colour(c.overlay), colour(c.base));
  ASSERT_TRUE(merged);
  expectColour(merged->sample({3.5, 7.5}), c.expected);
}

// Yellow (0.9, 0.9, 0.1) and blue (0.1, 0.1, 0.8) unless said otherwise.
INSTANTIATE_TEST_SUITE_P(
    Table, ImageFiltersMergeRule,
    ::testing::Values(
        MergeCase{"YellowOverBlue", {0.9f, 0.9f, 0.1f, 0.5f}, {0.1f, 0.1f, 0.8f, 1.0f}, {0.1f, 0.5f, 0.1f, 0.75f}},
        MergeCase{"BlueOverYellow", {0.1f, 0.1f, 0.8f, 0.5f}, {0.9f, 0.9f, 0.1f, 1.0f}, {0.1f, 0.5f, 0.1f, 1.0f}},
        MergeCase{"RedOverWhiteMixesLinearly", {1.0f, 0.0f, 0.0f, 0.5f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 0.5f, 0.5f, 0.75f}},
        MergeCase{"TransparentBaseGivesOverlay", {0.3f, 0.2f, 0.1f, 0.0f}, {0.1f, 0.1f, 0.8f, 0.0f}, {0.3f, 0.2f, 0.1f, 0.0f}},
        MergeCase{"OpaqueOverlayWinsEvenYellowOverBlue", {0.9f, 0.9f, 0.1f, 1.0f}, {0.1f, 0.1f, 0.8f, 1.0f}, {0.9f, 0.9f, 0.1f, 1.0f}},
        MergeCase{"TransparentOverlayGivesBase", {0.9f, 0.9f, 0.1f, 0.0f}, {0.1f, 0.1f, 0.8f, 0.6f}, {0.1f, 0.1f, 0.8f, 0.6f}},
        // overlay.g at exactly 0.75 and base.b at exactly 0.5 still count as yellow and blue.
        MergeCase{"OverlayGreenAtThreshold", {0.8f, 0.75f, 0.1f, 0.5f}, {0.1f, 0.1f, 0.8f, 1.0f}, {0.1f, 0.425f, 0.1f, 0.75f}},
        MergeCase{"BaseBlueAtThreshold", {0.9f, 0.9f, 0.1f, 0.5f}, {0.1f, 0.1f, 0.5f, 1.0f}, {0.1f, 0.5f, 0.1f, 0.75f}},
        // A base red-green difference of exactly 0.05 is no longer blue: the linear mix.
        MergeCase{"BaseDifferenceAtThreshold", {0.9f, 0.9f, 0.1f, 0.5f}, {0.05f, 0.1f, 0.8f, 1.0f}, {0.475f, 0.5f, 0.45f, 0.75f}},
        // Blue equal to the larger of red and green is not blue.
        MergeCase{"BaseBlueEqualToMax", {0.9f, 0.9f, 0.1f, 0.5f}, {0.6f, 0.6f, 0.6f, 1.0f}, {0.75f, 0.75f, 0.35f, 0.75f}},
        // Yellow over blue with one condition failing at a time: the linear mix.
        MergeCase{"OverlayGreenTooLow", {0.7f, 0.7f, 0.1f, 0.5f}, {0.1f, 0.1f, 0.8f, 1.0f}, {0.4f, 0.4f, 0.45f, 0.75f}},
        MergeCase{"OverlayBlueAboveItsRedAndGreen", {0.9f, 0.9f, 0.95f, 0.5f}, {0.1f, 0.1f, 0.8f, 1.0f},
                  {0.5f, 0.5f, 0.875f, 0.75f}},
        MergeCase{"BaseBlueTooLow", {0.9f, 0.9f, 0.1f, 0.5f}, {0.1f, 0.1f, 0.45f, 1.0f}, {0.5f, 0.5f, 0.275f, 0.75f}},
        // Blue over yellow takes the base's alpha into its own: 0.5 (1 - 0.6) + 0.6 x 0.6.
        MergeCase{"BlueOverTranslucentYellow", {0.1f, 0.1f, 0.8f, 0.5f}, {0.9f, 0.9f, 0.1f, 0.6f}, {0.1f, 0.5f, 0.1f, 0.56f}},
        // Blue over yellow with one condition failing at a time: the linear mix.
        MergeCase{"BaseRedGreenApart", {0.1f, 0.1f, 0.8f, 0.5f}, {0.7f, 0.9f, 0.1f, 1.0f}, {0.4f, 0.5f, 0.45f, 0.75f}},
        MergeCase{"BaseGreenTooLow", {0.1f, 0.1f, 0.8f, 0.5f}, {0.7f, 0.7f, 0.1f, 1.0f}, {0.4f, 0.4f, 0.45f, 0.75f}},
        MergeCase{"BaseBlueAboveItsRedAndGreen", {0.1f, 0.1f, 0.8f, 0.5f}, {0.9f, 0.9f, 0.95f, 1.0f},
                  {0.5f, 0.5f, 0.875f, 0.75f}},
        MergeCase{"OverlayRedGreenApart", {0.05f, 0.1f, 0.8f, 0.5f}, {0.9f, 0.9f, 0.1f, 1.0f}, {0.475f, 0.5f, 0.45f, 0.75f}},
        MergeCase{"OverlayBlueTooLow", {0.1f, 0.1f, 0.45f, 0.5f}, {0.9f, 0.9f, 0.1f, 1.0f}, {0.5f, 0.5f, 0.275f, 0.75f}},
        MergeCase{"OverlayBlueEqualToMax", {0.6f, 0.6f, 0.6f, 0.5f}, {0.9f, 0.9f, 0.1f, 1.0f}, {0.75f, 0.75f, 0.35f, 0.75f}}),
    [](const ::testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

TEST(ImageFilters, OverlayRedGreenDifferenceOfFifteenHundredthsIsNotYellow) {
  // The nearest float difference at or above 0.15 (0.15 itself has no exact float difference
  // for a green of 0.9).
  const float red = std::nextafter(0.75f, 0.0f);
  ASSERT_GE(0.9f - red, 0.15f);
  const RGBA overlay{red, 0.9f, 0.1f, 0.5f};
  const RGBA base{0.1f, 0.1f, 0.8f, 1.0f};
  const ImagePtr merged = ImageMergeFilter().applyFilter(colour(overlay), colour(base));
  expectColour(merged->sample({0.5, 0.5}), {(red + 0.1f) / 2, 0.5f, 0.45f, 0.75f});
  // Just under it, yellow again.
  const ImagePtr yellow = ImageMergeFilter().applyFilter(colour({0.75f, 0.9f, 0.1f, 0.5f}), colour(base));
  expectColour(yellow->sample({0.5, 0.5}), {0.1f, 0.5f, 0.1f, 0.75f});
}

TEST(ImageFilters, TakesTheAlphaOfTheSecondImage) {
  const ImagePtr out = ImageAlphaFilter().applyFilter(colour({0.2f, 0.4f, 0.6f, 1.0f}), colour({0.9f, 0.9f, 0.9f, 0.3f}));
  ASSERT_TRUE(out);
  expectColour(out->sample({0.5, 0.5}), {0.2f, 0.4f, 0.6f, 0.3f});
}

TEST(ImageFilters, KeepTheirInputsAfterApplying) {
  const ImagePtr top = colour({1, 0, 0, 1}), back = colour({0, 0, 1, 1});
  ImageMergeFilter().applyFilter(top, back);
  EXPECT_EQ(ImageMergeFilter().inputImage(), top);
  EXPECT_EQ(ImageMergeFilter().backgroundImage(), back);
}

TEST(ImageFilters, YieldNoImageWithoutAnInput) {
  MergeFilter merge;
  merge.setInputImage(colour({1, 0, 0, 1}));
  EXPECT_FALSE(merge.outputImage());
  AlphaSetFilter alpha;
  alpha.setAlphaImage(colour({1, 0, 0, 1}));
  EXPECT_FALSE(alpha.outputImage());
  EXPECT_FALSE(RotateFilter().outputImage());
}

TEST(ImageFilters, TurnsAQuarter) {
  // A 4 x 2 texture whose texels are numbered by their red value.
  auto descriptor = gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA8Unorm, 4, 2, false);
  auto texture = gpu::systemDefaultDevice()->makeTexture(descriptor);
  const auto texels = texture->texels(0);
  for (std::size_t j = 0; j < 2; ++j)
    for (std::size_t i = 0; i < 4; ++i) texels.write(gpu::float4{(j * 4 + i) / 255.0f, 0, 0, 1}, i, j);
  RotateFilter& rotate = ImageRotateFilter();
  rotate.setInputImage(imaging::Image::fromTexture(texture));
  const ImagePtr out = rotate.outputImage();
  ASSERT_TRUE(out);
  EXPECT_EQ(out->extent(), graphics::Rect(0, 0, 4, 2));
  // The output at sampler coordinate (u, v) is the input at (1 - v, u). Output point (1, 1.75) is
  // (u, v) = (0.25, 0.875) and reads input (0.125, 0.25), the centre of texel (0, 0); the others
  // likewise land on the centres of the texels numbered beside them.
  const struct {
    double x, y;
    int texel;
  } points[] = {{1, 1.75, 0}, {1, 1.25, 1}, {1, 0.25, 3}, {3, 1.75, 4}, {3, 0.75, 6}, {3, 0.25, 7}};
  for (const auto& p : points) {
    EXPECT_NEAR(out->sample({p.x, p.y}).r, p.texel / 255.0f, 1e-6) << p.x << ", " << p.y;
  }
}

TEST(ImageFilters, AttributesDescribeImageInputs) {
  const imaging::Attributes merge = ImageMergeFilter().attributes();
  EXPECT_EQ(merge.at(imaging::kAttributeFilterDisplayName).text(), "imageMerge");
  EXPECT_TRUE(merge.contains("inputImage"));
  EXPECT_TRUE(merge.contains("upImage"));
  EXPECT_FALSE(merge.contains("backgroundImage"));
  const imaging::Attributes& entry = merge.at("upImage").dictionary();
  EXPECT_EQ(entry.at(imaging::kAttributeIdentity).integer(), 0);
  EXPECT_EQ(entry.at(imaging::kAttributeClass).text(), "CIImage");
  EXPECT_EQ(entry.at(imaging::kAttributeDisplayName).text(), "Image");
  EXPECT_EQ(entry.at(imaging::kAttributeType).text(), imaging::kAttributeTypeImage);
  EXPECT_EQ(ImageRotateFilter().attributes().size(), 2u);
  EXPECT_EQ(ImageAlphaFilter().attributes().at(imaging::kAttributeFilterDisplayName).text(), "AlphaSet");
}

}  // namespace
}  // namespace tessivarium
