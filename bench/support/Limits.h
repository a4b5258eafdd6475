#pragma once
// The machine's limit a benchmark stands its figure beside: the same bytes copied by eight threads
// at once, each its own contiguous eighth, on the kits' worker threads (already running, so no
// thread start-up is timed).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "gpu/Parallel.h"
#include "gpu/ZeroedMemory.h"

namespace benchsupport {

// A block of `bytes` on a page boundary, every byte written with `value` so that all its pages are
// the machine's memory: a fresh block's pages are the system's untouched zero pages, and reads of
// them all come from one shared page, far faster than the memory a painted texture holds.
inline gpu::ZeroedMemory residentBlock(std::size_t bytes, std::uint8_t value) {
  gpu::ZeroedMemory block(bytes);
  if (bytes != 0) std::memset(block.data(), value, bytes);
  return block;
}

// Copies `bytes` from `from` to `to` in eight parts at once.
inline void copyOnEightThreads(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes) {
  const std::size_t part = (bytes + 7) / 8;
  gpu::parallelFor(0, 8, 1, [&](std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i) {
      const std::size_t begin = std::min(bytes, part * i), stop = std::min(bytes, begin + part);
      std::memcpy(to + begin, from + begin, stop - begin);
    }
  });
}

// A limit benchmark's loop: `bytes` copied on eight threads each iteration, counted as processed.
inline void memcpyEightThreads(benchmark::State& state, std::size_t bytes) {
  std::vector<std::uint8_t> from(bytes, 1), to(bytes, 0);
  for (auto _ : state) {
    copyOnEightThreads(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

}  // namespace benchsupport
