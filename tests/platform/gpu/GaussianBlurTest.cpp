// The sigma-0 blur copy: common extent, RGBA8 to BGRA8 channel order, trace.

#include <gtest/gtest.h>

#include "FatalStop.h"
#include "GpuTestHelpers.h"

using namespace gputest;

namespace {

TEST(GaussianBlur, CopiesTheCommonExtentIntoBgraOrder) {
  // Six texels a row in common: four swapped together and two alone.
  auto source = texture2D(7, 3);
  fillNumbered(*source);
  auto drawable = texture2D(6, 5, gpu::PixelFormat::BGRA8Unorm);
  gpu::GaussianBlur blur(device(), 0.0f);
  auto cb = device()->makeCommandQueue()->makeCommandBuffer();
  gpu::commandTrace().start();
  blur.encode(*cb, source, drawable);
  cb->commit();
  for (std::size_t y = 0; y < 5; ++y)
    for (std::size_t x = 0; x < 6; ++x) {
      const std::uint8_t* d = drawable->texels().texel(x, y);
      if (y >= 3) {
        EXPECT_EQ(texelWord(*drawable, x, y), 0u) << "outside the source";
        continue;
      }
      const std::uint8_t* s = source->texels().texel(x, y);
      EXPECT_EQ(d[0], s[2]);  // blue
      EXPECT_EQ(d[1], s[1]);  // green
      EXPECT_EQ(d[2], s[0]);  // red
      EXPECT_EQ(d[3], s[3]);  // alpha
    }
  // Read back as colours, both textures give the same red.
  EXPECT_EQ(drawable->texels().read(2, 1), source->texels().read(2, 1));
  auto blurs = gpu::commandTrace().blurs();
  ASSERT_EQ(blurs.size(), 1u);
  EXPECT_EQ(blurs[0].source, source);
  EXPECT_EQ(blurs[0].destination, drawable);
  EXPECT_EQ(blurs[0].commandBuffer, cb.get());
}

TEST(GaussianBlur, SameFormatCopiesBytes) {
  auto source = texture2D(3, 3), destination = texture2D(3, 3);
  fillNumbered(*source);
  auto cb = device()->makeCommandQueue()->makeCommandBuffer();
  gpu::GaussianBlur(device(), 0.0f).encode(*cb, source, destination);
  cb->commit();
  EXPECT_EQ(rawBytes(*destination), rawBytes(*source));
}

TEST(GaussianBlur, OnlySigmaZeroIsSupported) {
  EXPECT_FATAL(gpu::GaussianBlur(device(), 2.0f), "GaussianBlur: sigma 2.000000 is not supported (only 0)");
}

}  // namespace
