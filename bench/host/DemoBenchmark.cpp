// The demonstration at 8 threads, played as the program plays it (save points written to a
// temporary folder). Counters:
//   - "<tool>_ms": the mean time of one stroke frame of each tool (touches, the display frame);
//   - "frame_limit_ms": an 8-thread copy of what a frame must move at the least: the working
//     window's grid, wet and dry textures (256 x 256 texels of 4 bytes) read and written once;
//   - "storage_bytes" and "record_bytes": the last save point's storage file and the raw records it
//     holds, and "storage_ratio" the one over the other.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include "Limits.h"
#include "Painter.h"
#include "SavePoint.h"
#include "Script.h"
#include "foundation/Bundle.h"
#include "foundation/Console.h"
#include "gpu/Parallel.h"
#include "gpu/ZeroedMemory.h"

namespace {

using Clock = std::chrono::steady_clock;

double frameLimitSeconds() {
  constexpr std::size_t kBytes = 2 * 3 * 256 * 256 * 4;
  const gpu::ZeroedMemory from = benchsupport::residentBlock(kBytes, 1), to = benchsupport::residentBlock(kBytes, 0);
  double best = 1e9;
  for (int i = 0; i < 51; ++i) {
    const auto start = Clock::now();
    benchsupport::copyOnEightThreads(to.data(), from.data(), kBytes);
    benchmark::ClobberMemory();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

void BM_Demonstration(benchmark::State& state) {
  foundation::setConsoleSink([](std::string_view) {});
  gpu::setWorkerThreadCount(8);
  const auto script = painthost::readScript(foundation::Bundle::main().root() / "examples" / "demo.json");
  const auto folder = std::filesystem::temp_directory_path() / "tessivarium-paint-bench";
  std::map<std::string, painthost::FrameTimes> frames;
  painthost::SavedFiles saved;
  for (auto _ : state) {
    const auto start = Clock::now();
    painthost::Painter painter(script.canvas);
    for (const auto& step : script.steps) {
      painter.play(step);
      if (const auto* save = std::get_if<painthost::Save>(&step.action)) saved = writeSavePoint(painter, folder, save->name);
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    frames = painter.frameTimes();
  }
  for (const auto& [tool, times] : frames) {
    state.counters[tool + "_ms"] = 1e3 * times.total.count() / static_cast<double>(std::max<std::int64_t>(times.frames, 1));
  }
  state.counters["frame_limit_ms"] = 1e3 * frameLimitSeconds();
  state.counters["storage_bytes"] = static_cast<double>(saved.storageBytes);
  state.counters["record_bytes"] = static_cast<double>(saved.recordBytes);
  state.counters["storage_ratio"] = static_cast<double>(saved.storageBytes) / static_cast<double>(std::max<std::uint64_t>(saved.recordBytes, 1));
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  gpu::setWorkerThreadCount(0);
  foundation::setConsoleSink({});
}
BENCHMARK(BM_Demonstration)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
