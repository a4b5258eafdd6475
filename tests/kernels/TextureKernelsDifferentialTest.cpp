// The copy, overlay and reset kernels work on whole row runs; here they are compared byte for byte
// with a plain serial reference that follows their rules one thread position at a time, on random sizes,
// offsets, clear values and formats, 2-D and 3-D textures, and grids that overhang the texture or
// fall short of it.

#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "KernelHarness.h"
#include "kernels/PaintModel.h"
#include "utils/KernelInterface.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

constexpr gpu::PixelFormat kFormats[] = {gpu::PixelFormat::RGBA8Unorm, gpu::PixelFormat::BGRA8Unorm,
                                         gpu::PixelFormat::RGBA32Float};

struct Grid {
  gpu::Size groups, threads;
  gpu::Size size() const {
    return {groups.width * threads.width, groups.height * threads.height, groups.depth * threads.depth};
  }
};

class Cases {
 public:
  explicit Cases(unsigned seed) : random_(seed) {}

  std::size_t below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
  gpu::PixelFormat format() { return kFormats[below(3)]; }

  // A texture of a random size (large enough now and then to run on the worker threads) full of
  // random bytes.
  std::shared_ptr<gpu::Texture> texture(gpu::PixelFormat format, bool threeD) {
    gpu::TextureDescriptor d;
    d.textureType = threeD ? gpu::TextureType::Type3D : gpu::TextureType::Type2D;
    d.pixelFormat = format;
    const bool large = below(4) == 0;
    d.width = 1 + below(large ? 150 : 40), d.height = 1 + below(large ? 90 : 20), d.depth = threeD ? 1 + below(9) : 1;
    auto t = gpu::systemDefaultDevice()->makeTexture(d);
    const gpu::TexelView v = t->texels();
    std::uint8_t* bytes = v.texel(0, 0, 0);
    for (std::size_t i = 0; i < v.bytesPerImage() * v.depth(); ++i) bytes[i] = static_cast<std::uint8_t>(below(256));
    return t;
  }

  // Groups of a usual or an odd shape, their count rounded up over `t` and then moved by -1, 0 or +1
  // in each dimension, so the grid may fall short of the texture or overhang it.
  Grid grid(const gpu::Texture& t, bool threeD) {
    static const gpu::Size shapes[] = {{4, 4, 1}, {4, 4, 8}, {32, 1, 1}, {3, 5, 2}};
    const gpu::Size threads = shapes[threeD ? 1 + below(3) : (below(2) == 0 ? 0 : 2)];
    const auto count = [&](std::size_t extent, std::size_t per) {
      const std::size_t n = (extent + per - 1) / per + below(3);
      return n == 0 ? 0 : n - 1;
    };
    return {{count(t.width(), threads.width), count(t.height(), threads.height), count(t.depth(), threads.depth)},
            threads};
  }

  // Mostly small offsets, some past the edge, one now and then large enough to wrap 32 bits.
  std::uint32_t offset(std::size_t extent) {
    if (below(8) == 0) return 0xFFFFFFF0u;
    return below(4) == 0 ? static_cast<std::uint32_t>(below(extent + 3)) : static_cast<std::uint32_t>(below(3));
  }

  float channel() { return std::uniform_real_distribution<float>(-0.2f, 1.2f)(random_); }

 private:
  std::mt19937 random_;
};

std::shared_ptr<gpu::Texture> cloneOf(const gpu::Texture& t) {
  gpu::TextureDescriptor d;
  d.textureType = t.textureType();
  d.pixelFormat = t.pixelFormat();
  d.width = t.width(), d.height = t.height(), d.depth = t.depth();
  auto clone = gpu::systemDefaultDevice()->makeTexture(d);
  std::memcpy(clone->texels().texel(0, 0, 0), t.texels().texel(0, 0, 0), t.texels().bytesPerImage() * t.depth());
  return clone;
}

