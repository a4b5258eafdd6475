// The bristle brushes' initialisers: each lays its bristle records into a brush's head. They are registered so that
// the pass registry and a tool's initialisation can build their pipelines; what they compute comes
// with the tools, and until then a dispatch stops.

#include "foundation/Fatal.h"
#include "kernels/KernelList.h"

namespace kernels {

void brushFan(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_brush_fan: not built yet"); }
void brushFilbert(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_brush_filbert: not built yet"); }
void brushFlat(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_brush_flat: not built yet"); }

}  // namespace kernels
