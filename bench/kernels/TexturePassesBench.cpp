// The texture-maintenance passes as a frame runs them: encode into a command buffer and commit
// (which runs the kernels). The data-to-height and alpha passes dispatch their kernel twice.

#include <benchmark/benchmark.h>

#include <memory>

#include "Surface.h"
#include "components/DrawingPaint.h"
#include "foundation/Console.h"
#include "gpu/Gpu.h"
#include "graphics/Color.h"
#include "kernels/Kernels.h"
#include "tools/ApplicationManager.h"
#include "tools/EncodersProvider.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/TextureDataToAlpha.h"
#include "tools/TextureDataToHeight.h"
#include "tools/TextureReset.h"

namespace {

using namespace tessivarium;

// A main canvas with a white ground, and working textures holding paint in every other cell.
struct Bench {
  Bench() {
    foundation::setConsoleSink([](std::string_view) {});
    kernels::registerAll();
    auto& manager = AppManager();
    canvas = std::make_shared<DrawingPaint>(
        MainPaintId, std::make_shared<Artwork>("bench", 2048, 1536, Surface::FindSurface(SurfaceId::Flat)));
    canvas->setBackgroundColor(graphics::Color::fromRGBA(0.9, 0.9, 0.85, 1.0));
    canvas->setShowSurface(true);
    canvas->setShowBackground(true);
    canvas->setGroundTexture(manager.makeTexture(512, 512));
    manager.setCurrentPaint(canvas);
    auto& working = manager.surfaceTextures();
    for (const auto& t : {working.wetTexture0(), working.dryTexture0()}) {
      const gpu::TexelView v = t->texels();
      for (std::size_t y = 0; y < v.height(); ++y)
        for (std::size_t x = (y & 1); x < v.width(); x += 2) {
          std::uint8_t* p = v.texel(x, y);
          p[0] = 200, p[1] = 80, p[2] = 40, p[3] = 30;
        }
    }
  }

  template <typename Pass>
  void frame(Pass& pass) {
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    pass.encode(*canvas, *buffer);
    buffer->commit();
  }

  std::shared_ptr<DrawingPaint> canvas;
};

Bench& bench() {
  static Bench b;
  return b;
}

void BM_DataToHeight256(benchmark::State& state) {
  auto& b = bench();
  auto& working = AppManager().surfaceTextures();
  auto& pass = *EncodersProvider().getTextureDataToHeightImage(working.renderingTexture(),
                                                               working.renderingColorTexture());
  for (auto _ : state) b.frame(pass);
}
BENCHMARK(BM_DataToHeight256)->Unit(benchmark::kMicrosecond);

void BM_DataToAlpha256(benchmark::State& state) {
  auto& b = bench();
  auto& pass = *EncodersProvider().getTextureDataToAlphaImage(AppManager().surfaceTextures().renderingAlphaTexture());
  for (auto _ : state) b.frame(pass);
}
BENCHMARK(BM_DataToAlpha256)->Unit(benchmark::kMicrosecond);

void BM_LayerReset2048x1536(benchmark::State& state) {
  auto& b = bench();
  const auto layer = AppManager().makeTexture(2048, 1536);
  auto& pass = *EncodersProvider().getTextureReset2D();
  pass.setTexture(layer);
  for (auto _ : state) b.frame(pass);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 2048 * 1536 * 4);
}
BENCHMARK(BM_LayerReset2048x1536)->Unit(benchmark::kMicrosecond);

}  // namespace