void dispatch(const std::string& kernel, const std::map<std::int64_t, std::shared_ptr<gpu::Texture>>& textures,
              const std::map<std::int64_t, Bytes>& buffers, const Grid& grid) {
  const auto device = gpu::systemDefaultDevice();
  const auto buffer = device->makeCommandQueue()->makeCommandBuffer();
  const auto encoder = buffer->makeComputeCommandEncoder();
  encoder->setComputePipelineState(device->makeComputePipelineState(device->makeDefaultLibrary()->makeFunction(kernel)));
  for (const auto& [slot, t] : textures) encoder->setTexture(t, slot);
  for (const auto& [slot, bytes] : buffers) encoder->setBuffer(bufferOf(bytes), 0, slot);
  encoder->dispatchThreadgroups(grid.groups, grid.threads);
  encoder->endEncoding();
  buffer->commit();
}

// Calls visit(x, y, z) for every position of the grid inside `limit`, in order, on this thread.
template <class Visit>
void eachPosition(const Grid& grid, gpu::Size limit, Visit visit) {
  const gpu::Size g = grid.size();
  for (std::size_t z = 0; z < std::min(g.depth, limit.depth); ++z)
    for (std::size_t y = 0; y < std::min(g.height, limit.height); ++y)
      for (std::size_t x = 0; x < std::min(g.width, limit.width); ++x) visit(x, y, z);
}

// The copy's rule: every position of the common extent, bytes unchanged between equal formats,
// converted through normalised colour otherwise.
void referenceCopy(const gpu::TexelView& from, const gpu::TexelView& to, const Grid& grid) {
  const gpu::Size common{std::min(from.width(), to.width()), std::min(from.height(), to.height()),
                         std::min(from.depth(), to.depth())};
  eachPosition(grid, common, [&](std::size_t x, std::size_t y, std::size_t z) {
    if (from.pixelFormat() == to.pixelFormat()) {
      std::memcpy(to.texel(x, y, z), from.texel(x, y, z), to.bytesPerPixel());
    } else {
      to.write(from.read(x, y, z), x, y, z);
    }
  });
}

// The overlay's rule, for each column of the 2-D grid over `to` (every common slice, or slice 0):
// no paint leaves the target's colour, paint over nothing is copied, otherwise the colour mixes by the
// paint's coverage and the thicknesses add up to 255.
void referenceOverlay(const gpu::TexelView& from, const gpu::TexelView& to, bool everySlice, const Grid& grid) {
  const std::size_t slices = everySlice ? std::min(from.depth(), to.depth()) : 1;
  eachPosition(grid, {to.width(), to.height(), 1}, [&](std::size_t x, std::size_t y, std::size_t) {
    for (std::size_t z = 0; z < slices; ++z) {
      const kernels::Texel paint = kernels::load(from, x, y, z), under = kernels::load(to, x, y, z);
      // Every texel is stored back, so a float target keeps only what bytes can hold.
      kernels::Texel laid = paint.a == 0 ? under : paint;
      if (paint.a != 0 && under.a != 0) {
        laid = kernels::over(paint, under);
        laid.a = static_cast<std::uint8_t>(std::min(255, paint.a + under.a));
      }
      kernels::store(to, laid, x, y, z);
    }
  });
}

// The reset's rule: each position moved by the offset (in 64 bits) gets the value when it lands
// inside; the 2-D reset clears the rest of the column from there.
void referenceReset(const gpu::TexelView& target, gpu::float4 value, std::uint32_t offset[3], bool wholeColumns,
                    const Grid& grid) {
  const gpu::Size limit{target.width(), target.height(), wholeColumns ? 1 : target.depth()};
  eachPosition(grid, limit, [&](std::size_t x, std::size_t y, std::size_t z) {
    const std::uint64_t ox = x + std::uint64_t{offset[0]}, oy = y + std::uint64_t{offset[1]},
                        oz = z + std::uint64_t{offset[2]};
    if (ox >= target.width() || oy >= target.height() || oz >= target.depth()) return;
    for (std::uint64_t slice = oz; slice < (wholeColumns ? target.depth() : oz + 1); ++slice)
      target.write(value, ox, oy, slice);
  });
}

