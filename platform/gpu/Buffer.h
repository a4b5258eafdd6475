#pragma once
// A buffer: a fixed number of bytes in CPU-visible memory.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "gpu/Types.h"
#include "gpu/ZeroedMemory.h"

namespace gpu {

class Device;

class Buffer {
 public:
  // Made by Device::makeBuffer; starts with `length` zero bytes.
  Buffer(std::shared_ptr<Device> device, std::size_t length, ResourceOptions options);

  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;

  std::uint8_t* contents() { return bytes_.data(); }
  const std::uint8_t* contents() const { return bytes_.data(); }
  std::size_t length() const { return bytes_.size(); }
  ResourceOptions options() const { return options_; }
  const std::shared_ptr<Device>& device() const { return device_; }

 private:
  std::shared_ptr<Device> device_;
  ResourceOptions options_;
  ZeroedMemory bytes_;
};

}  // namespace gpu
