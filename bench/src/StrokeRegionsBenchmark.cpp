// The grouping of a stroke's rectangles into snapshots, with the snapshot itself faked: 50, 100
// and 200 working regions of 256 x 256 along a stroke path (a wave across a 2048 x 1536 layer,
// each region moved 24 to 40 cells from the last, so that every region overlaps several others).

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "commands/RegionClustering.h"

namespace {

std::vector<graphics::Rect> strokePath(int count) {
  std::vector<graphics::Rect> rects;
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / count;
    const double x = 32 + (2048 - 320) * t;
    const double y = 640 + 480 * std::sin(6.0 * t);
    rects.emplace_back(std::floor(x), std::floor(y), 256, 256);
  }
  return rects;
}

void BM_GroupStrokeRegions(benchmark::State& state) {
  const auto rects = strokePath(static_cast<int>(state.range(0)));
  std::size_t snapshots = 0;
  for (auto _ : state) {
    snapshots = 0;
    tessivarium::RegionClustering clustering(rects, [&](const graphics::Rect&) { return ++snapshots > 0; });
    benchmark::DoNotOptimize(clustering.run());
  }
  state.counters["snapshots"] = static_cast<double>(snapshots);
}
BENCHMARK(BM_GroupStrokeRegions)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace
