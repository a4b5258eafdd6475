// Descriptors, texture queries and CPU region copies in the raw layout.

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FatalStop.h"
#include "GpuTestHelpers.h"

using namespace gputest;

namespace {

struct MipCase {
  std::size_t width, height;
  bool mipmapped;
  std::size_t levels;
};

class TextureMipCount : public ::testing::TestWithParam<MipCase> {};

TEST_P(TextureMipCount, TwoDFactoryComputesTheFullChain) {
  const MipCase c = GetParam();
  auto d = gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA8Unorm, c.width, c.height, c.mipmapped);
  EXPECT_EQ(d->mipmapLevelCount, c.levels);
  EXPECT_EQ(d->textureType, gpu::TextureType::Type2D);
  EXPECT_EQ(d->depth, 1u);
  EXPECT_EQ(device()->makeTexture(d)->mipmapLevelCount(), c.levels);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextureMipCount,
                         ::testing::Values(MipCase{512, 300, true, 10}, MipCase{1, 1, true, 1},
                                           MipCase{300, 512, true, 10}, MipCase{513, 2, true, 10},
                                           MipCase{512, 300, false, 1}));

TEST(Texture, LevelSizesHalveDownToOne) {
  auto t = device()->makeTexture(gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA8Unorm, 512, 300, true));
  EXPECT_EQ(t->levelSize(3), (gpu::Size{64, 37, 1}));
  EXPECT_EQ(t->levelSize(9), (gpu::Size{1, 1, 1}));
  EXPECT_EQ(t->texels(0).bytesPerImage(), 614400u);
  EXPECT_FATAL(t->levelSize(10), "Texture: mip level 10 is beyond the texture's 10 levels");
}

TEST(Texture, QueriesFollowTheDescriptorAndStartZeroed) {
  auto d = gpu::TextureDescriptor::make();
  d->textureType = gpu::TextureType::Type3D;
  d->pixelFormat = gpu::PixelFormat::RGBA32Float;
  d->width = 5, d->height = 4, d->depth = 3;
  d->usage = gpu::TextureUsage::ShaderRead | gpu::TextureUsage::ShaderWrite;
  auto t = device()->makeTexture(d);
  EXPECT_EQ(t->width(), 5u);
  EXPECT_EQ(t->height(), 4u);
  EXPECT_EQ(t->depth(), 3u);
  EXPECT_EQ(t->textureType(), gpu::TextureType::Type3D);
  EXPECT_EQ(t->pixelFormat(), gpu::PixelFormat::RGBA32Float);
  EXPECT_EQ(t->usage(), gpu::TextureUsage::ShaderRead | gpu::TextureUsage::ShaderWrite);
  EXPECT_EQ(t->device(), device());
  auto bytes = rawBytes(*t);
  EXPECT_EQ(bytes.size(), 5u * 4 * 3 * 16);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), static_cast<long>(bytes.size()));
}

TEST(Texture, LargeTexturesAndBuffersStartZeroedOnReusedMemory) {
  // Made and dirtied in turn, so later ones may be given the memory of earlier ones.
  for (int round = 0; round < 4; ++round) {
    auto t = texture2D(1024, 768);
    auto bytes = rawBytes(*t);
    ASSERT_EQ(std::count(bytes.begin(), bytes.end(), 0), static_cast<std::ptrdiff_t>(bytes.size())) << round;
    std::fill_n(t->texels().texel(0, 0), bytes.size(), 0xAB);
    auto b = device()->makeBuffer(3 << 20);
    ASSERT_EQ(std::count(b->contents(), b->contents() + b->length(), 0), 3 << 20) << round;
    std::fill_n(b->contents(), b->length(), 0xCD);
  }
}

