#pragma once
// A kernel's pipeline on a given device, built on first read, without a timing line. It encodes
// nothing itself. Nothing in the system makes one.

#include <memory>
#include <string>

namespace gpu {
class ComputePipelineState;
class Device;
}  // namespace gpu

namespace tessivarium {

class BufferComputeUnit {
 public:
  // The device is not owned: a device that has gone by the first read is a fatal stop.
  BufferComputeUnit(const std::shared_ptr<gpu::Device>& device, std::string shaderName);

  const std::string& shaderName() const { return shaderName_; }
  const std::shared_ptr<gpu::ComputePipelineState>& shaderPipelineState();
  void setShaderPipelineState(std::shared_ptr<gpu::ComputePipelineState> pipeline) {
    shaderPipelineState_ = std::move(pipeline);
  }

 private:
  std::weak_ptr<gpu::Device> device_;
  std::string shaderName_;
  std::shared_ptr<gpu::ComputePipelineState> shaderPipelineState_;
};

}  // namespace tessivarium
