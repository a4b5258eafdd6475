// The picture kernels work on row runs, as bytes where every texture is RGBA8; here they are
// compared byte for byte with a serial reference that applies the paint model's rules one thread
// position at a time, on random paint, sizes, offsets, grounds, background colours and flags, with
// now and then a texture of another format or size, or an unbound one.

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
using kernels::Texel;

class Cases {
 public:
  explicit Cases(unsigned seed) : random_(seed) {}

  std::size_t below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

  // Mostly the working region's size and format; sometimes another size, format or none at all.
  std::shared_ptr<gpu::Texture> texture(std::size_t w, std::size_t h) {
    if (below(24) == 0) return nullptr;
    if (below(12) == 0) w = 1 + below(w + 8), h = 1 + below(h + 3);
    static const gpu::PixelFormat odd[] = {gpu::PixelFormat::BGRA8Unorm, gpu::PixelFormat::RGBA32Float};
    const auto d = gpu::TextureDescriptor::texture2D(
        below(16) == 0 ? odd[below(2)] : gpu::PixelFormat::RGBA8Unorm, w, h, false);
    auto t = gpu::systemDefaultDevice()->makeTexture(*d);
    const gpu::TexelView v = t->texels();
    for (std::size_t y = 0; y < h; ++y)
      for (std::size_t x = 0; x < w; ++x) {
        // Thin paint now and then, where coverage is partial.
        const Texel texel{byte(), byte(), byte(), below(2) == 0 ? static_cast<std::uint8_t>(below(6)) : byte()};
        kernels::store(v, texel, x, y);
      }
    return t;
  }
  std::uint8_t byte() { return static_cast<std::uint8_t>(below(256)); }
  std::uint32_t offset(std::size_t extent) {
    if (below(10) == 0) return 0xFFFFFFF0u;
    return static_cast<std::uint32_t>(below(extent + 4));
  }
  // An absent flag (its default), 0 or 1.
  void flag(std::map<std::int64_t, Bytes>& buffers, std::int64_t slot) {
    if (const std::size_t f = below(3); f < 2) buffers[slot] = kerneltest::flag(f == 1);
  }

 private:
  std::mt19937 random_;
};

std::shared_ptr<gpu::Texture> cloneOf(const std::shared_ptr<gpu::Texture>& t) {
  if (!t) return nullptr;
  auto clone = gpu::systemDefaultDevice()->makeTexture(
      *gpu::TextureDescriptor::texture2D(t->pixelFormat(), t->width(), t->height(), false));
  std::memcpy(clone->texels().texel(0, 0), t->texels().texel(0, 0), t->texels().bytesPerImage());
  return clone;
}

gpu::TexelView viewOf(const std::shared_ptr<gpu::Texture>& t) { return t ? t->texels() : gpu::TexelView{}; }

const std::uint8_t* bufferAt(const std::map<std::int64_t, Bytes>& buffers, std::int64_t slot) {
  const auto it = buffers.find(slot);
  return it == buffers.end() ? nullptr : it->second.data();
}
bool flagAt(const std::map<std::int64_t, Bytes>& buffers, std::int64_t slot, bool absent) {
  const std::uint8_t* b = bufferAt(buffers, slot);
  return b == nullptr ? absent : *b != 0;
}

// The rules of each kernel at one thread position (x, y), as the kernels README states them.
void referenceTexel(const std::string& kernel, const std::map<std::int64_t, gpu::TexelView>& t,
                    const std::map<std::int64_t, Bytes>& buffers, gpu::uint3 offset, std::size_t x, std::size_t y) {
  using namespace kernels;
  const gpu::TexelView wet = t.at(TEXTURE_WET_READ), dry = t.at(TEXTURE_DRY_READ);
  const bool useDry = flagAt(buffers, BUFFER_USE_DRY, true), withWet = kernel.find("dry") == std::string::npos;
  const Texel w = withWet ? load(wet, x, y) : Texel{}, d = useDry ? load(dry, x, y) : Texel{};
  if (kernel.find("alpha") != std::string::npos) {
    store(t.at(TEXTURE_COLOR_IMAGE_WRITE),
          {255, 255, 255, static_cast<std::uint8_t>(combinedCoverage(coverage(w.a), coverage(d.a)))}, x, y);
  } else if (kernel == "texture_data_to_height_subimage") {
    std::uint8_t lower = 0;
    std::size_t lx, ly, lz;
    if (offsetInto(wet, {static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 0}, offset, lx, ly, lz))
      lower = heightByte(load(wet, lx, ly).a + load(dry, lx, ly).a);
    const std::uint8_t value = std::max(load(t.at(TEXTURE_HEIGHT_IMAGE_READ), x, y).r, lower);
    store(t.at(TEXTURE_HEIGHT_IMAGE_WRITE), {value, value, value, 255}, x, y);
  } else {
    const GroundRelief ground(flagAt(buffers, BUFFER_SHOW_GROUND, false) ? t.at(TEXTURE_GROUND) : gpu::TexelView{});
    gpu::float4 colour{1, 1, 1, 1};
    if (const std::uint8_t* b = bufferAt(buffers, BUFFER_COLOR)) std::memcpy(&colour, b, sizeof colour);
    const Texel background = bytesOf(colour);
    const int relief = ground.at(std::uint64_t{x} + offset.x, std::uint64_t{y} + offset.y);
    store(t.at(TEXTURE_HEIGHT_IMAGE_WRITE), grey(heightByte(relief + w.a + d.a)), x, y);
    // The paint's own colour, wet over dry; the background only where there is no paint.
    Texel c = over(w, d.a > 0 ? d : w.a > 0 ? w : background);
    c.a = static_cast<std::uint8_t>(
        background.a + scale255(255 - background.a, combinedCoverage(coverage(w.a), coverage(d.a))));
    store(t.at(TEXTURE_COLOR_IMAGE_WRITE), c, x, y);
  }
}