// A large texture's zeros come from the system's fresh pages: making one writes none of its memory,
// so none of its pages is resident until something is written (a layer is made in no time).
TEST(Texture, LargeTexturesAreMadeWithoutWritingTheirMemory) {
  auto t = texture2D(2048, 1536);
  std::uint8_t* bytes = t->texels().texel(0, 0);
  const std::size_t size = 2048 * 1536 * 4, page = 4096;
  ASSERT_EQ(reinterpret_cast<std::uintptr_t>(bytes) % page, 0u);
  std::vector<unsigned char> resident((size + page - 1) / page);
  ASSERT_EQ(::mincore(bytes, size, resident.data()), 0);
  EXPECT_EQ(std::count_if(resident.begin(), resident.end(), [](unsigned char r) { return (r & 1) != 0; }), 0);
  bytes[5 * page] = 1;
  ASSERT_EQ(::mincore(bytes, size, resident.data()), 0);
  EXPECT_EQ(resident[5] & 1, 1);
}

// The flags the system shows for the mapping that holds `address` (the VmFlags line of its entry).
std::string mappingFlags(const void* address) {
  std::ifstream maps("/proc/self/smaps");
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  bool inside = false;
  for (std::string line; std::getline(maps, line);) {
    unsigned long long low = 0, high = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> low >> dash >> high && dash == '-') {
      inside = at >= low && at < high;
    } else if (inside && line.rfind("VmFlags:", 0) == 0) {
      return line;
    }
  }
  return {};
}

// A large texture starts on a large-page boundary and asks for large pages, so that reading a region
// across its rows does not translate one small page per row; a small one is left to the heap.
TEST(Texture, LargeTexturesAskForLargePages) {
  auto t = texture2D(2048, 1536);
  const std::uint8_t* bytes = t->texels().texel(0, 0);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes) % (2 << 20), 0u);
  // A system built without large pages takes no request for them.
  if (std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled")) {
    EXPECT_NE(mappingFlags(bytes).find(" hg"), std::string::npos) << mappingFlags(bytes);
  }
  // The whole texture is usable and reads as zero to its last byte.
  EXPECT_EQ(t->texels().read(2047, 1535), (gpu::float4{0, 0, 0, 0}));
  t->texels().write({1, 1, 1, 1}, 2047, 1535);
  EXPECT_EQ(t->texels().read(2047, 1535), (gpu::float4{1, 1, 1, 1}));
}

TEST(Texture, InvalidDescriptorsStop) {
  auto d = gpu::TextureDescriptor::make();
  d->width = 0;
  EXPECT_FATAL_CONTAINING(device()->makeTexture(d), "width, height and depth must be at least 1");
  d->width = 4, d->depth = 2;
  EXPECT_FATAL(device()->makeTexture(d), "makeTexture: a 2-D texture has depth 1 (asked for 2)");
  d->depth = 1, d->mipmapLevelCount = 4;
  EXPECT_FATAL(device()->makeTexture(d), "makeTexture: 4 mip levels asked where 1 to 3 are possible");
  d->mipmapLevelCount = 1, d->pixelFormat = gpu::PixelFormat::Invalid;
  EXPECT_FATAL(device()->makeTexture(d), "makeTexture: pixel format 0 is not supported");
}

TEST(Texture, RawLayoutOfTwoDTexture) {
  auto t = texture2D(800, 600);
  fillNumbered(*t);
  auto bytes = rawBytes(*t);
  ASSERT_EQ(bytes.size(), 1920000u);
  const std::size_t x = 17, y = 433, i = y * 800 + x;
  EXPECT_EQ(bytes[i * 4], static_cast<std::uint8_t>(i));
  EXPECT_EQ(bytes[i * 4 + 1], static_cast<std::uint8_t>(i >> 8));
  EXPECT_EQ(texelWord(*t, x, y), std::uint32_t(bytes[i * 4]) | std::uint32_t(bytes[i * 4 + 1]) << 8 |
                                     std::uint32_t(bytes[i * 4 + 2]) << 16 | std::uint32_t(bytes[i * 4 + 3]) << 24);
  EXPECT_EQ(bytes, numberedTexels(800 * 600));
}

TEST(Texture, RawLayoutOfThreeDTextureIsSliceAfterSlice) {
  auto t = texture3D(7, 5, 3);
  fillNumbered(*t);
  const std::size_t x = 6, y = 4, z = 2, i = (z * 5 + y) * 7 + x;
  EXPECT_EQ(t->texels().texel(x, y, z)[0], static_cast<std::uint8_t>(i));
  EXPECT_EQ(rawBytes(*t), numberedTexels(7 * 5 * 3));
}

