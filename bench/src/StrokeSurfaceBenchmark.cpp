// The stroke surface on a 2048 x 1536 layer:
// - one batch of 200 samples taken and uploaded (spacing, the reuse test against the loaded window,
//   window-local positions, six new buffers), beside the floor for the same bytes: six new
//   allocations filled by memcpy on one thread (4.8 KB: more threads would only add their start-up);
// - one batch whose second sample lies as far off as a double reaches;
// - one step with no tool passes (the write-back of the old window, the load of the new one, the
//   picture refresh of the window), committed, beside an 8-thread memcpy of the bytes the two window
//   copies move, the two copies alone and the picture refresh alone.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

#include "TestCanvas.h"
#include "foundation/Console.h"
#include "gpu/Gpu.h"
#include "gpu/Parallel.h"
#include "imaging/Image.h"
#include "kernels/Kernels.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolSurface.h"
#include "utils/CoreImageUtil.h"

namespace {

using namespace tessivarium;

constexpr std::size_t kSamples = 200;

class SurfaceTool : public AbstractDrawingTool {
 public:
  using AbstractDrawingTool::AbstractDrawingTool;
  std::shared_ptr<ToolSurface> createToolSurface() override { return ToolSurface::make(*this); }
};

// Every byte scrambled from its index (paint of every colour, thickness and wetness).
void scramble(gpu::Texture& texture) {
  const std::size_t w = texture.width(), h = texture.height();
  std::vector<std::uint8_t> bytes(w * h * 4);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
  texture.writeRegion(gpu::Region::make2D(0, 0, w, h), 0, bytes, w * 4);
}

// A started 2048 x 1536 canvas with painted layer data and a filbert brush current, its window
// loaded at (872, 572).
struct Stroke {
  Stroke() {
    foundation::setConsoleSink([](std::string_view) {});
    kernels::registerAll();
    canvas = testsupport::makeCanvas(2048, 1536);
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
    auto shading = AppManager().makeTexture(128, 128);
    scramble(*shading);
    canvas->setShadingImage(imaging::Image::fromTexture(shading));
    tool = std::make_shared<SurfaceTool>(ToolType::filbertBrush);
    AppManager().setCurrentTool(tool);
    tool->switchTo(*canvas);
    auto& layer = *canvas->currentContent();
    scramble(*layer.gridTexture());
    scramble(*layer.wetTexture());
    scramble(*layer.dryTexture());
    AppManager().surfaceTextures().loads();
    surface().reset({std::make_shared<TouchInput>(graphics::Point{1000.5, 700.5}, 0.5f, 0.8f, 1.0f)});
    step();
  }
  ~Stroke() { foundation::setConsoleSink({}); }

  ToolSurface& surface() { return *tool->toolSurface(); }
  void step() {
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    surface().encodeStart(*canvas, *buffer);
    surface().encodeLoop(*canvas, *buffer);
    buffer->commit();
  }

