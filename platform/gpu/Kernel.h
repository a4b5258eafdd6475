#pragma once
// Kernels are C++ functions registered by name in the host's kernel registry, which the device's
// default library looks them up in. A kernel receives its dispatch (bindings, groups and threads) and
// runs its threads with forEachThread or forEachRow (KernelRuntime.h).
//
//   void copyKernel(const gpu::Dispatch& dispatch) {
//     gpu::TexelView from = dispatch.texels(2), to = dispatch.texels(3);
//     gpu::forEachThread(dispatch, to, [from, to](gpu::uint3 p) { to.write(from.read(p), p); });
//   }
//   gpu::registerKernel("texture_copy", copyKernel);
//
// A copy-like kernel takes whole row runs instead (forEachRow, same positions):
//   gpu::forEachRow(dispatch, to, [from, to](gpu::uint3 p, std::size_t n) { to.copyRun(from, p.x, p.y, p.z, n); });
//
// A kernel may say which of its slots it writes; it reads the rest. Its dispatches may then run at
// the same time as the dispatches next to them in a command buffer that also say so, where neither
// writes a texture or buffer the other binds (a GPU overlaps such work as well):
//   gpu::registerKernel("texture_copy", copyKernel, gpu::WrittenSlots::of({3}));

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gpu {

class Dispatch;

using Kernel = std::function<void(const Dispatch& dispatch)>;

// The texture and buffer slots a kernel writes, a bit a slot.
struct WrittenSlots {
  std::uint32_t textures = 0;
  std::uint32_t buffers = 0;

  // Fatal for a slot outside the binding ranges.
  static WrittenSlots of(std::initializer_list<std::int64_t> textureSlots,
                         std::initializer_list<std::int64_t> bufferSlots = {});
  bool writesTexture(std::size_t slot) const { return (textures >> slot) & 1u; }
  bool writesBuffer(std::size_t slot) const { return (buffers >> slot) & 1u; }
};

struct RegisteredKernel {
  Kernel function;
  std::optional<WrittenSlots> writes;  // none: the kernel may write anything it binds
};

// Registers `kernel` under `name`, replacing any kernel of that name. An empty name or an empty
// function is a fatal stop.
void registerKernel(std::string name, Kernel kernel, std::optional<WrittenSlots> writes = std::nullopt);

// Removes the kernel of that name; false when there was none.
bool unregisterKernel(std::string_view name);

// The kernel of that name, or null.
const RegisteredKernel* findKernel(std::string_view name);

// Every registered name, sorted.
std::vector<std::string> registeredKernelNames();

// Registers a kernel when constructed, for registration from a static object in a source file.
struct KernelRegistration {
  KernelRegistration(std::string name, Kernel kernel) { registerKernel(std::move(name), std::move(kernel)); }
};

}  // namespace gpu
