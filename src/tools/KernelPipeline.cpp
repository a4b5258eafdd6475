#include "tools/KernelPipeline.h"

#include "foundation/Clock.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "gpu/ComputePipelineState.h"
#include "gpu/Device.h"
#include "gpu/Library.h"
#include "tools/DebugSwitches.h"

namespace tessivarium {

std::shared_ptr<gpu::ComputePipelineState> makeKernelPipeline(const std::shared_ptr<gpu::Device>& device,
                                                              const std::string& name, bool reportTime) {
  if (!device) foundation::fatalError("No GPU device to build the pipeline of \"" + name + "\" on");
  const auto library = device->makeDefaultLibrary();
  if (!library) foundation::fatalError("The GPU device has no default library");
  const double start = foundation::monotonicSeconds();
  const auto function = library->makeFunction(name);
  if (!function) foundation::fatalError("No kernel function \"" + name + "\" in the default library");
  auto pipeline = device->makeComputePipelineState(function);
  if (!pipeline) foundation::fatalError("Unable to create censusTransformMonoPipelineState");
  const double elapsed = foundation::monotonicSeconds() - start;
  if (reportTime && DEBUG_DAE_KNIFE != KnifeDebugMode::None) {
    foundation::consoleLine("Execution time of " + name + ": " + foundation::describe(elapsed));
  }
  return pipeline;
}

}  // namespace tessivarium
