// The fluffy mop's kernels. They are registered so that
// the pass registry and a tool's initialisation can build their pipelines; what they compute comes
// with the tools, and until then a dispatch stops.

#include "foundation/Fatal.h"
#include "kernels/KernelList.h"

namespace kernels {

void fluffyMopPaint(const gpu::Dispatch&) { foundation::fatalError("FluffyMop_paint: not built yet"); }
void fluffyMopBlurImage(const gpu::Dispatch&) { foundation::fatalError("FluffyMop_blur_image: not built yet"); }

}  // namespace kernels
