#include "tools/WorkingDataBindings.h"

#include "gpu/ComputeCommandEncoder.h"
#include "tools/ApplicationManager.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolSurface.h"
#include "utils/GpuRecords.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

void bindWorkingData(DrawingPaint& paint, ToolSurface& surface, gpu::ComputeCommandEncoder& encoder) {
  surface.encodeTextures(paint, encoder);
  auto& working = AppManager().surfaceTextures();
  encoder.setTexture(working.gridTexture0(), TEXTURE_GRID_READ);
  encoder.setTexture(working.wetTexture0(), TEXTURE_WET_READ);
  encoder.setTexture(working.dryTexture0(), TEXTURE_DRY_READ);
}

void bindUseDry(const DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  encoder.setBuffer(makeFlagBuffer(!AppManager().isPalette(paint)), 0, BUFFER_USE_DRY);
}

}  // namespace tessivarium
