// One undo (or redo: the same exchange) of a stroke of 20 working regions on a 2048 x 1536 layer:
// the whole-layer copy into `before`, the snapshots written into the layer and refilled from
// `before`. Beside it, the machine's limit for the same bytes: 8 threads copying them with memcpy.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "Limits.h"
#include "TestCanvas.h"
#include "commands/CommandManager.h"
#include "commands/DrawingArtworkDrawingOperation.h"
#include "components/ArtworkData.h"
#include "foundation/Console.h"
#include "kernels/Kernels.h"
#include "tools/ApplicationManager.h"

namespace {

using namespace tessivarium;

constexpr std::size_t kLayerBytes = 2048 * 1536 * 4;

struct RecordedStroke {
  RecordedStroke() = default;
  RecordedStroke(const RecordedStroke&) = delete;
  RecordedStroke& operator=(const RecordedStroke&) = delete;
  // Gives the canvas's textures back, so that the next run starts from the same count.
  ~RecordedStroke() {
    if (canvas) canvas->cleanResources();
    AppManager().setCurrentPaint(nullptr);
  }

  std::shared_ptr<testsupport::TestCanvas> canvas;
  std::shared_ptr<DrawingArtworkDrawingOperation> step;
  std::int64_t bytesPerUndo = 0;  // what one exchange copies
};

// 20 regions along a wave, each 160 cells from the last: neighbours overlap, so the grouping
// makes pairs as well as single snapshots.
void recordStroke(RecordedStroke& stroke) {
  foundation::setConsoleSink([](std::string_view) {});
  kernels::registerAll();
  AppManager().setLimitedHeap(1024);
  stroke.canvas = testsupport::makeCanvas(2048, 1536);
  AppManager().setCurrentPaint(stroke.canvas);
  stroke.canvas->saveBefore(stroke.canvas->currentLayer());
  stroke.step = std::make_shared<DrawingArtworkDrawingOperation>(stroke.canvas->currentLayer());
  for (int i = 0; i < 20; ++i) {
    const double x = 16 + 88.0 * i, y = 640 + 400 * std::sin(i / 3.0);
    stroke.step->rects().emplace_back(std::floor(x), std::floor(y), 256, 256);
  }
  stroke.step->save(*stroke.canvas->before());
  if (!stroke.step->operations()) return;  // no memory: the caller reports it
  stroke.canvas->commandManager()->append(std::shared_ptr<ArtworkDrawingOperation>(stroke.step));
  stroke.bytesPerUndo = 3 * static_cast<std::int64_t>(kLayerBytes);
  for (const auto& snapshot : *stroke.step->operations()) {
    const auto& s = snapshot->size();
    stroke.bytesPerUndo += 2 * 3 * static_cast<std::int64_t>(s.width * s.height * 4);
  }
}

void BM_UndoStrokeOf20Regions(benchmark::State& state) {
  RecordedStroke stroke;
  recordStroke(stroke);
  if (!stroke.step->operations()) return state.SkipWithError("the stroke's snapshots could not be made");
  auto& manager = *stroke.canvas->commandManager();
  bool undone = false;
  for (auto _ : state) {
    benchmark::DoNotOptimize(undone ? manager.redo() : manager.undo());
    undone = !undone;
  }
  state.counters["snapshots"] = static_cast<double>(stroke.step->operations()->size());
  state.counters["MB"] = static_cast<double>(stroke.bytesPerUndo) / 1e6;
  state.SetBytesProcessed(state.iterations() * stroke.bytesPerUndo);
}
BENCHMARK(BM_UndoStrokeOf20Regions)->UseRealTime()->Unit(benchmark::kMillisecond);

// The same number of bytes copied by 8 threads, each with its own eighth.
void BM_Limit8ThreadMemcpyOfTheSameBytes(benchmark::State& state) {
  std::int64_t bytes = 0;
  {
    RecordedStroke stroke;
    recordStroke(stroke);
    if (!stroke.step->operations()) return state.SkipWithError("the stroke's snapshots could not be made");
    bytes = stroke.bytesPerUndo;
  }
  benchsupport::memcpyEightThreads(state, static_cast<std::size_t>(bytes));
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_Limit8ThreadMemcpyOfTheSameBytes)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
