#include "gpu/Library.h"

namespace gpu {

std::shared_ptr<Function> Library::makeFunction(std::string_view name) const {
  const RegisteredKernel* kernel = findKernel(name);
  if (kernel == nullptr) return nullptr;
  return std::make_shared<Function>(std::string(name), *kernel);
}

std::vector<std::string> Library::functionNames() const { return registeredKernelNames(); }

}  // namespace gpu
