#include <gtest/gtest.h>

#include "FatalStop.h"
#include "ImagingTestHelpers.h"
#include "imaging/Kernel.h"

namespace {

using graphics::Color;
using graphics::Rect;
using imaging::Image;
using imaging::ImagePtr;
using imaging::Kernel;
using imaging::RGBA;
using imagingtest::near;

// Sources as a system would write them, in one line each.
constexpr const char* kRotate =
    "kernel vec4 rotate(sampler src) {vec2 coord = samplerCoord(src);"
    "return sample (src, vec2(1.0 - coord.y, coord.x));}";
constexpr const char* kAlphaSet =
    "kernel vec4 alphaSet(sampler src, sampler alpha) {vec4 value = sample(src, samplerCoord(src));"
    "vec4 alphaValue = sample(alpha, samplerCoord(alpha));value.a = alphaValue.a;return value;}";
constexpr const char* kMerge =
    "kernel vec4 mergeKernel(sampler src, sampler back) {vec4 overlay = sample(src, samplerCoord(src));"
    "vec4 base = sample(back, samplerCoord(back));return base*(1.0 - overlay.a) + overlay*overlay.a;}";

ImagePtr constant(RGBA c) { return Image::constantColor(Color::fromRGBA(c.r, c.g, c.b, c.a)); }
const Kernel::RegionOfInterest kSameRect = [](std::size_t, const Rect& r) { return r; };

TEST(KernelSource, RecognisedByTheDeclaredName) {
  const auto rotate = Kernel::fromSource(kRotate);
  ASSERT_TRUE(rotate);
  EXPECT_EQ(rotate->name(), "rotate");
  EXPECT_EQ(rotate->argumentCount(), 1u);
  EXPECT_EQ(Kernel::fromSource(kAlphaSet)->name(), "alphaSet");
  EXPECT_EQ(Kernel::fromSource(kMerge)->argumentCount(), 2u);
}

TEST(KernelSource, UnknownOrMismatchedSourceGivesNoKernel) {
  EXPECT_FALSE(Kernel::fromSource(""));
  EXPECT_FALSE(Kernel::fromSource("kernel vec4 blur(sampler src) { return sample(src, samplerCoord(src)); }"));
  EXPECT_FALSE(Kernel::fromSource("kernel vec4 rotate(sampler src, sampler other) { }"));
  EXPECT_FALSE(Kernel::fromSource("kernel vec4 alphaSet(__sample src, __sample alpha) { }"));
  EXPECT_FALSE(Kernel::fromSource("vec4 rotate(sampler src) { }"));
}

TEST(KernelApply, ChecksItsArguments) {
  const auto merge = Kernel::fromSource(kMerge);
  EXPECT_FATAL(merge->apply(Rect(0, 0, 1, 1), kSameRect, {constant({})}),
               "Kernel mergeKernel takes 2 images, not 1");
  EXPECT_FATAL(merge->apply(Rect(0, 0, 1, 1), kSameRect, {constant({}), nullptr}),
               "Kernel mergeKernel was given no image");
}

TEST(Kernel, TakesTheColourOfOneAndTheAlphaOfTheOther) {
  const auto out = Kernel::fromSource(kAlphaSet)->apply(
      Rect(0, 0, 2, 2), kSameRect, {constant({0.2f, 0.4f, 0.6f, 1.0f}), constant({0.9f, 0.9f, 0.9f, 0.3f})});
  EXPECT_EQ(out->extent(), Rect(0, 0, 2, 2));
  EXPECT_TRUE(near(out->sample({1, 1}), {0.2f, 0.4f, 0.6f, 0.3f}));
  EXPECT_EQ(out->sample({2.5, 1}), RGBA{});
}

TEST(Kernel, ReadsTheInputAtOneMinusVU) {
  // Texel (i, j) of a 4 x 4 input holds (i, j) / 10.
  const auto input = Image::fromTexture(imagingtest::texture(4, 4, [](std::size_t i, std::size_t j) {
    return RGBA{static_cast<float>(i) / 10, static_cast<float>(j) / 10, 0, 1};
  }));
  const auto out = Kernel::fromSource(kRotate)->apply(input->extent(), kSameRect, {input});
  // (u, v) = (0.125, 0.125) reads (0.875, 0.125): texel (3, 0); (0.375, 0.875) reads (0.125, 0.375).
  EXPECT_TRUE(near(out->sample({0.5, 0.5}), {0.3f, 0.0f, 0, 1}));
  EXPECT_TRUE(near(out->sample({1.5, 3.5}), {0.0f, 0.1f, 0, 1}));
}

struct MergeCase {
  const char* name;
  RGBA overlay, base, expected;
};

class KernelMergeRules : public ::testing::TestWithParam<MergeCase> {};

TEST_P(KernelMergeRules, FirstRuleThatAppliesDecides) {
  const auto& c = GetParam();
  const auto out = Kernel::fromSource(kMerge)->apply(Rect(0, 0, 1, 1), kSameRect,
                                                     {constant(c.overlay), constant(c.base)});
  EXPECT_TRUE(near(out->sample({0.5, 0.5}), c.expected));
}

// Mix = base (1 - o.a) + overlay o.a on all four channels.
constexpr RGBA kBlue{0.1f, 0.1f, 0.8f, 1.0f};
INSTANTIATE_TEST_SUITE_P(
    Table, KernelMergeRules,
    ::testing::Values(
        MergeCase{"clearBaseGivesOverlay", {0.3f, 0.2f, 0.1f, 0.0f}, {0.5f, 0.5f, 0.5f, 0.0f}, {0.3f, 0.2f, 0.1f, 0.0f}},
        MergeCase{"opaqueOverlayWinsEvenYellowOverBlue", {0.9f, 0.9f, 0.1f, 1.0f}, kBlue, {0.9f, 0.9f, 0.1f, 1.0f}},
        MergeCase{"clearOverlayGivesBase", {0.9f, 0.9f, 0.1f, 0.0f}, kBlue, kBlue},
        MergeCase{"yellowOverBlue", {0.9f, 0.9f, 0.1f, 0.5f}, kBlue, {0.1f, 0.5f, 0.1f, 0.75f}},
        MergeCase{"blueOverYellow", {0.1f, 0.1f, 0.8f, 0.5f}, {0.9f, 0.9f, 0.1f, 1.0f}, {0.1f, 0.5f, 0.1f, 1.0f}},
        MergeCase{"redOverWhiteMixes", {1.0f, 0.0f, 0.0f, 0.5f}, {1, 1, 1, 1}, {1.0f, 0.5f, 0.5f, 0.75f}},
        MergeCase{"greenExactly075Qualifies", {0.75f, 0.75f, 0.1f, 0.5f}, kBlue, {0.1f, 0.425f, 0.1f, 0.75f}},
        MergeCase{"blueExactly05Qualifies", {0.9f, 0.9f, 0.1f, 0.5f}, {0.1f, 0.1f, 0.5f, 1}, {0.1f, 0.5f, 0.1f, 0.75f}},
        MergeCase{"yellowDifferenceJustBelow015Qualifies", {0.76f, 0.9f, 0.1f, 0.5f}, kBlue, {0.1f, 0.5f, 0.1f, 0.75f}},
        MergeCase{"yellowDifferenceJustAbove015Mixes", {0.74f, 0.9f, 0.1f, 0.5f}, kBlue, {0.42f, 0.5f, 0.45f, 0.75f}},
        MergeCase{"blueDifferenceExactly005Mixes", {0.9f, 0.9f, 0.1f, 0.5f}, {0.0f, 0.05f, 0.8f, 1}, {0.45f, 0.475f, 0.45f, 0.75f}},
        MergeCase{"blueEqualToMaxRGMixes", {0.9f, 0.9f, 0.1f, 0.5f}, {0.5f, 0.5f, 0.5f, 1}, {0.7f, 0.7f, 0.3f, 0.75f}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
