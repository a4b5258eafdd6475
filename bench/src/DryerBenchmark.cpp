// One step of a dryer stroke as a frame runs it, on a 2048 x 1536 layer: the encode of 36 samples
// over 105 view points through the dryer's surface (spacing and upload, then the paint pass, whose
// grid spans the whole layer picture, 3.1 million threads, of which only those over the samples'
// reach do any work), committed on one command buffer. The window is loaded once before and holds
// random paint.
// Beside it, the machine's limit: 8 threads copying the working window's bytes (its grid, wet and
// dry textures and the picture's pixels over it, 1 MiB) with memcpy. Each figure carries the
// machine's one-minute load average, taken as it ran.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "Limits.h"
#include "TestCanvas.h"
#include "foundation/Console.h"
#include "gpu/Gpu.h"
#include "kernels/Kernels.h"
#include "tools/ApplicationManager.h"
#include "tools/DebugSwitches.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/dryer/DryerTool.h"

namespace {

using namespace tessivarium;

constexpr std::size_t kSamples = 36;
// The working window's grid, wet and dry textures and the picture's pixels over it.
constexpr std::size_t kWindowBytes = 4 * MAC_WIDTH * MAC_WIDTH * 4;

void fillWithPaint(gpu::Texture& texture, std::mt19937& random) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<std::uint8_t> bytes(texture.width() * texture.height() * 4);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(byte(random));
  texture.writeRegion(gpu::Region::make2D(0, 0, texture.width(), texture.height()), 0, bytes, texture.width() * 4);
}

void countLoadAverage(benchmark::State& state) {
  double load[1] = {0};
  if (getloadavg(load, 1) == 1) state.counters["load1"] = load[0];
}

struct DryerStroke {
  DryerStroke() {
    foundation::setConsoleSink([](std::string_view) {});
    kernels::registerAll();
    std::mt19937 random(7);
    canvas = testsupport::makeCanvas(2048, 1536, 1.0, 2);
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
    auto shading = AppManager().makeTexture(128, 128);
    fillWithPaint(*shading, random);
    canvas->setShadingImage(imaging::Image::fromTexture(shading));
    AppManager().setCurrentTool(tool);
    for (std::size_t i = 0; i < kSamples; ++i) {
      samples.push_back(std::make_shared<TouchInput>(graphics::Point(600.0 + 3.0 * static_cast<double>(i), 640.0),
                                                     1.0f, 0.9f, 0.3f));
    }
    // The first step loads the window; the random paint then goes into it, and the measured steps
    // reuse it.
    auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    encodeFrame(*buffer);
    buffer->commit();
    auto& working = AppManager().surfaceTextures();
    for (const auto& t : {working.gridTexture0(), working.wetTexture0(), working.dryTexture0()}) fillWithPaint(*t, random);
  }
  ~DryerStroke() {
    canvas->cleanResources();
    AppManager().setCurrentPaint(nullptr);
    AppManager().setCanvas(nullptr);
    foundation::setConsoleSink({});
  }
  void encodeFrame(gpu::CommandBuffer& buffer) {
    tool->setTouchInputs(samples);
    tool->encode(*canvas, buffer);
  }

  std::shared_ptr<testsupport::TestCanvas> canvas;
  std::shared_ptr<DryerTool> tool = std::make_shared<DryerTool>();
  TouchInputs samples;
};

void BM_DryerStep2048x1536(benchmark::State& state) {
  DryerStroke stroke;
  for (auto _ : state) {
    auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    stroke.encodeFrame(*buffer);
    buffer->commit();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kWindowBytes));
  countLoadAverage(state);
  resetDebugSwitches();
}
BENCHMARK(BM_DryerStep2048x1536)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_Limit8ThreadMemcpyOfTheWindow(benchmark::State& state) {
  benchsupport::memcpyEightThreads(state, kWindowBytes);
  countLoadAverage(state);
}
BENCHMARK(BM_Limit8ThreadMemcpyOfTheWindow)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
