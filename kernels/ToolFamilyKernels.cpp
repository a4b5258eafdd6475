// The tool families' own kernels (bristle brushes, wide brush, towel, dryer, wetter). They are
// registered so that the pass registry and a tool's initialisation can build their pipelines; what
// they compute comes with the tools, and until then a dispatch stops.

#include "foundation/Fatal.h"
#include "kernels/KernelList.h"

namespace kernels {

void brushBristlePaint(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_brush_bristle_paint: not built yet"); }
void brushFan(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_brush_fan: not built yet"); }
void brushFilbert(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_brush_filbert: not built yet"); }
void brushFlat(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_brush_flat: not built yet"); }
void wideBrushPaint(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_wide_brush_paint: not built yet"); }
void towelPaint(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_towel_paint: not built yet"); }
void towelMapPaint(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_towel_map_paint: not built yet"); }
void dryerInit(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_dryer_init: not built yet"); }
void dryerPaint(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_dryer_paint: not built yet"); }
void wetterInit(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_wetter_init: not built yet"); }
void wetterPaint(const gpu::Dispatch&) { foundation::fatalError("DAEToolModel_wetter_paint: not built yet"); }

}  // namespace kernels
