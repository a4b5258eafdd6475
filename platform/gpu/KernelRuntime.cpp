#include "gpu/KernelRuntime.h"

namespace gpu::detail {

ThreadSpan threadSpan(const Dispatch& dispatch, Size limit) {
  const Size grid = dispatch.gridSize();
  const Size threads = dispatch.threadsPerThreadgroup();
  ThreadSpan span{};
  span.width = std::min(grid.width, limit.width);
  span.height = std::min(grid.height, limit.height);
  span.depth = std::min(grid.depth, limit.depth);
  span.rowsPerBand = std::max<std::size_t>(threads.height, 1);
  span.depthPerBand = std::max<std::size_t>(threads.depth, 1);
  span.bandsY = (span.height + span.rowsPerBand - 1) / span.rowsPerBand;
  span.bandsZ = (span.depth + span.depthPerBand - 1) / span.depthPerBand;
  return span;
}

}  // namespace gpu::detail
