#pragma once
// Builds the compute pipeline of a kernel of the host's default library, by name.

#include <memory>
#include <string>

namespace gpu {
class ComputePipelineState;
class Device;
}  // namespace gpu

namespace tessivarium {

// The pipeline of the kernel `name` on `device`. No default library, no kernel of that name or a
// pipeline the device cannot make is a fatal stop. With `reportTime`, and while DEBUG_DAE_KNIFE is
// not None, prints "Execution time of <name>: <seconds>" for the look-up and the build (the
// library's opening is not timed).
std::shared_ptr<gpu::ComputePipelineState> makeKernelPipeline(const std::shared_ptr<gpu::Device>& device,
                                                              const std::string& name, bool reportTime);

}  // namespace tessivarium
