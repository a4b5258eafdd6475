// The sander's kernels. They are registered so that
// the pass registry and a tool's initialisation can build their pipelines; what they compute comes
// with the tools, and until then a dispatch stops.

#include "foundation/Fatal.h"
#include "kernels/KernelList.h"

namespace kernels {

void sanderPaint(const gpu::Dispatch&) { foundation::fatalError("Sander_paint: not built yet"); }
void sanderBlurImage(const gpu::Dispatch&) { foundation::fatalError("Sander_blur_image: not built yet"); }

}  // namespace kernels
