#include <gtest/gtest.h>

#include "FatalStop.h"
#include "TestBitmaps.h"
#include "graphics/BitmapContext.h"

namespace {

using graphics::AlphaInfo;
using graphics::Bitmap;
using graphics::BitmapContext;
using graphics::ByteOrder;
using graphics::ColorSpace;
using graphics::Rect;
using graphicstest::taggedBitmap;
using graphicstest::tag;

std::shared_ptr<BitmapContext> rgbaContext(std::size_t w, std::size_t h, void* data = nullptr) {
  return BitmapContext::create(data, w, h, 8, w * 4, ColorSpace::DeviceRGB,
                               AlphaInfo::PremultipliedLast, ByteOrder::Big32);
}

std::array<std::uint8_t, 4> at(const BitmapContext& c, std::size_t x, std::size_t row) {
  const std::uint8_t* p = c.data() + row * c.bytesPerRow() + x * 4;
  return {p[0], p[1], p[2], p[3]};
}

TEST(BitmapContext, RefusesWhatItCannotDrawInto) {
  EXPECT_FALSE(BitmapContext::create(nullptr, 0, 4, 8, 0, ColorSpace::DeviceRGB,
                                     AlphaInfo::PremultipliedLast));
  EXPECT_FALSE(BitmapContext::create(nullptr, 4, 4, 16, 32, ColorSpace::DeviceRGB,
                                     AlphaInfo::PremultipliedLast));
  EXPECT_FALSE(BitmapContext::create(nullptr, 4, 4, 8, 15, ColorSpace::DeviceRGB,
                                     AlphaInfo::PremultipliedLast));
  EXPECT_FALSE(BitmapContext::create(nullptr, 4, 4, 8, 16, ColorSpace::DeviceGray,
                                     AlphaInfo::PremultipliedLast));
  EXPECT_FALSE(BitmapContext::create(nullptr, 4, 4, 8, 16, ColorSpace::DeviceRGB,
                                     AlphaInfo::PremultipliedFirst));
  EXPECT_FALSE(BitmapContext::create(nullptr, 4, 4, 8, 16, ColorSpace::DeviceRGB,
                                     AlphaInfo::PremultipliedLast, ByteOrder::Little32));
  EXPECT_TRUE(rgbaContext(4, 4));
}

TEST(BitmapContext, DrawingWithTheIdentityPutsTheTopRowFirst) {
  std::vector<std::uint8_t> bytes(3 * 2 * 4, 0);
  auto context = rgbaContext(3, 2, bytes.data());
  ASSERT_TRUE(context);
  EXPECT_EQ(context->data(), bytes.data());
  context->draw(*taggedBitmap(3, 2), Rect(0, 0, 3, 2));
  for (std::size_t row = 0; row < 2; ++row) {
    for (std::size_t x = 0; x < 3; ++x) EXPECT_EQ(at(*context, x, row), tag(x, row));
  }
}

TEST(BitmapContext, TheLoaderFlipPutsTheBottomRowFirst) {
  auto context = rgbaContext(3, 2);
  context->clear(Rect(0, 0, 3, 2));
  context->translate(0, 2);
  context->scale(1, -1);
  context->draw(*taggedBitmap(3, 2), Rect(0, 0, 3, 2));
  for (std::size_t row = 0; row < 2; ++row) {
    for (std::size_t x = 0; x < 3; ++x) EXPECT_EQ(at(*context, x, row), tag(x, 1 - row));
  }
}

TEST(BitmapContext, DrawsIntoAPlacedScaledRectangleWithNearestTexels) {
  auto context = rgbaContext(6, 4);
  // Twice the size, placed 2 pixels from the left edge, at the bottom (y up).
  context->draw(*taggedBitmap(2, 1), Rect(2, 0, 4, 2));
  for (std::size_t row = 0; row < 4; ++row) {
    for (std::size_t x = 0; x < 6; ++x) {
      const bool inside = x >= 2 && row >= 2;
      const std::array<std::uint8_t, 4> expected =
          inside ? tag((x - 2) / 2, 0) : std::array<std::uint8_t, 4>{0, 0, 0, 0};
      EXPECT_EQ(at(*context, x, row), expected) << x << "," << row;
    }
  }
}

TEST(BitmapContext, PremultipliesAndLaysSourceOver) {
  auto context = rgbaContext(1, 1);
  const auto half = Bitmap::make(1, 1, {200, 100, 0, 128}, graphics::AlphaMode::Straight);
  context->draw(*half, Rect(0, 0, 1, 1));
  EXPECT_EQ(at(*context, 0, 0), (std::array<std::uint8_t, 4>{100, 50, 0, 128}));
  context->fill(Rect(0, 0, 1, 1), graphics::Color::fromRGBA(0, 0, 1, 0.5));
  // 0.5 rounds to 128; the old pixel keeps 127/255 of itself.
  EXPECT_EQ(at(*context, 0, 0), (std::array<std::uint8_t, 4>{50, 25, 128, 192}));
  context->clear(Rect(0, 0, 1, 1));
  EXPECT_EQ(at(*context, 0, 0), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
  EXPECT_FATAL(context->fill(Rect(0, 0, 1, 1), graphics::Color::inOtherSpace(std::nullopt)),
               "A bitmap context fills only grey and RGB colours");
}

TEST(BitmapContext, AnImageOfTheContextIsACopy) {
  auto context = rgbaContext(2, 2);
  context->fill(Rect(0, 0, 2, 2), graphics::Color::white());
  const auto image = context->makeImage();
  context->clear(Rect(0, 0, 2, 2));
  EXPECT_EQ(image->alphaMode(), graphics::AlphaMode::Premultiplied);
  EXPECT_EQ(image->pixel(1, 1), (std::array<std::uint8_t, 4>{255, 255, 255, 255}));
  EXPECT_EQ(at(*context, 1, 1), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
}

TEST(BitmapContext, ChecksItsSizeAndPixelPositions) {
  EXPECT_FATAL(Bitmap::make(2, 2, std::vector<std::uint8_t>(15), graphics::AlphaMode::Straight),
               "Bitmap of 2 x 2 pixels needs 16 bytes, got 15");
  EXPECT_FATAL(taggedBitmap(2, 2)->pixel(2, 0), "Bitmap pixel (2, 0) lies outside 2 x 2");
}

}  // namespace
