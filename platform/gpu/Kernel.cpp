#include "gpu/Kernel.h"

#include <map>

#include "foundation/Fatal.h"

namespace gpu {

namespace {

std::map<std::string, Kernel, std::less<>>& registry() {
  static std::map<std::string, Kernel, std::less<>> kernels;
  return kernels;
}

}  // namespace

void registerKernel(std::string name, Kernel kernel) {
  if (name.empty()) foundation::fatalError("registerKernel: a kernel needs a name");
  if (!kernel) foundation::fatalError("registerKernel: kernel \"" + name + "\" has no function");
  registry()[std::move(name)] = std::move(kernel);
}

bool unregisterKernel(std::string_view name) {
  auto it = registry().find(name);
  if (it == registry().end()) return false;
  registry().erase(it);
  return true;
}

const Kernel* findKernel(std::string_view name) {
  auto it = registry().find(name);
  return it == registry().end() ? nullptr : &it->second;
}

std::vector<std::string> registeredKernelNames() {
  std::vector<std::string> names;
  for (const auto& entry : registry()) names.push_back(entry.first);
  return names;
}

}  // namespace gpu