  std::shared_ptr<testsupport::TestCanvas> canvas;
  std::shared_ptr<SurfaceTool> tool;
};

// 200 samples on a circle of radius 40 around the window's middle, 1.26 points apart: one fast
// frame's worth, all inside the loaded window.
TouchInputs circleBatch() {
  TouchInputs batch;
  for (std::size_t i = 0; i < kSamples; ++i) {
    const double t = 2 * std::numbers::pi * static_cast<double>(i) / kSamples;
    batch.push_back(std::make_shared<TouchInput>(graphics::Point{1000.5 + 40 * std::cos(t), 700.5 + 40 * std::sin(t)},
                                                 0.4f + 0.2f * static_cast<float>(i % 3), 0.8f, 1.0f));
  }
  return batch;
}

void BM_ResetAndUpload200Samples(benchmark::State& state) {
  Stroke stroke;
  const auto batch = circleBatch();
  for (auto _ : state) {
    stroke.surface().reset(batch);
    benchmark::DoNotOptimize(stroke.surface().locationBuffer());
  }
  state.counters["uploaded"] = static_cast<double>(stroke.surface().touchInputData().count());
  state.counters["sameWindow"] = stroke.surface().useSameRegion().value_or(false);
}
BENCHMARK(BM_ResetAndUpload200Samples)->Unit(benchmark::kMicrosecond);

// One sample inside the window and one as far off as a double reaches: the far one is held at
// the canvas's margin and the gap spaced within its share, so the step costs what a stroke across
// the canvas costs.
void BM_ResetWithAFarOffSample(benchmark::State& state) {
  Stroke stroke;
  const TouchInputs batch{std::make_shared<TouchInput>(graphics::Point{1000.5, 700.5}, 0.5f, 0.8f, 1.0f),
                          std::make_shared<TouchInput>(graphics::Point{1e300, -1e300}, 0.5f, 0.8f, 1.0f)};
  for (auto _ : state) {
    stroke.surface().setLastTouchInput(nullptr);
    stroke.surface().reset(batch);
    benchmark::DoNotOptimize(stroke.surface().locationBuffer());
  }
  state.counters["samples"] = static_cast<double>(stroke.surface().touchInputData().count()) +
                              static_cast<double>(stroke.surface().touchInputs().size());
}
BENCHMARK(BM_ResetWithAFarOffSample)->Unit(benchmark::kMicrosecond);

// The floor: the bytes of those six buffers, each copied into a new allocation.
void BM_CopyUploadBytesOneThread(benchmark::State& state) {
  const std::size_t sizes[] = {8, 12 * kSamples, 4 * kSamples, 4 * kSamples, 4 * kSamples, 1};
  std::vector<std::vector<std::uint8_t>> sources;
  for (std::size_t size : sizes) sources.emplace_back(size, 7);
  for (auto _ : state) {
    for (const auto& source : sources) {
      auto copy = std::make_unique<std::uint8_t[]>(source.size());
      std::memcpy(copy.get(), source.data(), source.size());
      benchmark::DoNotOptimize(copy.get());
    }
  }
}
BENCHMARK(BM_CopyUploadBytesOneThread)->Unit(benchmark::kMicrosecond);

void BM_StrokeStepWithoutPasses(benchmark::State& state) {
  Stroke stroke;
  for (auto _ : state) {
    stroke.surface().setUseSameRegion(false);  // a window change: write back, load
    stroke.step();
  }
}
BENCHMARK(BM_StrokeStepWithoutPasses)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WindowRefreshOnly(benchmark::State& state) {
  Stroke stroke;
  const auto& picture = stroke.canvas->currentContent()->paintingTexture();
  for (auto _ : state) {
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    CoreImageUtil::render(*stroke.canvas, picture, buffer, 872, 572);
    buffer->commit();
  }
}
BENCHMARK(BM_WindowRefreshOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window move alone: the write-back and the load, without the picture.
void BM_WindowMoveCopiesOnly(benchmark::State& state) {
  Stroke stroke;
  auto& layer = *stroke.canvas->currentContent();
  for (auto _ : state) {
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    stroke.surface().encodeSave(*stroke.canvas, *buffer);
    stroke.surface().encodeLoads(layer, *buffer);
    buffer->commit();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 6 * 256 * 256 * 4));
}
BENCHMARK(BM_WindowMoveCopiesOnly)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The two window copies' bytes: 6 textures x 256 rows of 1 KB, rows taken from a 2048-wide layer.
void BM_WindowCopyBytesMemcpy8Threads(benchmark::State& state) {
  constexpr std::size_t kRow = 256 * 4, kLayerRow = 2048 * 4, kRows = 6 * 256;
  std::vector<std::uint8_t> layer(kLayerRow * kRows, 3), window(kRow * kRows);
  for (auto _ : state) {
    gpu::parallelFor(0, 8, 1, [&](std::size_t first, std::size_t end) {
      for (std::size_t part = first; part < end; ++part) {
        for (std::size_t row = part * kRows / 8; row < (part + 1) * kRows / 8; ++row) {
          std::memcpy(window.data() + row * kRow, layer.data() + row * kLayerRow, kRow);
        }
      }
    });
    benchmark::DoNotOptimize(window.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kRow * kRows));
}
BENCHMARK(BM_WindowCopyBytesMemcpy8Threads)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
