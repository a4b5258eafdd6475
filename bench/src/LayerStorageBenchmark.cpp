// The storage records of three 2048 x 1536 layers, each way, beside the machine's limit for the
// same bytes: nine textures' worth copied on every worker thread.

#include <benchmark/benchmark.h>

#include <vector>

#include "Limits.h"
#include "TestCanvas.h"
#include "foundation/Console.h"
#include "kernels/Kernels.h"

namespace {

using namespace tessivarium;

constexpr std::int64_t kWidth = 2048, kHeight = 1536;
constexpr std::size_t kRecordBytes = 3 * 3 * kWidth * kHeight * 4;

std::shared_ptr<testsupport::TestCanvas> threeLayers() {
  foundation::setConsoleSink([](std::string_view) {});
  kernels::registerAll();
  testsupport::useFakeTool();
  return testsupport::makeCanvas(kWidth, kHeight, 1.0, 3, MainPaintId + 1, false);
}

void BM_GetStorageDataThreeLayers(benchmark::State& state) {
  auto canvas = threeLayers();
  for (auto _ : state) benchmark::DoNotOptimize(canvas->getStorageData());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kRecordBytes));
}
BENCHMARK(BM_GetStorageDataThreeLayers)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SetStorageDataThreeLayers(benchmark::State& state) {
  auto canvas = threeLayers();
  const auto records = canvas->getStorageData();
  for (auto _ : state) canvas->setStorageData(records);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kRecordBytes));
}
BENCHMARK(BM_SetStorageDataThreeLayers)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Limit_Memcpy8ThreadsThreeLayers(benchmark::State& state) {
  benchsupport::memcpyEightThreads(state, kRecordBytes);
}
BENCHMARK(BM_Limit_Memcpy8ThreadsThreeLayers)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same copy into arrays made anew each time, as a record's arrays are: the first touch of
// fresh memory (the kernel's zeroed pages) is part of what a record costs.
void BM_Limit_Memcpy8ThreadsIntoNewArrays(benchmark::State& state) {
  constexpr std::size_t kTexture = kRecordBytes / 9;
  std::vector<std::uint8_t> from(kTexture, 1);
  for (auto _ : state) {
    std::vector<std::vector<std::uint8_t>> arrays;
    for (int i = 0; i < 9; ++i) {
      benchsupport::copyOnEightThreads(arrays.emplace_back(kTexture).data(), from.data(), kTexture);
    }
    benchmark::DoNotOptimize(arrays.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kRecordBytes));
}
BENCHMARK(BM_Limit_Memcpy8ThreadsIntoNewArrays)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
