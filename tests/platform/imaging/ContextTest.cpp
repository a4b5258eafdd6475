#include <gtest/gtest.h>

#include "FatalStop.h"
#include "ImagingTestHelpers.h"
#include "imaging/Context.h"

namespace {

using graphics::ColorSpace;
using graphics::Rect;
using imaging::Context;
using imaging::Image;
using imaging::RGBA;
using imagingtest::texel;

constexpr RGBA kOld{0, 1, 1, 1};
constexpr RGBA kRed{1, 0, 0, 1};

std::shared_ptr<Context> context() { return Context::make(gpu::systemDefaultDevice()); }

imaging::ImagePtr red() { return Image::constantColor(graphics::Color::fromRGBA(1, 0, 0, 1)); }

// Which texels of a w x h texture changed to red.
std::vector<std::string> picture(const gpu::Texture& t) {
  std::vector<std::string> rows;
  for (std::size_t j = 0; j < t.height(); ++j) {
    std::string row;
    for (std::size_t i = 0; i < t.width(); ++i) row += texel(t, i, j) == kRed ? 'R' : '.';
    rows.push_back(row);
  }
  return rows;
}

struct BoundsCase {
  const char* name;
  Rect crop, bounds;
  std::vector<std::string> expected;  // row 0 first
};

class ContextRenderArea : public ::testing::TestWithParam<BoundsCase> {};

// Only texels whose centre lies in extent, bounds and texture change; the rest keep their value.
TEST_P(ContextRenderArea, WritesOnlyTheExtentWithinTheBounds) {
  const auto& c = GetParam();
  const auto target = imagingtest::filled(5, 4, kOld);
  context()->render(red()->cropped(c.crop), target, nullptr, c.bounds, ColorSpace::DeviceRGB);
  EXPECT_EQ(picture(*target), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ContextRenderArea,
    ::testing::Values(
        BoundsCase{"extentInsideBounds", Rect(1, 1, 3, 2), Rect(0, 0, 5, 4), {".....", ".RRR.", ".RRR.", "....."}},
        BoundsCase{"boundsCutTheExtent", Rect(1, 1, 4, 3), Rect(0, 0, 3, 3), {".....", ".RR..", ".RR..", "....."}},
        BoundsCase{"extentBeyondTheTexture", Rect(3, 2, 10, 10), Rect(0, 0, 100, 100), {".....", ".....", "...RR", "...RR"}},
        BoundsCase{"halfTexelEdgesFollowCentres", Rect(0.5, 0.6, 1.0, 1.2), Rect(0, 0, 5, 4), {".....", "R....", ".....", "....."}},
        BoundsCase{"boundsOriginMovesThePicture", Rect(2, 2, 1, 1), Rect(1, 1, 4, 3), {".....", ".R...", ".....", "....."}},
        BoundsCase{"boundsBeforeTheOriginMoveItBack", Rect(0, 0, 1, 1), Rect(-2, -1, 7, 5), {".....", "..R..", ".....", "....."}},
        BoundsCase{"disjointWritesNothing", Rect(10, 10, 2, 2), Rect(0, 0, 5, 4), {".....", ".....", ".....", "....."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Context, OnACommandBufferItRunsAtCommitInOrder) {
  const auto target = imagingtest::filled(2, 1, kOld);
  const auto source = imagingtest::filled(2, 1, {0, 0, 1, 1});
  auto buffer = gpu::systemDefaultDevice()->makeCommandQueue()->makeCommandBuffer();
  RGBA seenBefore, seenAfter;
  // Work before the render changes its source; work after sees its result.
  buffer->encodeHostWork("before", [&] { source->texels().write({0, 1, 0, 1}, 0, 0); seenBefore = texel(*target, 0, 0); });
  context()->render(Image::fromTexture(source)->cropped(Rect(0, 0, 1, 1)), target, buffer, Rect(0, 0, 2, 1),
                    ColorSpace::DeviceRGB);
  buffer->encodeHostWork("after", [&] { seenAfter = texel(*target, 0, 0); });
  EXPECT_EQ(texel(*target, 0, 0), kOld);
  buffer->commit();
  EXPECT_EQ(seenBefore, kOld);
  EXPECT_EQ(seenAfter, (RGBA{0, 1, 0, 1}));
  EXPECT_EQ(texel(*target, 1, 0), kOld);
}

TEST(Context, AnUncommittedBufferRendersNothing) {
  const auto target = imagingtest::filled(1, 1, kOld);
  auto buffer = gpu::systemDefaultDevice()->makeCommandQueue()->makeCommandBuffer();
  context()->render(red(), target, buffer, Rect(0, 0, 1, 1), ColorSpace::DeviceRGB);
  buffer.reset();
  EXPECT_EQ(texel(*target, 0, 0), kOld);
}

TEST(Context, EightBitTargetsRoundAndClamp) {
  const auto target = imagingtest::filled(1, 1, {}, gpu::PixelFormat::BGRA8Unorm);
  context()->render(Image::constantColor(graphics::Color::fromRGBA(0.5, 1.5, -1, 1)), target, nullptr,
                    Rect(0, 0, 1, 1), ColorSpace::DeviceRGB);
  const std::uint8_t* p = target->texels().texel(0, 0);
  EXPECT_EQ((std::array<int, 4>{p[0], p[1], p[2], p[3]}), (std::array<int, 4>{0, 255, 128, 255}));
}

TEST(Context, RecordsWhenAskedAndChecksItsInputs) {
  auto c = context();
  const auto target = imagingtest::filled(1, 1, kOld);
  c->render(red(), target, nullptr, Rect(0, 0, 1, 1), ColorSpace::DeviceRGB);
  EXPECT_TRUE(c->renders().empty());
  c->startRecording();
  const auto image = red()->cropped(Rect(1, 2, 3, 4));
  c->render(image, target, nullptr, Rect(0, 0, 4, 6), ColorSpace::DeviceRGB);
  ASSERT_EQ(c->renders().size(), 1u);
  EXPECT_EQ(c->renders()[0].extent, Rect(1, 2, 3, 4));
  EXPECT_EQ(c->renders()[0].bounds, Rect(0, 0, 4, 6));
  EXPECT_EQ(c->renders()[0].texture, target);
  EXPECT_FALSE(c->renders()[0].onCommandBuffer);

  EXPECT_FATAL(c->render(nullptr, target, nullptr, Rect(0, 0, 1, 1), ColorSpace::DeviceRGB),
               "An image context was asked to render no image");
  EXPECT_FATAL(c->render(red(), nullptr, nullptr, Rect(0, 0, 1, 1), ColorSpace::DeviceRGB),
               "An image context was asked to render into no texture");
  EXPECT_FATAL(c->render(red(), target, nullptr, Rect(0, 0, 1, 1), ColorSpace::DeviceGray),
               "An image context renders in the device RGB colour space only");
  EXPECT_FATAL(Context::make(nullptr), "An image context needs a GPU device");
}

}  // namespace
