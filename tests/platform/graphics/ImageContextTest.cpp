#include <gtest/gtest.h>

#include <functional>

#include "FatalStop.h"
#include "TestBitmaps.h"
#include "graphics/ImageContext.h"

namespace {

using graphics::Image;
using graphics::Rect;
using graphics::Size;
using graphicstest::tag;
using graphicstest::taggedBitmap;

constexpr std::size_t W = 3, H = 2;

// Where the result's pixel (x, row) comes from in the source.
using SourceOf = std::function<std::pair<std::size_t, std::size_t>(std::size_t, std::size_t)>;

struct FlipCase {
  const char* name;
  std::function<void(graphics::BitmapContext&)> transforms;
  SourceOf source;
};

class ImageContextFlipTable : public ::testing::TestWithParam<FlipCase> {};

// The redraw of an image into an image context of its own size with a set of transforms: the
// image context's top-left origin decides the net effect of each row of the table.
TEST_P(ImageContextFlipTable, RedrawThroughAnImageContext) {
  const FlipCase& c = GetParam();
  const Image source(taggedBitmap(W, H));
  graphics::beginImageContext(source.size(), false, 1.0);
  auto context = graphics::currentContext();
  ASSERT_TRUE(context);
  c.transforms(*context);
  context->draw(*source.bitmap(), Rect(0, 0, W, H));
  const auto result = graphics::imageFromCurrentImageContext();
  graphics::endImageContext();
  ASSERT_TRUE(result);
  EXPECT_EQ(result->size(), source.size());
  for (std::size_t row = 0; row < H; ++row) {
    for (std::size_t x = 0; x < W; ++x) {
      const auto [sx, srow] = c.source(x, row);
      EXPECT_EQ(result->bitmap()->pixel(x, row), tag(sx, srow)) << x << "," << row;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Orientations, ImageContextFlipTable,
    ::testing::Values(
        FlipCase{"noTransformsTurnItUpsideDown", [](graphics::BitmapContext&) {},
                 [](std::size_t x, std::size_t row) { return std::pair{x, H - 1 - row}; }},
        FlipCase{"mirroredOrientationsMirrorLeftToRight",
                 [](graphics::BitmapContext& c) {
                   c.translate(0, H);
                   c.scale(1, -1);
                   c.translate(W, 0);
                   c.scale(-1, 1);
                 },
                 [](std::size_t x, std::size_t row) { return std::pair{W - 1 - x, row}; }},
        FlipCase{"leftAndRightMirroredTurnIt",
                 [](graphics::BitmapContext& c) {
                   c.translate(W, 0);
                   c.scale(-1, 1);
                 },
                 [](std::size_t x, std::size_t row) {
                   return std::pair{W - 1 - x, H - 1 - row};
                 }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageContext, SizeScaleAndOpacity) {
  graphics::beginImageContext(Size{2.5, 1}, true, 2.0);
  auto context = graphics::currentContext();
  ASSERT_TRUE(context);
  EXPECT_EQ(context->width(), 5u);
  EXPECT_EQ(context->height(), 2u);
  const auto image = graphics::imageFromCurrentImageContext();
  EXPECT_EQ(image->scale(), 2.0);
  EXPECT_EQ(image->size(), (Size{2.5, 1}));
  // Opaque contexts start black, with full alpha.
  EXPECT_EQ(image->bitmap()->pixel(4, 1), (std::array<std::uint8_t, 4>{0, 0, 0, 255}));
  graphics::endImageContext();
  EXPECT_FALSE(graphics::currentContext());
}

TEST(ImageContext, ContextsNestAndTheTopOneIsCurrent) {
  graphics::beginImageContext(Size{4, 4});
  const auto outer = graphics::currentContext();
  graphics::beginImageContext(Size{1, 1});
  EXPECT_NE(graphics::currentContext(), outer);
  graphics::endImageContext();
  EXPECT_EQ(graphics::currentContext(), outer);
  graphics::endImageContext();
}

TEST(ImageContext, ASizeWithoutPixelsGivesNoContextAndNoImage) {
  graphics::beginImageContext(Size{0, 10});
  EXPECT_FALSE(graphics::currentContext());
  EXPECT_FALSE(graphics::imageFromCurrentImageContext());
  graphics::endImageContext();
  EXPECT_FALSE(graphics::imageFromCurrentImageContext());
}

TEST(ImageContext, MisuseStops) {
  EXPECT_FATAL(graphics::endImageContext(), "No image context is open");
  EXPECT_FATAL(graphics::beginImageContext(Size{1, 1}, false, -1.0),
               "An image context's scale must be positive, not -1.000000");
}

}  // namespace
