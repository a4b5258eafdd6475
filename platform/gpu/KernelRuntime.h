#pragma once
// Runs a kernel's threads: forEachThread calls `body(position)` once for every thread position of the
// dispatch's grid (groups x threads per group) that lies inside `limit`, spreading the thread groups
// over the cores with OpenMP. The pass model rounds group counts up, so the grid may overhang the
// texture a kernel writes; passing that texture as the limit skips the overhang, and partial groups
// are still run. The body runs concurrently on many threads: it may write only its own texels. Each
// task works on its own copy of the body; capture texel views by value for speed. A
// fatal stop or exception thrown by the body is carried out of the parallel region and rethrown.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <type_traits>

#include "gpu/Dispatch.h"
#include "gpu/TexelView.h"
#include "gpu/Types.h"
#include "gpu/Vectors.h"

namespace gpu {

namespace detail {

// The positions a dispatch visits: the grid clipped to the limit.
Size threadSpan(const Dispatch& dispatch, Size limit);

// The longest run of a row one task takes.
inline constexpr std::size_t kBlockWidth = 4096;
// Below this many thread positions a dispatch runs on the calling thread.
inline constexpr std::size_t kParallelThreads = 1024;

}  // namespace detail

template <class Body>
void forEachThread(const Dispatch& dispatch, Size limit, Body&& body) {
  const Size span = detail::threadSpan(dispatch, limit);
  if (span.width == 0 || span.height == 0 || span.depth == 0) return;
  // Work is split into tasks of one row of texels (or a long row's block of whole groups), so each
  // task walks contiguous memory; a thread group may span tasks, which no kernel can tell, since
  // threads of a group share nothing here.
  const std::size_t groupWidth = std::max<std::size_t>(dispatch.threadsPerThreadgroup().width, 1);
  const std::size_t blockWidth = std::max<std::size_t>(1, detail::kBlockWidth / groupWidth) * groupWidth;
  const std::size_t blocks = (span.width + blockWidth - 1) / blockWidth;
  const std::int64_t tasks = static_cast<std::int64_t>(span.height * span.depth * blocks);
  // A handful of threads (a 1-D pass over a few samples) is not worth waking the cores for.
  const bool parallel = tasks > 1 && span.width * span.height * span.depth >= detail::kParallelThreads;
  std::exception_ptr failure;
#pragma omp parallel for schedule(static) if (parallel)
  for (std::int64_t task = 0; task < tasks; ++task) {
    try {
      const std::size_t t = static_cast<std::size_t>(task);
      const std::size_t row = t / blocks;
      const std::size_t y = row % span.height, z = row / span.height;
      const std::size_t x0 = (t % blocks) * blockWidth;
      const std::size_t x1 = std::min(span.width, x0 + blockWidth);
      // A copy of the body per task: what it captures by value then lives in this task's frame, where
      // the texel stores cannot alias it, so the views stay in registers.
      std::remove_cvref_t<Body> local(body);
      const std::uint32_t py = static_cast<std::uint32_t>(y), pz = static_cast<std::uint32_t>(z);
      for (std::size_t x = x0; x < x1; ++x) local(uint3{static_cast<std::uint32_t>(x), py, pz});
    } catch (...) {
#pragma omp critical(gpu_for_each_thread_failure)
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
}

// Limits the threads to the extent of the texture the kernel writes.
template <class Body>
void forEachThread(const Dispatch& dispatch, const TexelView& written, Body&& body) {
  forEachThread(dispatch, written.size(), static_cast<Body&&>(body));
}

// Every thread position of the grid.
template <class Body>
void forEachThread(const Dispatch& dispatch, Body&& body) {
  forEachThread(dispatch, dispatch.gridSize(), static_cast<Body&&>(body));
}

}  // namespace gpu
