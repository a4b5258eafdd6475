// Blit copies: exact regions, clipping to both textures, 3-D slices, buffers and mipmaps.

#include <gtest/gtest.h>

#include "FatalStop.h"
#include "GpuTestHelpers.h"

using namespace gputest;

namespace {

void blit(const std::shared_ptr<gpu::Texture>& from, gpu::Origin fromOrigin, gpu::Size size,
          const std::shared_ptr<gpu::Texture>& to, gpu::Origin toOrigin) {
  auto buffer = device()->makeCommandQueue()->makeCommandBuffer();
  auto encoder = buffer->makeBlitCommandEncoder();
  encoder->copy(from, 0, 0, fromOrigin, size, to, 0, 0, toOrigin);
  encoder->endEncoding();
  buffer->commit();
}

// The numbered texel index of a texture of width w and height h at (x, y, z), as a word.
std::uint32_t numberedWord(std::size_t w, std::size_t h, std::size_t x, std::size_t y, std::size_t z = 0) {
  const std::size_t i = (z * h + y) * w + x;
  return std::uint32_t(i & 0xFF) | std::uint32_t((i >> 8) & 0xFF) << 8 | std::uint32_t((i >> 16) & 0xFF) << 16 |
         std::uint32_t((255 - i) & 0xFF) << 24;
}

// Whether `to` holds `from`'s numbered texels in the destination box [d, d + n) taken from s, and zero
// elsewhere.
void expectCopied(const gpu::Texture& to, std::size_t srcW, std::size_t srcH, gpu::Origin s, gpu::Origin d,
                  gpu::Size n) {
  for (std::size_t z = 0; z < to.depth(); ++z)
    for (std::size_t y = 0; y < to.height(); ++y)
      for (std::size_t x = 0; x < to.width(); ++x) {
        const bool in = x >= d.x && x < d.x + n.width && y >= d.y && y < d.y + n.height && z >= d.z &&
                        z < d.z + n.depth;
        const std::uint32_t expected =
            in ? numberedWord(srcW, srcH, s.x + x - d.x, s.y + y - d.y, s.z + z - d.z) : 0u;
        ASSERT_EQ(texelWord(to, x, y, z), expected) << "at " << x << ", " << y << ", " << z;
      }
}

// A small region, and a region of a wide texture as a working region's load copies one (its rows go
// to the worker threads in runs, which together must still move exactly the region).
TEST(Blit, CopiesExactlyTheRequestedRegion) {
  struct Case {
    gpu::Size from, to;
    gpu::Origin source, destination;
    gpu::Size size;
  };
  for (const Case& c : {Case{{64, 48, 1}, {40, 30, 1}, {10, 20, 0}, {5, 3, 0}, {30, 25, 1}},
                        Case{{1024, 320, 1}, {320, 280, 1}, {600, 40, 0}, {10, 5, 0}, {300, 260, 1}}}) {
    auto from = texture2D(c.from.width, c.from.height);
    fillNumbered(*from);
    auto to = texture2D(c.to.width, c.to.height);
    blit(from, c.source, c.size, to, c.destination);
    expectCopied(*to, c.from.width, c.from.height, c.source, c.destination, c.size);
  }
}

struct ClipCase {
  const char* name;
  gpu::Origin source;
  gpu::Size size;
  gpu::Origin destination;
  gpu::Size copied;  // what lands after clipping
};

class BlitClipping : public ::testing::TestWithParam<ClipCase> {};

TEST_P(BlitClipping, ClipsToBothTextures) {
  const ClipCase c = GetParam();
  auto from = texture2D(20, 16);
  fillNumbered(*from);
  auto to = texture2D(12, 10);
  blit(from, c.source, c.size, to, c.destination);
  expectCopied(*to, 20, 16, c.source, c.destination, c.copied);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlitClipping,
    ::testing::Values(ClipCase{"SourceRightEdge", {15, 0, 0}, {10, 4, 1}, {0, 0, 0}, {5, 4, 1}},
                      ClipCase{"DestinationCorner", {0, 0, 0}, {8, 8, 1}, {8, 6, 0}, {4, 4, 1}},
                      ClipCase{"CommonExtent", {0, 0, 0}, {20, 16, 1}, {0, 0, 0}, {12, 10, 1}},
                      ClipCase{"SourceOutside", {25, 0, 0}, {4, 4, 1}, {0, 0, 0}, {0, 0, 0}},
                      ClipCase{"DestinationOutside", {0, 0, 0}, {4, 4, 1}, {12, 0, 0}, {0, 0, 0}},
                      ClipCase{"DepthBeyondTwoD", {0, 0, 0}, {3, 3, 5}, {1, 1, 0}, {3, 3, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Blit, CopiesSlicesOfThreeDTextures) {
  auto from = texture3D(8, 6, 10);
  fillNumbered(*from);
  // Slices 4 to 6 of the source into slices 1 to 3 of a smaller volume.
  auto to = texture3D(8, 6, 5);
  blit(from, {0, 0, 4}, {8, 6, 3}, to, {0, 0, 1});
  expectCopied(*to, 8, 6, {0, 0, 4}, {0, 0, 1}, {8, 6, 3});
  // One slice of a 3-D texture into a 2-D texture and back into another slice.
  auto flat = texture2D(8, 6);
  blit(from, {0, 0, 7}, {8, 6, 1}, flat, {0, 0, 0});
  expectCopied(*flat, 8, 6, {0, 0, 7}, {0, 0, 0}, {8, 6, 1});
  auto back = texture3D(8, 6, 3);
  blit(flat, {0, 0, 0}, {8, 6, 1}, back, {0, 0, 2});
  expectCopied(*back, 8, 6, {0, 0, 7}, {0, 0, 2}, {8, 6, 1});
}

TEST(Blit, OverlappingCopyWithinOneTextureReadsTheOriginal) {
  // Small, and large enough for its rows to go to the worker threads in runs.
  for (const std::size_t side : {16, 300}) {
    auto t = texture2D(side, side);
    fillNumbered(*t);
    blit(t, {0, 0, 0}, {side - 4, side - 4, 1}, t, {2, 3, 0});
    for (std::size_t y = 3; y < side - 1; ++y)
      for (std::size_t x = 2; x < side - 2; ++x) ASSERT_EQ(texelWord(*t, x, y), numberedWord(side, side, x - 2, y - 3));
  }
}

// Copies encoded one after another: those independent of each other run together, and a copy that
// reads what an earlier one wrote, or writes what an earlier one reads or writes, sees the earlier
// one done and is seen done by the later ones.
TEST(Blit, CopiesInOneEncoderActAsOneAfterTheOther) {
  constexpr std::size_t side = 512;  // rows enough for many runs on the worker threads
  const gpu::Size whole{side, side, 1};
  for (int round = 0; round < 2; ++round) {
    auto a = texture2D(side, side), b = texture2D(side, side), c = texture2D(side, side);
    auto d = texture2D(side, side), e = texture2D(side, side);
    fillNumbered(*a);
    auto buffer = device()->makeCommandQueue()->makeCommandBuffer();
    auto encoder = buffer->makeBlitCommandEncoder();
    encoder->copy(b, 0, 0, {0, 0, 0}, whole, c, 0, 0, {0, 0, 0});  // c = b, still blank
    encoder->copy(a, 0, 0, {0, 0, 0}, whole, e, 0, 0, {0, 0, 0});  // e = a, together with the first
    encoder->copy(a, 0, 0, {0, 0, 0}, whole, b, 0, 0, {0, 0, 0});  // writes what the first read
    encoder->copy(b, 0, 0, {1, 0, 0}, whole, d, 0, 0, {0, 0, 0});  // reads what the last wrote
    encoder->copy(d, 0, 0, {0, 1, 0}, whole, b, 0, 0, {0, 0, 0});  // writes what the last two wrote
    encoder->endEncoding();
    buffer->commit();
    expectCopied(*c, side, side, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    expectCopied(*e, side, side, {0, 0, 0}, {0, 0, 0}, whole);
    expectCopied(*d, side, side, {1, 0, 0}, {0, 0, 0}, {side - 1, side, 1});
    for (std::size_t y = 0; y + 1 < side; ++y)
      for (std::size_t x = 0; x + 1 < side; ++x) ASSERT_EQ(texelWord(*b, x, y), numberedWord(side, side, x + 1, y + 1));
  }
}

TEST(Blit, TextureToBufferAndBack) {
  auto from = texture3D(6, 5, 4);
  fillNumbered(*from);
  auto buffer = device()->makeBuffer(8 + 3 * 200);
  auto cb = device()->makeCommandQueue()->makeCommandBuffer();
  auto encoder = cb->makeBlitCommandEncoder();
  // A 3 x 2 x 2 box at (2, 1, 1), rows 20 bytes apart, images 200 apart, from byte 8.
  encoder->copy(from, 0, 0, {2, 1, 1}, {3, 2, 2}, buffer, 8, 20, 200);
  auto to = texture3D(6, 5, 4);
  encoder->copy(buffer, 8, 20, 200, {3, 2, 2}, to, 0, 0, {0, 0, 0});
  encoder->endEncoding();
  cb->commit();
  std::uint32_t word = 0;
  std::memcpy(&word, buffer->contents() + 8 + 200 + 20 + 4, 4);
  EXPECT_EQ(word, numberedWord(6, 5, 3, 2, 2));
  expectCopied(*to, 6, 5, {2, 1, 1}, {0, 0, 0}, {3, 2, 2});
}

TEST(Blit, TextureToBufferClipsAtTheTextureEdge) {
  auto from = texture2D(4, 4);
  fillNumbered(*from);
  auto buffer = device()->makeBuffer(16 * 2);  // room for the two rows that exist
  auto cb = device()->makeCommandQueue()->makeCommandBuffer();
  auto encoder = cb->makeBlitCommandEncoder();
  encoder->copy(from, 0, 0, {2, 2, 0}, {4, 4, 1}, buffer, 0, 16, 64);
  encoder->endEncoding();
  cb->commit();
  std::uint32_t word = 0;
  std::memcpy(&word, buffer->contents() + 16 + 4, 4);
  EXPECT_EQ(word, numberedWord(4, 4, 3, 3));
}

TEST(Blit, BadBlitsStop) {
  auto t = texture2D(4, 4);
  auto small = device()->makeBuffer(15);
  auto cb = device()->makeCommandQueue()->makeCommandBuffer();
  auto encoder = cb->makeBlitCommandEncoder();
  EXPECT_FATAL(encoder->copy(t, 0, 0, {0, 0, 0}, {2, 2, 1}, small, 0, 8, 16),
               "copy to buffer: the buffer's 15 bytes cannot hold the copied region");
  EXPECT_FATAL(encoder->copy(t, 0, 0, {0, 0, 0}, {2, 2, 1}, small, 0, 7, 16),
               "copy to buffer: 7 bytes per row cannot hold 2 texels");
  EXPECT_FATAL(encoder->copy(t, 1, 0, {0, 0, 0}, {1, 1, 1}, t, 0, 0, {0, 0, 0}),
               "copy (source): slice 1 is beyond the texture's 1 slice");
  EXPECT_FATAL(encoder->copy(t, 0, 0, {0, 0, 0}, {1, 1, 1}, t, 0, 2, {0, 0, 0}),
               "copy (destination): mip level 2 is beyond the texture's 1 levels");
  auto wide = texture2D(4, 4, gpu::PixelFormat::RGBA32Float);
  EXPECT_FATAL(encoder->copy(t, 0, 0, {0, 0, 0}, {1, 1, 1}, wide, 0, 0, {0, 0, 0}),
               "copy: pixel formats 70 and 125 have different texel sizes");
  encoder->endEncoding();
  EXPECT_FATAL(encoder->copy(t, 0, 0, {0, 0, 0}, {1, 1, 1}, t, 0, 0, {0, 0, 0}),
               "copy: the blit encoder has ended");
}

TEST(Blit, MipmapsAreABoxFilter) {
  auto t = device()->makeTexture(gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA8Unorm, 4, 2, true));
  // Level 0: columns of 0, 40, 80, 120 in red; green 200 in the top row, 100 in the bottom one.
  std::vector<std::uint8_t> bytes(4 * 2 * 4);
  for (std::size_t y = 0; y < 2; ++y)
    for (std::size_t x = 0; x < 4; ++x) {
      std::uint8_t* p = &bytes[(y * 4 + x) * 4];
      p[0] = static_cast<std::uint8_t>(40 * x), p[1] = y == 0 ? 200 : 100, p[2] = 0, p[3] = 255;
    }
  t->writeRegion(gpu::Region::make2D(0, 0, 4, 2), 0, bytes, 16);
  auto cb = device()->makeCommandQueue()->makeCommandBuffer();
  auto encoder = cb->makeBlitCommandEncoder();
  encoder->generateMipmaps(t);
  encoder->endEncoding();
  cb->commit();
  ASSERT_EQ(t->mipmapLevelCount(), 3u);
  const gpu::TexelView l1 = t->texels(1), l2 = t->texels(2);
  EXPECT_EQ(l1.texel(0, 0)[0], 20);
  EXPECT_EQ(l1.texel(1, 0)[0], 100);
  EXPECT_EQ(l1.texel(0, 0)[1], 150);
  EXPECT_EQ(l2.texel(0, 0)[0], 60);
  EXPECT_EQ(l2.texel(0, 0)[3], 255);
}

TEST(Blit, TraceKeepsTheRequestedRegion) {
  gpu::commandTrace().start();
  auto from = texture2D(8, 8), to = texture2D(4, 4);
  blit(from, {1, 2, 0}, {8, 8, 1}, to, {3, 3, 0});
  auto blits = gpu::commandTrace().blits();
  ASSERT_EQ(blits.size(), 1u);
  EXPECT_EQ(blits[0].kind, gpu::BlitKind::TextureToTexture);
  EXPECT_EQ(blits[0].sourceTexture, from);
  EXPECT_EQ(blits[0].destinationTexture, to);
  EXPECT_EQ(blits[0].sourceOrigin, (gpu::Origin{1, 2, 0}));
  EXPECT_EQ(blits[0].size, (gpu::Size{8, 8, 1}));
  EXPECT_EQ(blits[0].destinationOrigin, (gpu::Origin{3, 3, 0}));
}

}  // namespace
