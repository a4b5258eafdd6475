#pragma once
// A library of kernel functions (the device's default library is the host's kernel registry) and the
// functions looked up in it.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gpu/Kernel.h"

namespace gpu {

class Device;

class Function {
 public:
  Function(std::string name, RegisteredKernel kernel) : name_(std::move(name)), kernel_(std::move(kernel)) {}

  const std::string& name() const { return name_; }
  const Kernel& kernel() const { return kernel_.function; }
  const std::optional<WrittenSlots>& writtenSlots() const { return kernel_.writes; }

 private:
  std::string name_;
  RegisteredKernel kernel_;
};

class Library {
 public:
  explicit Library(std::shared_ptr<Device> device) : device_(std::move(device)) {}

  // The function of that name, or null when no kernel of that name is registered.
  std::shared_ptr<Function> makeFunction(std::string_view name) const;

  std::vector<std::string> functionNames() const;
  const std::shared_ptr<Device>& device() const { return device_; }

 private:
  std::shared_ptr<Device> device_;
};

}  // namespace gpu
