#pragma once
// A command queue hands out command buffers; their work runs in the order they are committed.

#include <memory>

namespace gpu {

class CommandBuffer;
class Device;

class CommandQueue : public std::enable_shared_from_this<CommandQueue> {
 public:
  explicit CommandQueue(std::shared_ptr<Device> device) : device_(std::move(device)) {}

  std::shared_ptr<CommandBuffer> makeCommandBuffer();
  const std::shared_ptr<Device>& device() const { return device_; }

 private:
  std::shared_ptr<Device> device_;
};

}  // namespace gpu
