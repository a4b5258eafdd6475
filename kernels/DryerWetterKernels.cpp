// The dryer's and the wetter's kernels. They are registered so that
// the pass registry and a tool's initialisation can build their pipelines; what they compute comes
// with the tools, and until then a dispatch stops.

#include "foundation/Fatal.h"
#include "kernels/KernelList.h"

namespace kernels {

void dryerInit(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_dryer_init: not built yet"); }
void dryerPaint(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_dryer_paint: not built yet"); }
void wetterInit(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_wetter_init: not built yet"); }
void wetterPaint(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_wetter_paint: not built yet"); }

}  // namespace kernels
