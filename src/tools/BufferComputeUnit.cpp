#include "tools/BufferComputeUnit.h"

#include "foundation/Fatal.h"
#include "gpu/Device.h"
#include "tools/KernelPipeline.h"

namespace tessivarium {

BufferComputeUnit::BufferComputeUnit(const std::shared_ptr<gpu::Device>& device, std::string shaderName)
    : device_(device), shaderName_(std::move(shaderName)) {}

const std::shared_ptr<gpu::ComputePipelineState>& BufferComputeUnit::shaderPipelineState() {
  if (!shaderPipelineState_) {
    const auto device = device_.lock();
    if (!device) foundation::fatalError("The device of \"" + shaderName_ + "\" is gone");
    shaderPipelineState_ = makeKernelPipeline(device, shaderName_, false);
  }
  return shaderPipelineState_;
}

}  // namespace tessivarium