TEST(PictureKernelsDifferential, RowFormsGiveTheBytesOfThePerTexelRules) {
  const std::string kernels[] = {"texture_data_to_height_image", "texture_data_to_height_dry_image",
                                 "texture_data_to_height_subimage", "texture_data_to_height_alpha",
                                 "texture_data_to_height_dry_alpha"};
  Cases cases(46);
  for (int round = 0; round < 400; ++round) {
    const std::string& kernel = kernels[round % 5];
    const bool fold = kernel == "texture_data_to_height_subimage";
    // A region of up to 150 x 20 cells (sometimes large enough to run on the worker threads); the
    // folded layer is larger than the region, as a layer is.
    const bool large = cases.below(5) == 0;
    const std::size_t w = 1 + cases.below(large ? 300 : 150), h = 1 + cases.below(large ? 60 : 20);
    const std::size_t layerW = fold ? w + cases.below(40) : w, layerH = fold ? h + cases.below(8) : h;
    KernelRun run{kernel, {}, {}, nullptr};
    run.textures[TEXTURE_WET_READ] = cases.texture(layerW, layerH);
    run.textures[TEXTURE_DRY_READ] = cases.texture(layerW, layerH);
    run.textures[TEXTURE_GROUND] = cases.texture(cases.below(2) ? 8 : 1 + cases.below(9), 1 + cases.below(9));
    run.textures[TEXTURE_HEIGHT_IMAGE_WRITE] = cases.texture(w, h);
    run.textures[TEXTURE_HEIGHT_IMAGE_READ] = cases.below(4) ? run.textures[TEXTURE_HEIGHT_IMAGE_WRITE] : cases.texture(w, h);
    run.textures[TEXTURE_COLOR_IMAGE_WRITE] = cases.texture(w, h);
    // Now and then a texture the kernel writes is one it reads too: its second dispatch then works
    // on what the first one wrote, and must run again.
    if (!fold && cases.below(6) == 0) {
      const std::int64_t read = cases.below(2) == 0 ? TEXTURE_WET_READ : TEXTURE_DRY_READ;
      run.textures[read] = run.textures[cases.below(2) == 0 ? TEXTURE_HEIGHT_IMAGE_WRITE : TEXTURE_COLOR_IMAGE_WRITE];
    }
    const gpu::uint3 offset{cases.offset(layerW - w), cases.offset(layerH - h), 0};
    run.buffers[BUFFER_OFFSET] = offsetRecord(offset.x, offset.y);
    cases.flag(run.buffers, BUFFER_USE_DRY);
    cases.flag(run.buffers, BUFFER_SHOW_GROUND);
    if (cases.below(4) > 0) {
      const auto channel = [&] { return static_cast<float>(cases.below(300)) / 255.0f - 0.05f; };
      run.buffers[BUFFER_COLOR] = floatRecord({channel(), channel(), channel(), channel()});
    }
    // The grid the pass dispatches: over the region, sometimes short of it or past it.
    const std::size_t gridW = w + cases.below(9);
    run.gridOver = kerneltest::texture(gridW > 4 ? gridW - 4 : 1, h + cases.below(3));
    run.dispatches = 2;

    // The reference on copies (one copy of a texture bound at several slots), one position at a
    // time over the grid the run dispatches, once for each of its two dispatches.
    std::map<std::int64_t, std::shared_ptr<gpu::Texture>> copies;
    std::map<std::int64_t, gpu::TexelView> views;
    std::map<const gpu::Texture*, std::shared_ptr<gpu::Texture>> copyOf;
    for (const auto& [slot, texture] : run.textures) {
      auto& copy = copyOf[texture.get()];
      if (!copy) copy = cloneOf(texture);
      copies[slot] = copy;
    }
    for (const auto& [slot, texture] : copies) views[slot] = viewOf(texture);
    const gpu::TexelView h0 = views[TEXTURE_HEIGHT_IMAGE_WRITE], c0 = views[TEXTURE_COLOR_IMAGE_WRITE];
    std::size_t limitW = c0.width(), limitH = c0.height();
    if (fold) limitW = h0.width(), limitH = h0.height();
    if (kernel.find("height_image") != std::string::npos || kernel.find("dry_image") != std::string::npos)
      limitW = std::max(h0.width(), c0.width()), limitH = std::max(h0.height(), c0.height());
    const std::size_t threadsW = (run.gridOver->width() + 3) / 4 * 4, threadsH = (run.gridOver->height() + 3) / 4 * 4;
    for (int dispatch = 0; dispatch < run.dispatches; ++dispatch)
      for (std::size_t y = 0; y < std::min(threadsH, limitH); ++y)
        for (std::size_t x = 0; x < std::min(threadsW, limitW); ++x)
          referenceTexel(kernel, views, run.buffers, offset, x, y);

    kerneltest::run(run);
    for (const std::int64_t slot : {TEXTURE_HEIGHT_IMAGE_WRITE, TEXTURE_COLOR_IMAGE_WRITE}) {
      if (!run.textures[slot]) continue;
      ASSERT_EQ(contents(*run.textures[slot]), contents(*copies[slot]))
          << kernel << ", round " << round << ", slot " << slot << ", region " << w << " x " << h << ", offset "
          << offset.x << ", " << offset.y;
    }
  }
}

}  // namespace
