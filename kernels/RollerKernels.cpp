// The paint roller's kernel. They are registered so that
// the pass registry and a tool's initialisation can build their pipelines; what they compute comes
// with the tools, and until then a dispatch stops.

#include "foundation/Fatal.h"
#include "kernels/KernelList.h"

namespace kernels {

void rollerPaint(const gpu::Dispatch&) { foundation::fatalError("Roller_paint: not built yet"); }

}  // namespace kernels
