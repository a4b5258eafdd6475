#include <gtest/gtest.h>

#include "FatalStop.h"
#include "ImagingTestHelpers.h"
#include "imaging/Filter.h"
#include "imaging/HardLightFilter.h"

namespace {

using graphics::Color;
using graphics::Rect;
using imaging::Filter;
using imaging::FilterValue;
using imaging::Image;
using imaging::ImagePtr;
using imaging::RGBA;
using imagingtest::near;

ImagePtr constant(float r, float g, float b, float a) { return Image::constantColor(Color::fromRGBA(r, g, b, a)); }

TEST(Filter, BuiltInsByNameOnly) {
  EXPECT_TRUE(Filter::named("CIConstantColorGenerator"));
  EXPECT_TRUE(Filter::named("CIHardLightBlendMode"));
  EXPECT_TRUE(Filter::named("CIShadedMaterial"));
  EXPECT_FALSE(Filter::named("CIShadedMaterials"));
}

TEST(Filter, InputsAreCheckedAndDefaulted) {
  const auto shaded = Filter::named("CIShadedMaterial");
  EXPECT_EQ(shaded->inputKeys(), (std::vector<std::string>{"inputImage", "inputShadingImage", "inputScale"}));
  EXPECT_EQ(std::get<double>(shaded->value("inputScale")), 10.0);
  shaded->setValue("inputScale", 2.0);
  EXPECT_EQ(std::get<double>(shaded->value("inputScale")), 2.0);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(shaded->value("inputImage")));
  EXPECT_FATAL(shaded->setValue("inputRadius", 1.0), "CIShadedMaterial has no input \"inputRadius\"");
  EXPECT_FATAL(shaded->setValue("inputScale", Color::white()),
               "CIShadedMaterial takes a value of kind Number for \"inputScale\"");

  const auto attributes = shaded->attributes();
  EXPECT_EQ(attributes.at(imaging::kAttributeFilterDisplayName).text(), "CIShadedMaterial");
  EXPECT_EQ(attributes.at("inputScale").dictionary().at(imaging::kAttributeDefault).number(), 10.0);
  EXPECT_EQ(attributes.at("inputShadingImage").dictionary().at(imaging::kAttributeClass).text(), "Image");
}

TEST(Filter, GivesTheColourOnceOneIsSet) {
  const auto filter = Filter::named("CIConstantColorGenerator");
  EXPECT_FALSE(filter->outputImage());
  filter->setValue(imaging::kInputColorKey, Color::fromRGBA(0.1, 0.2, 0.3, 0.4));
  const auto image = filter->outputImage();
  ASSERT_TRUE(image);
  EXPECT_TRUE(image->extent().isInfinite());
  EXPECT_TRUE(near(image->sample({7, -3}), {0.1f, 0.2f, 0.3f, 0.4f}));
}

struct HardLightCase {
  const char* name;
  RGBA source, backdrop, expected;
};

class FilterHardLight : public ::testing::TestWithParam<HardLightCase> {};

TEST_P(FilterHardLight, BlendsPerChannelAndComposesSourceOver) {
  const auto& c = GetParam();
  const auto out = constant(c.source.r, c.source.g, c.source.b, c.source.a)
                       ->applyingFilter("CIHardLightBlendMode",
                                        {{"inputBackgroundImage",
                                          constant(c.backdrop.r, c.backdrop.g, c.backdrop.b, c.backdrop.a)}});
  ASSERT_TRUE(out);
  EXPECT_TRUE(near(out->sample({0, 0}), c.expected));
}

