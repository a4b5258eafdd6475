// The canvas's layer operations at their usual sizes, each beside the machine's limit for the
// same memory traffic (the same bytes zeroed or copied on every worker thread).

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "Limits.h"
#include "TestCanvas.h"
#include "foundation/Console.h"
#include "gpu/Parallel.h"
#include "gpu/Texture.h"
#include "kernels/Kernels.h"
#include "tools/ApplicationManager.h"

namespace {

using namespace tessivarium;

constexpr std::int64_t kWidth = 2048, kHeight = 1536;
constexpr std::size_t kTextureBytes = kWidth * kHeight * 4;

void quiet() {
  foundation::setConsoleSink([](std::string_view) {});
  kernels::registerAll();
  testsupport::useFakeTool();
}

// Making a layer: four textures of zeroed memory, a view, the restacking.
void BM_LayerCreate2048x1536(benchmark::State& state) {
  quiet();
  auto canvas = testsupport::makeCanvas(kWidth, kHeight, 1.0, 1, MainPaintId + 1, false);
  for (auto _ : state) {
    canvas->layerCreate();
    state.PauseTiming();
    canvas->doLayerDelete(canvas->layers().back());
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 4 * kTextureBytes));
}
BENCHMARK(BM_LayerCreate2048x1536)->Unit(benchmark::kMillisecond);

void BM_Limit_Zero4Textures(benchmark::State& state) {
  std::vector<std::uint8_t> bytes(4 * kTextureBytes, 1);
  for (auto _ : state) {
    gpu::parallelFor(0, bytes.size(), 1 << 20, [&](std::size_t first, std::size_t end) {
      std::memset(bytes.data() + first, 0, end - first);
    });
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Limit_Zero4Textures)->Unit(benchmark::kMillisecond);

// Shifting three layers: per grid, wet and dry texture one whole copy into the scratch texture and
// one copy of the shifted region back.
void BM_Move10x0ThreeLayers2048x1536(benchmark::State& state) {
  quiet();
  auto canvas = testsupport::makeCanvas(kWidth, kHeight, 1.0, 3);
  // Painted layers: a fresh texture's pages are the system's shared zero page until written.
  const std::vector<std::uint8_t> paint(kTextureBytes, 7);
  for (const auto& layer : canvas->layers()) {
    for (const auto& texture : {layer->gridTexture(), layer->wetTexture(), layer->dryTexture()}) {
      texture->writeRegion(gpu::Region::make2D(0, 0, kWidth, kHeight), 0, paint, kWidth * 4);
    }
  }
  for (auto _ : state) {
    canvas->move(10, 0);
    canvas->redraws.clear();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 18 * kTextureBytes));
}
BENCHMARK(BM_Move10x0ThreeLayers2048x1536)->Unit(benchmark::kMillisecond);

void BM_Limit_Copy18Textures(benchmark::State& state) {
  std::vector<std::uint8_t> from(kTextureBytes, 3), to(kTextureBytes);
  for (auto _ : state) {
    for (int copy = 0; copy < 18; ++copy) benchsupport::copyOnEightThreads(to.data(), from.data(), kTextureBytes);
    benchmark::DoNotOptimize(to.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 18 * kTextureBytes));
}
BENCHMARK(BM_Limit_Copy18Textures)->Unit(benchmark::kMillisecond);

// Restacking twenty layer views (renumbering, hiding, delegates, the host's view order).
void BM_UpdateLayers20(benchmark::State& state) {
  quiet();
  auto canvas = testsupport::makeCanvas(64, 48, 1.0, 20);
  canvas->setLayerIndex(12);
  for (auto _ : state) canvas->updateLayers();
}
BENCHMARK(BM_UpdateLayers20)->Unit(benchmark::kMicrosecond);

}  // namespace
