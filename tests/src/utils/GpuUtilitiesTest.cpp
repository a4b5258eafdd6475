// The small GPU and colour helpers: the common-extent blit, the colour record, the wetness code and
// the circle through three points.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>

#include "ConsoleCapture.h"
#include "FatalStop.h"
#include "gpu/Gpu.h"
#include "tools/ApplicationManager.h"
#include "utils/MetalUtil.h"
#include "utils/Utils.h"
#include "utils/WetnessUtil.h"

namespace {

using namespace tessivarium;
using graphics::Color;

std::shared_ptr<gpu::Texture> patterned(std::size_t w, std::size_t h, std::size_t d) {
  gpu::TextureDescriptor descriptor;
  descriptor.textureType = d == 1 ? gpu::TextureType::Type2D : gpu::TextureType::Type3D;
  descriptor.width = w, descriptor.height = h, descriptor.depth = d;
  auto t = AppManager().device()->makeTexture(descriptor);
  const gpu::TexelView v = t->texels();
  for (std::size_t z = 0; z < d; ++z)
    for (std::size_t y = 0; y < h; ++y)
      for (std::size_t x = 0; x < w; ++x) {
        std::uint8_t* p = v.texel(x, y, z);
        p[0] = static_cast<std::uint8_t>(x), p[1] = static_cast<std::uint8_t>(y), p[2] = static_cast<std::uint8_t>(z),
        p[3] = 9;
      }
  return t;
}

void blit(const std::shared_ptr<gpu::Texture>& from, const std::shared_ptr<gpu::Texture>& to) {
  auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  auto encoder = buffer->makeBlitCommandEncoder();
  copyTexture(*encoder, from, to);
  encoder->endEncoding();
  buffer->commit();
}

TEST(GpuUtilities, CopiesTheCommonExtentFromTheOrigin) {
  auto from = patterned(512, 512, 1);
  gpu::TextureDescriptor small;
  small.width = small.height = 256;
  auto to = AppManager().device()->makeTexture(small);
  gpu::commandTrace().start();
  blit(from, to);
  const auto blits = gpu::commandTrace().blits();
  ASSERT_EQ(blits.size(), 1u);
  EXPECT_EQ(blits[0].size, (gpu::Size{256, 256, 1}));
  EXPECT_EQ(blits[0].sourceOrigin, gpu::Origin{});
  EXPECT_EQ(blits[0].destinationOrigin, gpu::Origin{});
  EXPECT_EQ(to->texels().texel(255, 200)[0], 255);
  EXPECT_EQ(to->texels().texel(255, 200)[1], 200);

  auto deep = patterned(8, 8, 32);
  auto flat = AppManager().device()->makeTexture(gpu::TextureDescriptor{});
  gpu::commandTrace().start();
  blit(deep, flat);
  EXPECT_EQ(gpu::commandTrace().blits()[0].size, (gpu::Size{1, 1, 1}));
}

std::array<float, 4> recordOf(const Color& color) {
  const auto buffer = makeBuffer(color);
  std::array<float, 4> out{};
  EXPECT_EQ(buffer->length(), 16u);
  std::memcpy(out.data(), buffer->contents(), 16);
  return out;
}

TEST(GpuUtilities, GreyAndRGBColours) {
  EXPECT_EQ(recordOf(Color::fromWhite(0.5, 1.0)), (std::array<float, 4>{0.5f, 0.5f, 0.5f, 1.0f}));
  EXPECT_EQ(recordOf(Color::fromRGBA(0.2, 0.4, 0.6, 0.8)), (std::array<float, 4>{0.2f, 0.4f, 0.6f, 0.8f}));
  EXPECT_FATAL(makeBuffer(Color::inOtherSpace(std::vector<double>{0.1, 0.2, 0.3})),
               "CGColor components[Optional(3)] not supported.");
  EXPECT_FATAL(makeBuffer(Color::inOtherSpace(std::nullopt)), "CGColor components[nil] not supported.");
}

TEST(GpuUtilities, CarriesTheQuantisedWetnessInAlpha) {
  const Color red = Color::fromRGBA(1, 0, 0, 1);
  struct Case {
    float wetness;
    double alpha;
  };
  for (const Case c : {Case{1.0f, 252.0 / 255}, Case{0.5f, 124.0 / 255}, Case{0.0f, 0.0}}) {
    const Color out = WetnessUtil::toWetnessColor(red, c.wetness);
    EXPECT_EQ(out, Color::fromRGBA(1, 0, 0, c.alpha)) << c.wetness;
  }
  EXPECT_EQ(WetnessUtil::toWetnessColor(red, std::nullopt), red);
  EXPECT_EQ(WetnessUtil::toWetnessColor(Color::fromWhite(0.25, 0.9), 1.0f),
            Color::fromRGBA(0.25, 0.25, 0.25, 252.0 / 255));
  EXPECT_FATAL(WetnessUtil::toWetnessColor(Color::inOtherSpace(std::vector<double>(5, 0.0)), 1.0f),
               "UIColor with components[5] is not supported.");
}

TEST(GpuUtilities, AWetnessWithoutAnIntegerLevelStopsBeforeConverting) {
  const Color red = Color::fromRGBA(1, 0, 0, 1);
  for (float bad : {NAN, INFINITY, -INFINITY, 1e30f}) {
    EXPECT_FATAL_CONTAINING(WetnessUtil::toWetnessColor(red, bad), "has no wetness level");
  }
}

TEST(GpuUtilities, NormalisedStoredBytes) {
  EXPECT_DOUBLE_EQ(WetnessUtil::wetnessNormalized(255), 252.0 / 255);
  EXPECT_DOUBLE_EQ(WetnessUtil::wetnessNormalized(252), 248.0 / 255);
  EXPECT_DOUBLE_EQ(WetnessUtil::wetnessNormalized(4), 0.0);
  EXPECT_DOUBLE_EQ(WetnessUtil::wetnessNormalized(0), 0.0);
}

TEST(GpuUtilities, UnitCircleAndRenamedPoints) {
  testsupport::ConsoleCapture console;
  const Circle c = FindCercle({0, 1, 7}, {1, 0, 0}, {0, -1, 0});
  EXPECT_FLOAT_EQ(c.center.x, 0);
  EXPECT_FLOAT_EQ(c.center.y, 0);
  EXPECT_FLOAT_EQ(c.center.z, 7);
  EXPECT_FLOAT_EQ(c.radius, 1);
  EXPECT_EQ(console.lines(), std::vector<std::string>{"x: 0.0 y:0.0 radius: 1.0"});

  // Two points on one height: the points are renamed so that no slope divides by zero.
  const Circle renamed = FindCercle({-1, 0, 0}, {1, 0, 0}, {0, 1, 0});
  EXPECT_FLOAT_EQ(renamed.center.x, 0);
  EXPECT_FLOAT_EQ(renamed.center.y, 0);
  EXPECT_FLOAT_EQ(renamed.radius, 1);
}

// Points on one line have no circle: the farthest pair's midpoint and half their distance stand
// in, whichever pair it is, so that nothing measured from them is NaN or infinite.
TEST(GpuUtilities, CollinearPointsFallBackToTheFarthestPair) {
  struct Case {
    gpu::float3 p1, p2, p3;
    float cx, cy, radius;
  } cases[] = {
      {{2, 3, 1}, {5, 3, 0}, {9, 3, 0}, 5.5f, 3, 3.5f},         // three equal heights
      {{1, 1, 1}, {7, 4, 0}, {3, 2, 0}, 4, 2.5f, 3.354102f},    // a slanted line, farthest pair p1 p2
      {{4, 6, 1}, {4, -2, 0}, {4, 1, 0}, 4, 2, 4},              // a vertical line
      {{0, 0, 1}, {10, 0.0004f, 0}, {5, 0.0001f, 0}, 5, 0.0002f, 5},  // nearly straight
      {{3, 3, 1}, {3, 3, 0}, {3, 3, 0}, 3, 3, 0},               // one point three times
  };
  for (const auto& k : cases) {
    const Circle c = FindCercle(k.p1, k.p2, k.p3);
    EXPECT_NEAR(c.center.x, k.cx, 1e-5f) << k.p1.x;
    EXPECT_NEAR(c.center.y, k.cy, 1e-5f) << k.p1.x;
    EXPECT_EQ(c.center.z, 1) << k.p1.x;
    EXPECT_NEAR(c.radius, k.radius, 1e-5f) << k.p1.x;
  }
  testsupport::ConsoleCapture console;
  FindCercle({2, 3, 1}, {5, 3, 0}, {9, 3, 0});
  EXPECT_EQ(console.lines(), std::vector<std::string>{"x: 5.5 y:3.0 radius: 3.5"});
}

TEST(GpuUtilities, ColourFromBytesAndRandomRange) {
  EXPECT_EQ(makeColor(255, 0, 51), Color::fromRGBA(1.0, 0.0, 0.2, 1.0));
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(NumberUtil::random(2, 2), 2.0f);
    const float r = NumberUtil::random(-1, 3);
    EXPECT_GE(r, -1.0f);
    EXPECT_LE(r, 3.0f);
  }
  EXPECT_EQ(SceneVector3ToFloat3({1, 2, 3}), (gpu::float3{1, 2, 3}));
}

}  // namespace