TEST(Texture, RegionRoundTripWithRowAndImageStrides) {
  auto t = texture3D(9, 8, 6);
  // A 4 x 3 x 2 region at (2, 3, 1), rows 40 bytes apart, images 200 bytes apart.
  const gpu::Region region = gpu::Region::make3D(2, 3, 1, 4, 3, 2);
  std::vector<std::uint8_t> in(200 + 2 * 40 + 16);
  for (std::size_t i = 0; i < in.size(); ++i) in[i] = static_cast<std::uint8_t>(i * 7 + 1);
  t->writeRegion(region, 0, 0, in, 40, 200);
  // Texel (1, 2, 1) of the region comes from byte 1 * 200 + 2 * 40 + 1 * 4.
  EXPECT_EQ(t->texels().texel(3, 5, 2)[0], in[200 + 80 + 4]);
  // Outside the region nothing changed.
  EXPECT_EQ(texelWord(*t, 1, 3, 1), 0u);
  EXPECT_EQ(texelWord(*t, 2, 3, 3), 0u);

  std::vector<std::uint8_t> out(in.size(), 0xEE);
  t->readRegion(region, 0, 0, out, 40, 200);
  for (std::size_t z = 0; z < 2; ++z)
    for (std::size_t y = 0; y < 3; ++y)
      for (std::size_t b = 0; b < 16; ++b) EXPECT_EQ(out[z * 200 + y * 40 + b], in[z * 200 + y * 40 + b]);
  EXPECT_EQ(out[16], 0xEE) << "padding between rows is left alone";
}

TEST(Texture, TwoDRoundTripOnAMipLevel) {
  auto t = device()->makeTexture(gpu::TextureDescriptor::texture2D(gpu::PixelFormat::BGRA8Unorm, 16, 8, true));
  auto in = numberedTexels(8 * 4);
  t->writeRegion(gpu::Region::make2D(0, 0, 8, 4), 1, in, 32);
  std::vector<std::uint8_t> out(in.size());
  t->readRegion(gpu::Region::make2D(0, 0, 8, 4), 1, out, 32);
  EXPECT_EQ(out, in);
  EXPECT_EQ(texelWord(*t, 0, 0), 0u) << "level 0 untouched";
}

TEST(Texture, BadCpuCopiesStop) {
  auto t = texture2D(10, 10);
  std::vector<std::uint8_t> bytes(400);
  EXPECT_FATAL(t->writeRegion(gpu::Region::make2D(5, 0, 6, 1), 0, bytes, 40),
               "writeRegion: region at (5, 0, 0) of 6 x 1 x 1 is outside the 10 x 10 x 1 texels of level 0");
  EXPECT_FATAL(t->readRegion(gpu::Region::make2D(0, 0, 10, 1), 0, bytes, 39),
               "readRegion: 39 bytes per row cannot hold a row of 40 bytes");
  EXPECT_FATAL(t->writeRegion(gpu::Region::make2D(0, 0, 10, 10), 0, std::span(bytes).first(399), 40),
               "writeRegion: 399 bytes cannot hold the region's 400 bytes");
  EXPECT_FATAL(t->writeRegion(gpu::Region::make2D(0, 0, 1, 1), 0, 1, bytes, 40, 40),
               "writeRegion: slice 1 is beyond the texture's 1 slice");
  EXPECT_FATAL(t->writeRegion(gpu::Region::make2D(0, 0, 1, 1), 1, bytes, 40),
               "Texture: mip level 1 is beyond the texture's 1 levels");
  auto t3 = texture3D(4, 4, 4);
  EXPECT_FATAL(t3->writeRegion(gpu::Region::make3D(0, 0, 0, 4, 4, 2), 0, 0, bytes, 16, 32),
               "writeRegion: 32 bytes per image cannot hold 4 rows of 16 bytes");
}

