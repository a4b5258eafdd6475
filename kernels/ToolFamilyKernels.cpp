// The tool families' own kernels (bristle brushes, wide brush, towel, dryer, wetter). They are
// registered so that the pass registry and a tool's initialisation can build their pipelines; what
// they compute comes with the tools, and until then a dispatch stops.

#include <string>

#include "foundation/Fatal.h"
#include "kernels/KernelList.h"

namespace kernels {

namespace {
[[noreturn]] void notBuilt(const char* name) { foundation::fatalError(std::string(name) + ": not built yet"); }
}  // namespace

void brushBristlePaint(const gpu::Dispatch&) { notBuilt("DAEToolModel_brush_bristle_paint"); }
void brushFan(const gpu::Dispatch&) { notBuilt("DAEToolModel_brush_fan"); }
void brushFilbert(const gpu::Dispatch&) { notBuilt("DAEToolModel_brush_filbert"); }
void brushFlat(const gpu::Dispatch&) { notBuilt("DAEToolModel_brush_flat"); }
void wideBrushPaint(const gpu::Dispatch&) { notBuilt("DAEToolModel_wide_brush_paint"); }
void towelPaint(const gpu::Dispatch&) { notBuilt("DAEToolModel_towel_paint"); }
void towelMapPaint(const gpu::Dispatch&) { notBuilt("DAEToolModel_towel_map_paint"); }
void dryerInit(const gpu::Dispatch&) { notBuilt("DAEToolModel_dryer_init"); }
void dryerPaint(const gpu::Dispatch&) { notBuilt("DAEToolModel_dryer_paint"); }
void wetterInit(const gpu::Dispatch&) { notBuilt("DAEToolModel_wetter_init"); }
void wetterPaint(const gpu::Dispatch&) { notBuilt("DAEToolModel_wetter_paint"); }

}  // namespace kernels