std::string describe(const char* kernel, const gpu::Texture& t, const Grid& g, int i) {
  return std::string(kernel) + " case " + std::to_string(i) + ": texture " + std::to_string(t.width()) + " x " +
         std::to_string(t.height()) + " x " + std::to_string(t.depth()) + " format " +
         std::to_string(static_cast<int>(t.pixelFormat())) + ", grid " + std::to_string(g.size().width) + " x " +
         std::to_string(g.size().height) + " x " + std::to_string(g.size().depth);
}

TEST(TextureKernelsDifferential, CopyMatchesTheSerialReference) {
  Cases cases(20261209);
  for (int i = 0; i < 150; ++i) {
    const bool threeD = cases.below(2) == 0;
    const auto from = cases.texture(cases.format(), threeD);
    const auto to = cases.texture(cases.below(2) == 0 ? from->pixelFormat() : cases.format(), cases.below(2) == 0);
    const Grid grid = cases.grid(*from, threeD);
    const auto expected = cloneOf(*to);
    referenceCopy(from->texels(), expected->texels(), grid);
    dispatch("pic_flip_texture_copy", {{TEXTURE_COPY_FROM, from}, {TEXTURE_COPY_TO, to}}, {}, grid);
    ASSERT_EQ(contents(*to), contents(*expected)) << describe("copy", *to, grid, i);
  }
}

TEST(TextureKernelsDifferential, OverlaysMatchTheSerialReference) {
  Cases cases(4242);
  for (int i = 0; i < 150; ++i) {
    const bool everySlice = cases.below(2) == 0, threeD = cases.below(2) == 0;
    const auto to = cases.texture(cases.format(), threeD);
    const auto from = cases.texture(cases.below(3) != 0 ? to->pixelFormat() : cases.format(), cases.below(2) == 0);
    // Some texels without paint on either side, so each rule is met.
    for (const auto& [t, every] : {std::pair{from, 3}, std::pair{to, 5}}) {
      const gpu::TexelView v = t->texels();
      for (std::size_t k = 0; k < v.width() * v.height() * v.depth(); k += every)
        v.write({0, 0, 0, 0}, k % v.width(), k / v.width() % v.height(), k / (v.width() * v.height()));
    }
    const Grid grid = cases.grid(*to, false);
    const auto expected = cloneOf(*to);
    referenceOverlay(from->texels(), expected->texels(), everySlice, grid);
    const char* kernel = everySlice ? "textureOverlay" : "textureOverlay2D";
    dispatch(kernel, {{TEXTURE_COPY_FROM, from}, {TEXTURE_COPY_TO, to}}, {}, grid);
    ASSERT_EQ(contents(*to), contents(*expected)) << describe(kernel, *to, grid, i);
  }
}

TEST(TextureKernelsDifferential, ResetsMatchTheSerialReference) {
  Cases cases(77);
  for (int i = 0; i < 200; ++i) {
    const bool wholeColumns = cases.below(2) == 0, threeD = cases.below(2) == 0;
    const auto target = cases.texture(cases.format(), threeD);
    const Grid grid = cases.grid(*target, threeD && !wholeColumns);
    std::uint32_t offset[3] = {cases.offset(target->width()), cases.offset(target->height()),
                               threeD ? cases.offset(target->depth()) : 0};
    // Now and then no value is bound: zeros.
    const bool bound = cases.below(5) != 0;
    const gpu::float4 value =
        bound ? gpu::float4{cases.channel(), cases.channel(), cases.channel(), cases.channel()} : gpu::float4{};
    const auto expected = cloneOf(*target);
    referenceReset(expected->texels(), value, offset, wholeColumns, grid);
    std::map<std::int64_t, Bytes> buffers{{BUFFER_OFFSET, offsetRecord(offset[0], offset[1], offset[2])}};
    if (bound) buffers[BUFFER_VALUE] = floatRecord({value.x, value.y, value.z, value.w});
    const char* kernel = wholeColumns ? "pic_flip_texture_reset2D" : "pic_flip_texture_reset";
    dispatch(kernel, {{TEXTURE_RESET, target}}, buffers, grid);
    ASSERT_EQ(contents(*target), contents(*expected)) << describe(kernel, *target, grid, i);
  }
}

}  // namespace
