#include <gtest/gtest.h>

#include "TempResourceRoot.h"
#include "TestBitmaps.h"
#include "graphics/Image.h"
#include "graphics/PNGFile.h"

namespace {

using graphics::Bitmap;
using graphics::Image;

std::shared_ptr<const Bitmap> translucentBitmap() {
  std::vector<std::uint8_t> pixels;
  for (int i = 0; i < 5 * 3; ++i) {
    pixels.insert(pixels.end(), {static_cast<std::uint8_t>(i * 17), static_cast<std::uint8_t>(255 - i),
                                 static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(i * 18)});
  }
  return Bitmap::make(5, 3, std::move(pixels), graphics::AlphaMode::Straight);
}

TEST(PNGFile, RoundTripKeepsEveryByte) {
  testsupport::TempResourceRoot root;
  const auto original = translucentBitmap();
  const auto path = root.path() / "round trip.png";
  ASSERT_TRUE(graphics::writePNG(*original, path));
  const auto back = graphics::readPNG(path);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->width(), 5u);
  EXPECT_EQ(back->height(), 3u);
  EXPECT_EQ(back->alphaMode(), graphics::AlphaMode::Straight);
  EXPECT_EQ(back->pixels(), original->pixels());
}

TEST(PNGFile, PremultipliedBitmapsAreWrittenStraight) {
  testsupport::TempResourceRoot root;
  const auto premultiplied = Bitmap::make(1, 1, {100, 50, 0, 128}, graphics::AlphaMode::Premultiplied);
  ASSERT_TRUE(graphics::writePNG(*premultiplied, root.path() / "p.png"));
  EXPECT_EQ(graphics::readPNG(root.path() / "p.png")->pixel(0, 0),
            (std::array<std::uint8_t, 4>{199, 100, 0, 128}));
}

TEST(PNGFile, UnreadableFilesGiveNothing) {
  testsupport::TempResourceRoot root;
  EXPECT_FALSE(graphics::readPNG(root.path() / "missing.png"));
  EXPECT_FALSE(graphics::readPNG(root.write("text.png", "not a picture")));
  EXPECT_FALSE(graphics::writePNG(*translucentBitmap(), root.path() / "no/such/folder/x.png"));
}

TEST(Image, NamedImagesComeFromTheMainBundle) {
  testsupport::TempResourceRoot root;
  std::filesystem::create_directories(root.path() / "maps");
  ASSERT_TRUE(graphics::writePNG(*graphicstest::taggedBitmap(4, 2), root.path() / "maps/Paper 2.png"));
  const auto byName = Image::named("Paper 2");
  ASSERT_TRUE(byName);
  EXPECT_EQ(byName->pixelWidth(), 4u);
  EXPECT_EQ(byName->pixelHeight(), 2u);
  EXPECT_EQ(byName->scale(), 1.0);
  EXPECT_EQ(byName->orientation(), graphics::ImageOrientation::Up);
  EXPECT_EQ(byName->bitmap()->pixel(3, 1), graphicstest::tag(3, 1));
  EXPECT_TRUE(Image::named("Paper 2.png"));
  EXPECT_FALSE(Image::named("Paper 3"));
}

TEST(Image, SizeInPointsIsPixelsOverScale) {
  const Image image(graphicstest::taggedBitmap(4, 2), 2.0, graphics::ImageOrientation::LeftMirrored);
  EXPECT_EQ(image.size(), (graphics::Size{2, 1}));
  EXPECT_EQ(static_cast<int>(image.orientation()), 6);
}

}  // namespace
