// The round brush's paint kernel, which paints without a head. They are registered so that
// the pass registry and a tool's initialisation can build their pipelines; what they compute comes
// with the tools, and until then a dispatch stops.

#include "foundation/Fatal.h"
#include "kernels/KernelList.h"

namespace kernels {

void brushBristlePaint(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_brush_bristle_paint: not built yet"); }

}  // namespace kernels
