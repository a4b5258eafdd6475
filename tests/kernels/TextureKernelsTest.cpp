// The copy, overlay and reset kernels on small textures.

#include <gtest/gtest.h>

#include "KernelHarness.h"
#include "utils/KernelInterface.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

std::size_t countNot(const gpu::Texture& t, Texel value) {
  std::size_t n = 0;
  for (std::size_t z = 0; z < t.depth(); ++z)
    for (std::size_t y = 0; y < t.height(); ++y)
      for (std::size_t x = 0; x < t.width(); ++x) n += at(t, x, y, z) != value;
  return n;
}

TEST(TextureKernels, ClearEveryTexelPartialGroupsIncluded) {
  const Texel full{255, 255, 255, 255}, zero{0, 0, 0, 0};
  const auto flat = texture(102, 103);
  fill(*flat, full);
  run({"pic_flip_texture_reset2D", {{TEXTURE_RESET, flat}},
       {{BUFFER_OFFSET, offsetRecord(0, 0)}, {BUFFER_VALUE, floatRecord({0, 0, 0, 0})}}, flat});
  EXPECT_EQ(countNot(*flat, zero), 0u);

  const auto deep = texture(10, 7, 9);
  fill(*deep, full);
  run({"pic_flip_texture_reset", {{TEXTURE_RESET, deep}},
       {{BUFFER_OFFSET, offsetRecord(0, 0)}, {BUFFER_VALUE, floatRecord({0, 0, 0, 0})}}, deep, true});
  EXPECT_EQ(countNot(*deep, zero), 0u);

  // The 2-D reset over a 3-D texture clears each column whole.
  fill(*deep, full);
  run({"pic_flip_texture_reset2D", {{TEXTURE_RESET, deep}}, {}, deep});
  EXPECT_EQ(countNot(*deep, zero), 0u);
}

TEST(TextureKernels, ClearValueAndOffsetAreHonoured) {
  const auto t = texture(6, 6);
  fill(*t, {9, 9, 9, 9});
  run({"pic_flip_texture_reset2D", {{TEXTURE_RESET, t}},
       {{BUFFER_OFFSET, offsetRecord(2, 3)}, {BUFFER_VALUE, floatRecord({1.0f, 0.5f, 0.0f, 1.0f})}}, t});
  EXPECT_EQ(at(*t, 1, 5), (Texel{9, 9, 9, 9}));
  EXPECT_EQ(at(*t, 2, 3), (Texel{255, 128, 0, 255}));
  EXPECT_EQ(at(*t, 5, 5), (Texel{255, 128, 0, 255}));
}

TEST(TextureKernels, CopiesTheCommonRegion) {
  const auto from = texture(6, 5, 3), to = texture(4, 7, 2);
  for (std::size_t z = 0; z < 3; ++z)
    for (std::size_t y = 0; y < 5; ++y)
      for (std::size_t x = 0; x < 6; ++x)
        set(*from, x, y, {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(z), 1}, z);
  fill(*to, {7, 7, 7, 7});
  run({"pic_flip_texture_copy", {{TEXTURE_COPY_FROM, from}, {TEXTURE_COPY_TO, to}}, {}, from, true});
  EXPECT_EQ(at(*to, 3, 4, 1), (Texel{3, 4, 1, 1}));
  EXPECT_EQ(at(*to, 0, 0, 0), (Texel{0, 0, 0, 1}));
  EXPECT_EQ(at(*to, 2, 5, 1), (Texel{7, 7, 7, 7})) << "below the source";
}

TEST(TextureKernels, LayPaintOverByItsThickness) {
  const auto from = texture(4, 1), to = texture(4, 1);
  set(*from, 0, 0, {255, 0, 0, 5});    // thick enough to hide what is under it
  set(*from, 1, 0, {255, 0, 0, 2});    // a thin film: 2/5 of its colour
  set(*from, 2, 0, {255, 0, 0, 0});    // no paint
  set(*from, 3, 0, {0, 255, 0, 200});  // over nothing
  set(*to, 0, 0, {0, 0, 255, 10});
  set(*to, 1, 0, {0, 0, 255, 10});
  set(*to, 2, 0, {0, 0, 255, 100});
  run({"textureOverlay2D", {{TEXTURE_COPY_FROM, from}, {TEXTURE_COPY_TO, to}}, {}, to});
  EXPECT_EQ(at(*to, 0, 0), (Texel{255, 0, 0, 15}));
  EXPECT_EQ(at(*to, 1, 0), (Texel{102, 0, 153, 12}));
  EXPECT_EQ(at(*to, 2, 0), (Texel{0, 0, 255, 100}));
  EXPECT_EQ(at(*to, 3, 0), (Texel{0, 255, 0, 200}));

  // Thickness adds up to the full scale at most.
  set(*from, 2, 0, {10, 10, 10, 200});
  run({"textureOverlay2D", {{TEXTURE_COPY_FROM, from}, {TEXTURE_COPY_TO, to}}, {}, to});
  EXPECT_EQ(at(*to, 2, 0)[3], 255);
}

TEST(TextureKernels, TheThreeDimensionalOverlayTakesEverySlice) {
  const auto from = texture(2, 2, 3), to2D = texture(2, 2, 3), to3D = texture(2, 2, 3);
  fill(*from, {200, 0, 0, 5});
  run({"textureOverlay2D", {{TEXTURE_COPY_FROM, from}, {TEXTURE_COPY_TO, to2D}}, {}, to2D});
  run({"textureOverlay", {{TEXTURE_COPY_FROM, from}, {TEXTURE_COPY_TO, to3D}}, {}, to3D});
  EXPECT_EQ(at(*to2D, 1, 1, 0), (Texel{200, 0, 0, 5}));
  EXPECT_EQ(at(*to2D, 1, 1, 2), (Texel{0, 0, 0, 0}));
  EXPECT_EQ(at(*to3D, 1, 1, 2), (Texel{200, 0, 0, 5}));
}

}  // namespace