// Opaque: r 2(0.25)(0.5); g 1 - 2(0.25)(0.5); b at Cs = 0.5 multiplies: 2(0.5)(0.2).
// Half-transparent source over an opaque backdrop: 0.5(0.5)Cb + 0.5 B, alpha 1.
// Over a transparent backdrop the source shows as it is.
INSTANTIATE_TEST_SUITE_P(
    Cases, FilterHardLight,
    ::testing::Values(
        HardLightCase{"opaque", {0.25f, 0.75f, 0.5f, 1}, {0.5f, 0.5f, 0.2f, 1}, {0.25f, 0.75f, 0.2f, 1}},
        HardLightCase{"halfSource", {0.25f, 0.75f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.2f, 1},
                      {0.375f, 0.625f, 0.2f, 1}},
        HardLightCase{"clearBackdrop", {0.25f, 0.75f, 0.5f, 0.5f}, {0.9f, 0.9f, 0.9f, 0},
                      {0.25f, 0.75f, 0.5f, 0.5f}},
        // The source picks the branch, whatever the backdrop: r multiplies 2(0.3)(0.8) under a
        // light backdrop, g screens 1 - 2(0.3)(0.8) and b 1 - 2(0.4)(0.6) over dark ones.
        HardLightCase{"sourceDecides", {0.3f, 0.7f, 0.6f, 1}, {0.8f, 0.2f, 0.4f, 1}, {0.48f, 0.52f, 0.52f, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Filter, ExtentIsTheUnionAndMissingInputsGiveNothing) {
  const auto a = Image::fromTexture(imagingtest::filled(2, 2, {1, 1, 1, 1}));
  const auto b = a->transformed(graphics::AffineTransform::makeTranslation(3, 0));
  const auto out = a->applyingFilter("CIHardLightBlendMode", {{"inputBackgroundImage", b}});
  EXPECT_EQ(out->extent(), Rect(0, 0, 5, 2));
  // Only the backdrop lies at (3.5, 0.5): it shows unchanged.
  EXPECT_TRUE(near(out->sample({3.5, 0.5}), {1, 1, 1, 1}));
  EXPECT_EQ(out->sample({2.5, 0.5}), RGBA{});
  EXPECT_FALSE(a->applyingFilter("CIHardLightBlendMode"));
}

// The shading image's red channel tells where it was looked up: red = (x - 0.5) / 7 across an
// 8-texel-wide image, green likewise in y; bilinear sampling keeps that exact between the edge
// texels' centres.
ImagePtr positionShading() {
  return Image::fromTexture(imagingtest::texture(8, 8, [](std::size_t i, std::size_t j) {
    return RGBA{static_cast<float>(i) / 7, static_cast<float>(j) / 7, 0, 1};
  }));
}

ImagePtr heights(const std::function<float(std::size_t, std::size_t)>& h) {
  return Image::fromTexture(imagingtest::texture(5, 5, [&](std::size_t i, std::size_t j) {
    const float v = h(i, j);
    return RGBA{v, v, v, 1};
  }));
}

TEST(Filter, AFlatSurfaceShowsTheShadingCentre) {
  const auto out = heights([](std::size_t, std::size_t) { return 0.3f; })
                       ->applyingFilter("CIShadedMaterial", {{"inputShadingImage", positionShading()}});
  ASSERT_TRUE(out);
  EXPECT_EQ(out->extent(), Rect(0, 0, 5, 5));
  EXPECT_TRUE(near(out->sample({2.5, 2.5}), {3.5f / 7, 3.5f / 7, 0, 1}));
  EXPECT_EQ(out->sample({5.5, 2.5}), RGBA{});
}

TEST(Filter, HeightsAreReadAtTheEdgeTexelsNotBeyond) {
  // Beyond the height image there is nothing; its edge must not read as a cliff down to it.
  const auto out = heights([](std::size_t, std::size_t) { return 0.3f; })
                       ->applyingFilter("CIShadedMaterial", {{"inputShadingImage", positionShading()}});
  const graphics::Point edges[] = {{0.5, 2.5}, {4.5, 2.5}, {2.5, 0.5}, {2.5, 4.5}, {0.25, 0.25}, {4.9, 4.75}};
  for (const auto& p : edges) {
    EXPECT_TRUE(near(out->sample(p), {3.5f / 7, 3.5f / 7, 0, 1})) << p.x << ", " << p.y;
  }
  // A sloping field sampled as a run along a row (as a render samples) gives what its points give
  // one by one, at the edges too.
  const auto slope = heights([](std::size_t i, std::size_t) { return 0.2f + 0.1f * static_cast<float>(i); })
                         ->applyingFilter("CIShadedMaterial", {{"inputShadingImage", positionShading()}});
  const graphics::Point row[] = {{0.5, 1.5}, {1.5, 1.5}, {2.5, 1.5}, {3.5, 1.5}, {4.5, 1.5}};
  RGBA run[5];
  slope->sample(imaging::Batch{row, 5, true}, run);
  for (std::size_t k = 0; k < 5; ++k) EXPECT_TRUE(near(run[k], slope->sample(row[k]))) << k;
}

TEST(Filter, SlopesLeanTheLookupByCentralDifferences) {
  // Height rises by 0.05 per texel in x and falls by 0.02 per texel in y.
  const auto field = heights([](std::size_t i, std::size_t j) { return 0.5f + 0.05f * i - 0.02f * j; });
  // gx = 10 x 0.05 = 0.5 and gy = -0.2: n = (-0.5, 0.2, 1) / 1.135782, looked up at
  // 4 + 4 n = (2.239100, 4.704361), which reads red (2.239100 - 0.5) / 7 and green likewise.
  const auto byDefault = field->applyingFilter("CIShadedMaterial", {{"inputShadingImage", positionShading()}});
  const RGBA v = byDefault->sample({2.5, 2.5});
  EXPECT_NEAR(v.r, 0.248443f, 1e-5);
  EXPECT_NEAR(v.g, 0.600623f, 1e-5);

  // Scale 40: (gx, gy) = (2, -0.8), n = (-2, 0.8, 1) / 2.374868, lookup (0.631392, 5.347445).
  const auto steep = field->applyingFilter("CIShadedMaterial",
                                           {{"inputShadingImage", positionShading()}, {"inputScale", 40.0}});
  const RGBA s = steep->sample({2.5, 2.5});
  EXPECT_NEAR(s.r, 0.018770f, 1e-5);
  EXPECT_NEAR(s.g, 0.692492f, 1e-5);
}

TEST(Filter, HeightIsLuminanceTimesAlpha) {
  // One channel rises by 0.1 per texel, the others stay: the height rises by 0.1 times that
  // channel's weight (0.2126 red, 0.7152 green, 0.0722 blue), so gx is 0.2126, 0.7152 or 0.0722
  // and the lookup x 4 - 4 gx / sqrt(gx^2 + 1) reads red (x - 0.5) / 7.
  const struct {
    int channel;
    float red;
  } channels[] = {{0, 0.381170f}, {1, 0.167583f}, {2, 0.458850f}};
  for (const auto& c : channels) {
    const auto field = Image::fromTexture(imagingtest::texture(5, 5, [&](std::size_t i, std::size_t) {
      RGBA v{0.2f, 0.3f, 0.4f, 1};
      (c.channel == 0 ? v.r : c.channel == 1 ? v.g : v.b) = 0.1f * static_cast<float>(i);
      return v;
    }));
    const auto out = field->applyingFilter("CIShadedMaterial", {{"inputShadingImage", positionShading()}});
    EXPECT_NEAR(out->sample({2.5, 2.5}).r, c.red, 1e-5) << "channel " << c.channel;
  }
  // A transparent field is flat.
  const auto clear = Image::fromTexture(imagingtest::texture(5, 5, [](std::size_t i, std::size_t) {
    return RGBA{0.1f * i, 0.1f * i, 0.1f * i, 0};
  }));
  const auto flat = clear->applyingFilter("CIShadedMaterial", {{"inputShadingImage", positionShading()}});
  EXPECT_NEAR(flat->sample({2.5, 2.5}).r, 0.5f, 1e-6);
}

TEST(Filter, NeedsBothImages) {
  const auto filter = Filter::named("CIShadedMaterial");
  filter->setValue("inputImage", positionShading());
  EXPECT_FALSE(filter->outputImage());
  filter->setValue("inputShadingImage", positionShading());
  EXPECT_TRUE(filter->outputImage());
  filter->setValue("inputImage", FilterValue{});
  EXPECT_FALSE(filter->outputImage());
}

}  // namespace
