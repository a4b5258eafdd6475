// One composition of a stroke frame: a 256 x 256 working region over two visible lower layers, in
// Stack mode without the background, from the paint data to the placed picture in the layer's
// painting texture (height, lower-layer, alpha and dry passes with their kernels, then shading,
// alpha set, merge, scale, crop and render), committed on one command buffer.

#include <benchmark/benchmark.h>

#include <random>

#include "TestCanvas.h"
#include "foundation/Console.h"
#include "gpu/Gpu.h"
#include "kernels/Kernels.h"
#include "tools/ApplicationManager.h"
#include "tools/SurfaceWorkingTextures.h"
#include "utils/CoreImageUtil.h"

namespace {

using tessivarium::AppManager;

// Paint of random colour and thickness everywhere, wetness in the grid.
void fillWithPaint(gpu::Texture& texture, std::mt19937& random) {
  std::uniform_int_distribution<int> byte(0, 255);
  const std::size_t w = texture.width(), h = texture.height();
  std::vector<std::uint8_t> bytes(w * h * 4);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(byte(random));
  texture.writeRegion(gpu::Region::make2D(0, 0, w, h), 0, bytes, w * 4);
}

std::shared_ptr<gpu::Texture> filled(std::size_t w, std::size_t h, std::mt19937& random) {
  auto t = AppManager().makeTexture(static_cast<std::int64_t>(w), static_cast<std::int64_t>(h));
  fillWithPaint(*t, random);
  return t;
}

void BM_RenderWorkingRegionOverTwoLowerLayers(benchmark::State& state) {
  foundation::setConsoleSink([](std::string_view) {});
  kernels::registerAll();
  std::mt19937 random(7);

  testsupport::useFakeTool();
  auto canvas = testsupport::makeCanvas(512, 512, 1.0, 3);
  canvas->setLayerMode(tessivarium::LayerMode::Stack);
  canvas->setShowBackground(false);
  canvas->setBackgroundColor(graphics::Color::fromRGBA(0.95, 0.93, 0.9, 1.0));
  canvas->setGroundTexture(filled(64, 64, random));
  canvas->setShadingImage(imaging::Image::fromTexture(filled(128, 128, random)));
  AppManager().setCurrentPaint(canvas);
  for (std::size_t i = 0; i < 3; ++i) {
    auto& layer = canvas->layer(i);
    fillWithPaint(*layer.gridTexture(), random);
    fillWithPaint(*layer.wetTexture(), random);
    fillWithPaint(*layer.dryTexture(), random);
  }
  auto& working = AppManager().surfaceTextures();
  fillWithPaint(*working.gridTexture0(), random);
  fillWithPaint(*working.wetTexture0(), random);
  fillWithPaint(*working.dryTexture0(), random);
  const auto painting = canvas->layer(2).paintingTexture();

  for (auto _ : state) {
    auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    tessivarium::CoreImageUtil::render(*canvas, painting, buffer, 128, 128);
    buffer->commit();
  }
  foundation::setConsoleSink({});
}
BENCHMARK(BM_RenderWorkingRegionOverTwoLowerLayers)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
