#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "LyingPNG.h"
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
  // Every colour channel non-zero, so skipping one shows. 30 x 255 / 128 = 59.8 rounds to 60.
  const auto premultiplied = Bitmap::make(1, 1, {100, 50, 30, 128}, graphics::AlphaMode::Premultiplied);
  ASSERT_TRUE(graphics::writePNG(*premultiplied, root.path() / "p.png"));
  EXPECT_EQ(graphics::readPNG(root.path() / "p.png")->pixel(0, 0),
            (std::array<std::uint8_t, 4>{199, 100, 60, 128}));
}

TEST(PNGFile, UnreadableFilesGiveNothing) {
  testsupport::TempResourceRoot root;
  EXPECT_FALSE(graphics::readPNG(root.path() / "missing.png"));
  EXPECT_FALSE(graphics::readPNG(root.write("text.png", "not a picture")));
  EXPECT_FALSE(graphics::readPNGSize(root.path() / "text.png"));
  EXPECT_FALSE(graphics::readPNGSize(root.path() / "missing.png"));
  EXPECT_FALSE(graphics::writePNG(*translucentBitmap(), root.path() / "no/such/folder/x.png"));
}

// A real 1 x 1 PNG file whose header then claims width x height: a few dozen bytes.
std::filesystem::path lyingPNG(testsupport::TempResourceRoot& root, std::uint32_t width, std::uint32_t height) {
  const auto path = root.path() / "lying.png";
  EXPECT_TRUE(graphics::writePNG(*Bitmap::make(1, 1, {1, 2, 3, 4}, graphics::AlphaMode::Straight), path));
  std::ifstream in(path, std::ios::binary);
  return root.write("lying.png", testsupport::claimingSize(std::string((std::istreambuf_iterator<char>(in)),
                                                                       std::istreambuf_iterator<char>()),
                                                           width, height));
}

TEST(PNGFile, SizesBeyondTheLimitAreRefusedBeforeAllocating) {
  testsupport::TempResourceRoot root;
  struct Case {
    std::uint32_t width, height;
  } lies[] = {{32768, 32767},   // 4 GiB of pixels from a 69-byte file
              {65536, 16384},   // a byte count that wraps to 0 in 32 bits
              {16385, 1}, {1, 16385}};
  for (const Case& c : lies) {
    const auto lying = lyingPNG(root, c.width, c.height);
    EXPECT_FALSE(graphics::readPNG(lying)) << c.width << " x " << c.height;
    // The header alone says what the file claims, without a pixel decoded.
    const auto claimed = graphics::readPNGSize(lying);
    ASSERT_TRUE(claimed);
    EXPECT_EQ(claimed->width, c.width);
    EXPECT_EQ(claimed->height, c.height);
  }

  // A real picture just past the limit is refused, one at the limit read.
  const auto wide = root.path() / "wide.png";
  ASSERT_TRUE(graphics::writePNG(*Bitmap::make(16385, 1, std::vector<std::uint8_t>(16385 * 4, 7),
                                               graphics::AlphaMode::Straight), wide));
  EXPECT_FALSE(graphics::readPNG(wide));
  ASSERT_TRUE(graphics::writePNG(*Bitmap::make(1, 16384, std::vector<std::uint8_t>(16384 * 4, 7),
                                               graphics::AlphaMode::Straight), wide));
  const auto tall = graphics::readPNG(wide);
  ASSERT_TRUE(tall);
  EXPECT_EQ(tall->height(), 16384u);
}

// The soft limit on file descriptors lowered for a scope to `spare` above the highest one the
// process holds, and restored after: fewer descriptors than the limit are then free to open.
class DescriptorLimit {
 public:
  explicit DescriptorLimit(rlim_t spare) {
    ::getrlimit(RLIMIT_NOFILE, &saved_);
    rlim_t highest = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
      highest = std::max<rlim_t>(highest, std::stoul(entry.path().filename().string()));
    }
    limit_ = std::min(highest + 1 + spare, saved_.rlim_cur);
    rlimit lowered = saved_;
    lowered.rlim_cur = limit_;
    set_ = ::setrlimit(RLIMIT_NOFILE, &lowered) == 0;
  }
  ~DescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &saved_); }
  DescriptorLimit(const DescriptorLimit&) = delete;
  DescriptorLimit& operator=(const DescriptorLimit&) = delete;

  bool set() const { return set_; }
  // No more descriptors than this can be opened while the limit holds.
  rlim_t limit() const { return limit_; }

 private:
  rlimit saved_{};
  rlim_t limit_ = 0;
  bool set_ = false;
};

// Every read closes its file, whether it reads the size, the pixels or refuses the size: under a
// descriptor limit, more reads of each than there are free descriptors all succeed.
TEST(PNGFile, ReadsLeaveNoFileOpen) {
  testsupport::TempResourceRoot root;
  const auto lying = lyingPNG(root, 16385, 1);
  const auto path = root.path() / "small.png";
  ASSERT_TRUE(graphics::writePNG(*translucentBitmap(), path));
  const DescriptorLimit limit(16);
  ASSERT_TRUE(limit.set());
  for (rlim_t i = 0; i <= limit.limit(); ++i) {
    ASSERT_TRUE(graphics::readPNGSize(path)) << "read " << i;
    ASSERT_TRUE(graphics::readPNG(path)) << "read " << i;
    ASSERT_FALSE(graphics::readPNG(lying)) << "read " << i;
    ASSERT_TRUE(graphics::readPNGSize(lying)) << "read " << i;
  }
}

TEST(PNGFile, OnlyRegularFilesAreOpened) {
  testsupport::TempResourceRoot root;
  const auto fifo = root.path() / "pipe.png";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(graphics::readPNG(fifo)) << "and does not wait for a writer";
  EXPECT_FALSE(graphics::readPNG(root.path()));
}

TEST(PNGFile, NamedImagesComeFromTheMainBundle) {
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

TEST(PNGFile, SizeInPointsIsPixelsOverScale) {
  const Image image(graphicstest::taggedBitmap(4, 2), 2.0, graphics::ImageOrientation::LeftMirrored);
  EXPECT_EQ(image.size(), (graphics::Size{2, 1}));
  EXPECT_EQ(static_cast<int>(image.orientation()), 6);
}

}  // namespace