TEST(Texture, ConvertsEachFormatAndStaysInside) {
  auto rgba = texture2D(2, 1);
  auto bgra = texture2D(2, 1, gpu::PixelFormat::BGRA8Unorm);
  auto wide = texture2D(2, 1, gpu::PixelFormat::RGBA32Float);
  const gpu::float4 colour{1.0f, 0.5f, 0.0f, 0.25f};
  for (auto* t : {rgba.get(), bgra.get(), wide.get()}) t->texels().write(colour, 0, 0);
  const std::uint8_t* r = rgba->texels().texel(0, 0);
  EXPECT_EQ((std::vector<int>{r[0], r[1], r[2], r[3]}), (std::vector<int>{255, 128, 0, 64}));
  const std::uint8_t* b = bgra->texels().texel(0, 0);
  EXPECT_EQ((std::vector<int>{b[0], b[1], b[2], b[3]}), (std::vector<int>{0, 128, 255, 64}));
  EXPECT_EQ(wide->texels().read(0, 0), colour);
  EXPECT_FLOAT_EQ(bgra->texels().read(0, 0).x, 1.0f);
  EXPECT_FLOAT_EQ(rgba->texels().read(0, 0).y, 128.0f / 255.0f);
  // Clamping, and nothing outside the texture.
  rgba->texels().write({2.0f, -1.0f, NAN, 1.0f}, 1, 0);
  EXPECT_EQ(texelWord(*rgba, 1, 0), 0xFF0000FFu);
  rgba->texels().write(colour, 2, 0);
  EXPECT_EQ(rgba->texels().read(2, 0), gpu::float4{});
  EXPECT_EQ(rgba->texels().texel(0, 1), nullptr);
}

}  // namespace

namespace {

TEST(Texture, EveryByteRoundTripsAndWritesRoundLikeToUnorm8) {
  auto rgba = texture2D(256, 1), bgra = texture2D(256, 1, gpu::PixelFormat::BGRA8Unorm);
  for (std::size_t x = 0; x < 256; ++x) {
    const std::uint8_t b = static_cast<std::uint8_t>(x);
    std::uint8_t* p = rgba->texels().texel(x, 0);
    p[0] = b, p[1] = static_cast<std::uint8_t>(255 - b), p[2] = b, p[3] = 7;
  }
  auto original = rawBytes(*rgba);
  for (std::size_t x = 0; x < 256; ++x) bgra->texels().write(rgba->texels().read(x, 0), x, 0);
  for (std::size_t x = 0; x < 256; ++x) rgba->texels().write(bgra->texels().read(x, 0), x, 0);
  EXPECT_EQ(rawBytes(*rgba), original);
  // Values between the byte steps round as the scalar rule does.
  for (int i = -20; i <= 275 * 4; ++i) {
    const float v = static_cast<float>(i) / (255.0f * 4.0f);
    rgba->texels().write({v, v, v, v}, 0, 0);
    ASSERT_EQ(rgba->texels().texel(0, 0)[1], gpu::TexelView::toUnorm8(v)) << v;
  }
}

}  // namespace

namespace {

// A run written at once stores the bytes texel-by-texel writes store, in every format, for runs of
// every length about the four-texel steps and for runs reaching past the texture's edge.
TEST(Texture, AWrittenRunEqualsItsTexelsWrittenOneByOne) {
  std::vector<float> values;
  for (int i = 0; i < 4 * 11; ++i) values.push_back(static_cast<float>(i * 37 % 301) / 280.0f - 0.05f);
  values[6] = NAN;
  using gpu::PixelFormat;
  for (const auto format : {PixelFormat::RGBA8Unorm, PixelFormat::BGRA8Unorm, PixelFormat::RGBA32Float}) {
    for (std::size_t count = 0; count <= 11; ++count) {
      for (const std::size_t x : {std::size_t{0}, std::size_t{3}, std::size_t{9}}) {
        auto run = texture2D(12, 2, format), single = texture2D(12, 2, format);
        run->texels().writeRun(values.data(), x, 1, 0, count);
        for (std::size_t k = 0; k < count; ++k) {
          const float* v = values.data() + 4 * k;
          single->texels().write({v[0], v[1], v[2], v[3]}, x + k, 1);
        }
        ASSERT_EQ(rawBytes(*run), rawBytes(*single)) << "format " << static_cast<int>(format) << ", " << count
                                                     << " texels from " << x;
      }
    }
  }
}

}  // namespace
