#include "tools/sander/SanderDAEEncoders.h"

#include "gpu/ComputeCommandEncoder.h"
#include "tools/ApplicationManager.h"
#include "tools/SurfaceWorkingTextures.h"
#include "utils/GpuRecords.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

void DAESanderPaintingEncoder::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractDAEPaintingEncoder::fillCommandBuffer(paint, encoder);
  const auto& map = AppManager().surfaceTextures().renderingTexture();
  encoder.setTexture(map, TEXTURE_MAP_WRITE);
  encoder.setTexture(map, TEXTURE_MAP_READ);
}

void SanderModelBlur::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractDAEToolModelBlur::fillCommandBuffer(paint, encoder);
  auto& working = AppManager().surfaceTextures();
  encoder.setTexture(working.dryTexture0(), TEXTURE_DRY_READ);
  encoder.setTexture(working.dryTexture0(), TEXTURE_DRY_WRITE);
  encoder.setTexture(working.renderingTexture(), TEXTURE_MAP_READ);
  const float thickness[] = {thickness_};
  encoder.setBuffer(makeFloatBuffer(thickness), 0, BUFFER_THICKNESS);
}

}  // namespace tessivarium
