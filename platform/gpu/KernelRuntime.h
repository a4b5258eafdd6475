#pragma once
// Runs a kernel's threads. forEachThread calls `body(position)` once for every thread position of the
// dispatch's grid (groups x threads per group) that lies inside `limit`; forEachRow visits the same
// positions a row run at a time, calling `body(first position, count)` for the positions first.x to
// first.x + count - 1 of one row, so that copy-like kernels move whole runs of texels at once. The pass
// model rounds group counts up, so the grid may overhang the texture a kernel writes; passing that
// texture as the limit skips the overhang, and partial groups are still run.
//
// The runs are spread over the kits' worker threads (gpu/Parallel.h) in dynamic chunks; a dispatch of
// fewer than a few thousand positions runs on the calling thread. The body runs concurrently on many
// threads: it may write only its own texels. Each chunk works on its own copy of the body; capture
// texel views by value for speed. A fatal stop or exception thrown by the body is carried out and
// rethrown.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "gpu/Dispatch.h"
#include "gpu/Parallel.h"
#include "gpu/TexelView.h"
#include "gpu/Types.h"
#include "gpu/Vectors.h"

namespace gpu {

namespace detail {

// The longest run of a row one task takes.
inline constexpr std::size_t kBlockWidth = 4096;
// Below this many thread positions a dispatch runs on the calling thread.
inline constexpr std::size_t kParallelThreads = 4096;

// The positions of a dispatch clipped to its limit, cut into tasks: one row of positions each, or a
// block of whole thread groups of a long row. A thread group may span tasks, which no kernel can
// tell, since the threads of a group share nothing here.
class RowTasks {
 public:
  RowTasks(const Dispatch& dispatch, Size limit);

  std::size_t count() const { return tasks_; }
  bool parallel() const { return parallel_; }

  // The first position of task `t` and the number of positions in its run.
  uint3 first(std::size_t t) const {
    const std::size_t row = t / blocks_;
    return {static_cast<std::uint32_t>((t % blocks_) * blockWidth_), static_cast<std::uint32_t>(row % span_.height),
            static_cast<std::uint32_t>(row / span_.height)};
  }
  std::size_t length(std::size_t t) const { return std::min(span_.width - (t % blocks_) * blockWidth_, blockWidth_); }

 private:
  Size span_;
  std::size_t blockWidth_ = 1, blocks_ = 1, tasks_ = 0;
  bool parallel_ = false;
};

// Calls run(copy of the body, task) for every task, on the worker threads when the dispatch is large
// enough; the body is copied once per chunk.
template <class Body, class Run>
void runTasks(const RowTasks& tasks, const Body& body, Run run) {
  const auto chunk = [&](std::size_t first, std::size_t end) {
    // A copy of the body per chunk: what it captures by value then lives in this chunk's frame, where
    // the texel stores cannot alias it, so the views stay in registers.
    std::remove_cvref_t<Body> local(body);
    for (std::size_t t = first; t < end; ++t) run(local, t);
  };
  if (tasks.parallel()) {
    parallelFor(0, tasks.count(), 1, chunk);
  } else {
    chunk(0, tasks.count());
  }
}

}  // namespace detail

template <class Body>
void forEachRow(const Dispatch& dispatch, Size limit, Body&& body) {
  const detail::RowTasks tasks(dispatch, limit);
  detail::runTasks(tasks, body, [&tasks](auto& local, std::size_t t) { local(tasks.first(t), tasks.length(t)); });
}

template <class Body>
void forEachThread(const Dispatch& dispatch, Size limit, Body&& body) {
  const detail::RowTasks tasks(dispatch, limit);
  detail::runTasks(tasks, body, [&tasks](auto& local, std::size_t t) {
    uint3 p = tasks.first(t);
    const std::uint32_t end = p.x + static_cast<std::uint32_t>(tasks.length(t));
    for (; p.x < end; ++p.x) local(p);
  });
}

// Limits the threads to the extent of the texture the kernel writes.
template <class Body>
void forEachThread(const Dispatch& dispatch, const TexelView& written, Body&& body) {
  forEachThread(dispatch, written.size(), static_cast<Body&&>(body));
}
template <class Body>
void forEachRow(const Dispatch& dispatch, const TexelView& written, Body&& body) {
  forEachRow(dispatch, written.size(), static_cast<Body&&>(body));
}

// Every thread position of the grid.
template <class Body>
void forEachThread(const Dispatch& dispatch, Body&& body) {
  forEachThread(dispatch, dispatch.gridSize(), static_cast<Body&&>(body));
}

}  // namespace gpu
