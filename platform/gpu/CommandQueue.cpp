#include "gpu/CommandQueue.h"

#include "gpu/CommandBuffer.h"

namespace gpu {

std::shared_ptr<CommandBuffer> CommandQueue::makeCommandBuffer() {
  return std::make_shared<CommandBuffer>(shared_from_this());
}

}  // namespace gpu
