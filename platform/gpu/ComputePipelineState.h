#pragma once
// A compute pipeline: a kernel ready to dispatch.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "gpu/Kernel.h"

namespace gpu {

class Device;
class Function;

class ComputePipelineState {
 public:
  // Made by Device::makeComputePipelineState.
  ComputePipelineState(std::shared_ptr<Device> device, const Function& function);

  // The width of the GPU's thread bundle; the pass model sizes its groups from it.
  static constexpr std::size_t kThreadExecutionWidth = 32;
  static constexpr std::size_t kMaxTotalThreadsPerThreadgroup = 1024;

  std::size_t threadExecutionWidth() const { return kThreadExecutionWidth; }
  std::size_t maxTotalThreadsPerThreadgroup() const { return kMaxTotalThreadsPerThreadgroup; }
  const std::string& functionName() const { return functionName_; }
  const Kernel& kernel() const { return kernel_; }
  // The slots the kernel writes, when it says so (gpu/Kernel.h).
  const std::optional<WrittenSlots>& writtenSlots() const { return writes_; }
  const std::shared_ptr<Device>& device() const { return device_; }

 private:
  std::shared_ptr<Device> device_;
  std::string functionName_;
  Kernel kernel_;
  std::optional<WrittenSlots> writes_;
};

}  // namespace gpu
