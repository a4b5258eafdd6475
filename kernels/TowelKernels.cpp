// The towel's kernels. They are registered so that
// the pass registry and a tool's initialisation can build their pipelines; what they compute comes
// with the tools, and until then a dispatch stops.

#include "foundation/Fatal.h"
#include "kernels/KernelList.h"

namespace kernels {

void towelPaint(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_towel_paint: not built yet"); }
void towelMapPaint(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_towel_map_paint: not built yet"); }
void towelBlurImage(const gpu::Dispatch&) { foundation::fatalError("Towel_blur_image: not built yet"); }

}  // namespace kernels
