// The wide brushes' paint kernel, over their flat head. They are registered so that
// the pass registry and a tool's initialisation can build their pipelines; what they compute comes
// with the tools, and until then a dispatch stops.

#include "foundation/Fatal.h"
#include "kernels/KernelList.h"

namespace kernels {

void wideBrushPaint(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_wide_brush_paint: not built yet"); }

}  // namespace kernels
