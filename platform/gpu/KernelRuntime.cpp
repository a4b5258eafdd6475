#include "gpu/KernelRuntime.h"

namespace gpu::detail {

RowTasks::RowTasks(const Dispatch& dispatch, Size limit) {
  const Size grid = dispatch.gridSize();
  span_ = {std::min(grid.width, limit.width), std::min(grid.height, limit.height), std::min(grid.depth, limit.depth)};
  if (span_.width == 0 || span_.height == 0 || span_.depth == 0) return;
  const std::size_t groupWidth = std::max<std::size_t>(dispatch.threadsPerThreadgroup().width, 1);
  blockWidth_ = std::max<std::size_t>(1, kBlockWidth / groupWidth) * groupWidth;
  blocks_ = (span_.width + blockWidth_ - 1) / blockWidth_;
  tasks_ = span_.height * span_.depth * blocks_;
  // A handful of threads (a 1-D pass over a few samples) is not worth waking the cores for.
  parallel_ = tasks_ > 1 && span_.width * span_.height * span_.depth >= kParallelThreads;
}

}  // namespace gpu::detail
