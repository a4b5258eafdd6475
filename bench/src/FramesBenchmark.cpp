// One rebuild of a 2048 x 1536 layer's picture (recreatedDraw) at scale 1 and at scale 2: every
// working region loaded from the layer's paint and composed into the painting texture on its own
// command buffer, then the copy to the view. The paint is random everywhere, the layer the only one,
// so each region runs every pass of the composition. The region load is the recording tool's blit (the
// stroke window's load is not in the library yet).
//
// Beside it, the machine's limit for the bytes the rebuild must move at the least: the layer's
// grid, wet and dry textures read once and its painting texture written once, as one memcpy over
// the kits' worker threads. The counter "x_limit" is the rebuild's time over that limit's. And one
// region alone, its load and composition with every worker thread on it (the rebuild composes
// regions that write no pixel in common at once, so its time is less than the regions' times).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>

#include "FakeTool.h"
#include "Limits.h"
#include "TestCanvas.h"
#include "foundation/Console.h"
#include "gpu/Gpu.h"
#include "imaging/Image.h"
#include "kernels/Kernels.h"
#include "tools/ApplicationManager.h"
#include "tools/DebugSwitches.h"
#include "utils/CoreImageUtil.h"

namespace {

using tessivarium::AppManager;
using Clock = std::chrono::steady_clock;

constexpr std::int64_t kWidth = 2048, kHeight = 1536;

// Eight random bytes a draw: the scene's 50 MB of paint are made in a fraction of a second, also
// under a profiler. `thin`: every alpha byte (a paint's thickness) 1 to 4.
void fillWithPaint(gpu::Texture& texture, std::mt19937_64& random, bool thin = false) {
  const std::size_t w = texture.width(), h = texture.height();
  std::vector<std::uint8_t> bytes(w * h * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 8) {
    const std::uint64_t draw = random();
    std::memcpy(bytes.data() + i, &draw, std::min<std::size_t>(8, bytes.size() - i));
  }
  if (thin) {
    for (std::size_t i = 3; i < bytes.size(); i += 4) bytes[i] = static_cast<std::uint8_t>(1 + bytes[i] % 4);
  }
  texture.writeRegion(gpu::Region::make2D(0, 0, w, h), 0, bytes, w * 4);
}

// The least the rebuild moves: three data textures in, the picture out.
std::size_t rebuildBytes(double scale) {
  const auto cells = static_cast<std::size_t>(kWidth * scale) * static_cast<std::size_t>(kHeight * scale);
  return 3 * cells * 4 + static_cast<std::size_t>(kWidth * kHeight) * 4;
}

double limitSeconds(std::size_t bytes) {
  const gpu::ZeroedMemory from = benchsupport::residentBlock(bytes, 1), to = benchsupport::residentBlock(bytes, 0);
  double best = 1e9;
  for (int i = 0; i < 21; ++i) {
    const auto start = Clock::now();
    benchsupport::copyOnEightThreads(to.data(), from.data(), bytes);
    benchmark::ClobberMemory();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

// A started 2048 x 1536 canvas at `scale` with random paint on its one layer, the recording tool
// current. Random paint is opaque almost everywhere (paint from 5 bytes thick hides what lies under
// it), so the picture of the dry paint under the wet is composed almost nowhere; `thin` paint, 1 to
// 4 bytes thick everywhere, has every pixel compose both: the most a region costs.
struct Scene {
  explicit Scene(double scale, bool thin = false) {
    foundation::setConsoleSink([](std::string_view) {});
    kernels::registerAll();
    tessivarium::DEBUG_DAE_KNIFE = tessivarium::KnifeDebugMode::None;
    std::mt19937_64 random(5);
    AppManager().setCurrentTool(tool);
    AppManager().setCanvas(nullptr);  // the data scale is the main canvas's: here this canvas's own
    canvas = testsupport::makeCanvas(kWidth, kHeight, scale, 1, tessivarium::MainPaintId, false);
    auto shading = AppManager().makeTexture(128, 128);
    fillWithPaint(*shading, random);
    canvas->setShadingImage(imaging::Image::fromTexture(shading));
    fillWithPaint(*layer().gridTexture(), random);
    for (const auto& texture : {layer().wetTexture(), layer().dryTexture()}) fillWithPaint(*texture, random, thin);
  }
  ~Scene() {
    canvas->cleanResources();
    foundation::setConsoleSink({});
  }
  tessivarium::ArtworkTextures& layer() { return canvas->layer(0); }

  std::shared_ptr<testsupport::FrameTool> tool = std::make_shared<testsupport::FrameTool>();
  std::shared_ptr<testsupport::TestCanvas> canvas;
};

template <class Work>
double timed(benchmark::State& state, Work work) {
  double total = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    work();
    const double s = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(s);
    total += s;
  }
  return total / static_cast<double>(state.iterations());
}

void BM_RecreateLayer2048x1536(benchmark::State& state) {
  const double scale = static_cast<double>(state.range(0));
  Scene scene(scale);
  // One display frame each, as the view draws them: a frame's drawable is presented once.
  const double seconds = timed(state, [&] {
    scene.layer().setDrawingMode(tessivarium::DrawingMode::Recreated);
    scene.layer().metalView()->displayFrame();
  });
  state.counters["regions"] = static_cast<double>(scene.tool->loadingSurface()->loads.size() / state.iterations());
  state.counters["x_limit"] = seconds / limitSeconds(rebuildBytes(scale));
}
BENCHMARK(BM_RecreateLayer2048x1536)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);

// One region of the rebuild: its load and its composition on one command buffer. Not inlined, so
// that a profiler can count it apart from the scene's making (callgrind --dump-before and
// --dump-after on its name).
[[gnu::noinline]] void composeOneRegion(Scene& scene) {
  auto& surface = *scene.tool->loadingSurface();
  const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  surface.setOrigin(gpu::Origin{508, 254, 0});
  surface.encodeLoads(scene.layer(), *buffer);
  tessivarium::CoreImageUtil::render(*scene.canvas, scene.layer().paintingTexture(), buffer, 508, 254);
  buffer->commit();
}

// What one region of the rebuild costs by itself, of random paint and of thin paint.
void BM_RecreateOneRegion(benchmark::State& state) {
  Scene scene(static_cast<double>(state.range(0)));
  composeOneRegion(scene);  // the working textures are made on first use
  timed(state, [&] { composeOneRegion(scene); });
}
BENCHMARK(BM_RecreateOneRegion)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RecreateOneRegionOfThinPaint(benchmark::State& state) {
  Scene scene(static_cast<double>(state.range(0)), true);
  composeOneRegion(scene);
  timed(state, [&] { composeOneRegion(scene); });
}
BENCHMARK(BM_RecreateOneRegionOfThinPaint)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
