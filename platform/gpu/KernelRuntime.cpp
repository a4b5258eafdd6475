#include "gpu/KernelRuntime.h"

namespace gpu::detail {

Size threadSpan(const Dispatch& dispatch, Size limit) {
  const Size grid = dispatch.gridSize();
  return {std::min(grid.width, limit.width), std::min(grid.height, limit.height), std::min(grid.depth, limit.depth)};
}

}  // namespace gpu::detail
