#include "gpu/Kernel.h"

#include <map>

#include "foundation/Fatal.h"
#include "gpu/Bindings.h"

namespace gpu {

namespace {

std::map<std::string, RegisteredKernel, std::less<>>& registry() {
  static std::map<std::string, RegisteredKernel, std::less<>> kernels;
  return kernels;
}

std::uint32_t slotBits(std::initializer_list<std::int64_t> slots, std::int64_t last, const char* kind) {
  std::uint32_t bits = 0;
  for (const std::int64_t slot : slots) {
    if (slot < 0 || slot > last)
      foundation::fatalError(std::string("WrittenSlots: ") + kind + " slot " + std::to_string(slot) +
                             " is out of range 0 to " + std::to_string(last));
    bits |= 1u << slot;
  }
  return bits;
}

}  // namespace

WrittenSlots WrittenSlots::of(std::initializer_list<std::int64_t> textureSlots,
                              std::initializer_list<std::int64_t> bufferSlots) {
  return {slotBits(textureSlots, kMaxTextureIndex, "texture"), slotBits(bufferSlots, kMaxBufferIndex, "buffer")};
}

void registerKernel(std::string name, Kernel kernel, std::optional<WrittenSlots> writes) {
  if (name.empty()) foundation::fatalError("registerKernel: a kernel needs a name");
  if (!kernel) foundation::fatalError("registerKernel: kernel \"" + name + "\" has no function");
  registry()[std::move(name)] = RegisteredKernel{std::move(kernel), writes};
}

bool unregisterKernel(std::string_view name) {
  auto it = registry().find(name);
  if (it == registry().end()) return false;
  registry().erase(it);
  return true;
}

const RegisteredKernel* findKernel(std::string_view name) {
  auto it = registry().find(name);
  return it == registry().end() ? nullptr : &it->second;
}

std::vector<std::string> registeredKernelNames() {
  std::vector<std::string> names;
  for (const auto& entry : registry()) names.push_back(entry.first);
  return names;
}

}  // namespace gpu
