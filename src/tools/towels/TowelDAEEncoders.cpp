#include "tools/towels/TowelDAEEncoders.h"

#include "gpu/ComputeCommandEncoder.h"
#include "tools/ApplicationManager.h"
#include "tools/SurfaceWorkingTextures.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

void DAETowelPaintingEncoder::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractDAEPaintingEncoder::fillCommandBuffer(paint, encoder);
  encoder.setTexture(AppManager().surfaceTextures().gridTexture0(), TEXTURE_GRID_ORIGINAL_WRITE);
}

void DAETowelMapPaint::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder& encoder) {
  auto& working = AppManager().surfaceTextures();
  encoder.setTexture(working.gridTexture1(), TEXTURE_GRID_READ);
  encoder.setTexture(working.gridTexture0(), TEXTURE_GRID_WRITE);
  encoder.setTexture(working.wetTexture1(), TEXTURE_WET_READ);
  encoder.setTexture(working.wetTexture0(), TEXTURE_WET_WRITE);
  updateThreadGroup2D(*working.wetTexture1());
}

}  // namespace tessivarium
