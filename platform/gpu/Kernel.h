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

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace gpu {

class Dispatch;

using Kernel = std::function<void(const Dispatch& dispatch)>;

// Registers `kernel` under `name`, replacing any kernel of that name. An empty name or an empty
// function is a fatal stop.
void registerKernel(std::string name, Kernel kernel);

// Removes the kernel of that name; false when there was none.
bool unregisterKernel(std::string_view name);

// The kernel of that name, or null.
const Kernel* findKernel(std::string_view name);

// Every registered name, sorted.
std::vector<std::string> registeredKernelNames();

// Registers a kernel when constructed, for registration from a static object in a source file.
struct KernelRegistration {
  KernelRegistration(std::string name, Kernel kernel) { registerKernel(std::move(name), std::move(kernel)); }
};

}  // namespace gpu
