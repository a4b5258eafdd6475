#include "gpu/ComputePipelineState.h"

#include "gpu/Library.h"

namespace gpu {

ComputePipelineState::ComputePipelineState(std::shared_ptr<Device> device, const Function& function)
    : device_(std::move(device)),
      functionName_(function.name()),
      kernel_(function.kernel()),
      writes_(function.writtenSlots()) {}

}  // namespace gpu
