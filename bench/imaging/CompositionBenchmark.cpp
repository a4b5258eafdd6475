// The per-frame picture composition of one 256 x 256 working region: two shaded materials, two
// hard lights, two alpha sets and a merge, scaled, cropped, placed and rendered into a texture,
// as the composition chains them.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "gpu/Gpu.h"
#include "graphics/Image.h"
#include "imaging/Context.h"
#include "imaging/Kernel.h"

namespace {

using imaging::Image;
using imaging::ImagePtr;

constexpr std::size_t kRegion = 256;

std::shared_ptr<gpu::Texture> randomTexture(std::mt19937& random, bool grey) {
  auto t = gpu::systemDefaultDevice()->makeTexture(
      gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA8Unorm, kRegion, kRegion, false));
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  const gpu::TexelView view = t->texels();
  for (std::size_t j = 0; j < kRegion; ++j) {
    for (std::size_t i = 0; i < kRegion; ++i) {
      const float r = unit(random);
      view.write(grey ? gpu::float4{r, r, r, 1} : gpu::float4{r, unit(random), unit(random), unit(random)}, i, j);
    }
  }
  return t;
}

// A lit hemisphere, as a host's shading picture.
ImagePtr shadingImage() {
  constexpr std::size_t n = 128;
  std::vector<std::uint8_t> pixels(n * n * 4);
  for (std::size_t row = 0; row < n; ++row) {
    for (std::size_t x = 0; x < n; ++x) {
      const double u = (x + 0.5) / n * 2 - 1, v = 1 - (row + 0.5) / n * 2;
      const double z = std::sqrt(std::max(0.0, 1 - u * u - v * v));
      const double light = std::clamp(0.3 + 0.7 * (-0.4 * u + 0.4 * v + 0.8 * z), 0.0, 1.0);
      std::uint8_t* p = &pixels[(row * n + x) * 4];
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(light * 255);
      p[3] = 255;
    }
  }
  return Image::fromGraphicsImage(std::make_shared<graphics::Image>(
      graphics::Bitmap::make(n, n, std::move(pixels), graphics::AlphaMode::Straight)));
}

ImagePtr shade(const ImagePtr& shading, const std::shared_ptr<gpu::Texture>& height,
               const std::shared_ptr<gpu::Texture>& color) {
  return Image::fromTexture(height)
      ->applyingFilter("CIShadedMaterial", {{"inputShadingImage", shading}})
      ->applyingFilter("CIHardLightBlendMode", {{"inputBackgroundImage", Image::fromTexture(color)}});
}

void BM_ComposeWorkingRegion(benchmark::State& state) {
  std::mt19937 random(7);
  const auto height = randomTexture(random, true), color = randomTexture(random, false),
             alpha = randomTexture(random, false), dryHeight = randomTexture(random, true),
             dryColor = randomTexture(random, false), dryAlpha = randomTexture(random, false);
  const auto target = randomTexture(random, false);
  const auto alphaSet = imaging::Kernel::fromSource("kernel vec4 alphaSet(sampler src, sampler alpha) {}");
  const auto merge = imaging::Kernel::fromSource("kernel vec4 mergeKernel(sampler src, sampler back) {}");
  const imaging::Kernel::RegionOfInterest same = [](std::size_t, const graphics::Rect& r) { return r; };
  const ImagePtr shading = shadingImage();

  const ImagePtr paint = shade(shading, height, color);
  const ImagePtr paintWithAlpha = alphaSet->apply(paint->extent(), same, {paint, Image::fromTexture(alpha)});
  const ImagePtr dry = shade(shading, dryHeight, dryColor);
  const ImagePtr dryWithAlpha = alphaSet->apply(dry->extent(), same, {dry, Image::fromTexture(dryAlpha)});
  const ImagePtr picture = merge->apply(paintWithAlpha->extent(), same, {paintWithAlpha, dryWithAlpha});
  // Artwork scale 1, origin (0, 0): crop the one-cell border, bounds to the far corner.
  const ImagePtr placed = picture->transformed(graphics::AffineTransform::makeScale(1, 1))
                              ->cropped(graphics::Rect(1, 1, 254, 254))
                              ->transformed(graphics::AffineTransform::makeTranslation(0, 0));
  const auto context = imaging::Context::make(gpu::systemDefaultDevice());

  for (auto _ : state) {
    context->render(placed, target, nullptr, graphics::Rect(0, 0, 255, 255), graphics::ColorSpace::DeviceRGB);
    benchmark::DoNotOptimize(target->texels().texel(1, 1)[0]);
  }
  state.SetItemsProcessed(state.iterations() * 254 * 254);
}
BENCHMARK(BM_ComposeWorkingRegion)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
