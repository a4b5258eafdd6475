#include "tools/DAEToolModelBlur.h"

#include "gpu/ComputeCommandEncoder.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/SurfaceWorkingTextures.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

AbstractDAEToolModelBlur::AbstractDAEToolModelBlur(std::string shaderName, PrepareStep prepare)
    : AbstractToolEncoderShader(std::move(shaderName), std::move(prepare)) {}

void AbstractDAEToolModelBlur::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  auto& working = AppManager().surfaceTextures();
  encoder.setTexture(working.gridTexture0(), TEXTURE_GRID_READ);
  encoder.setTexture(working.gridTexture0(), TEXTURE_GRID_WRITE);
  encoder.setTexture(working.wetTexture0(), TEXTURE_WET_READ);
  encoder.setTexture(working.wetTexture0(), TEXTURE_WET_WRITE);
  encoder.setTexture(working.gridTexture1(), TEXTURE_MAP_READ);
  encodeCanvasMask(paint, encoder);
  updateThreadGroup2D(*working.gridTexture1());
}

DAEToolModelBlur::DAEToolModelBlur(PrepareStep prepare)
    : AbstractDAEToolModelBlur("DAEToolModel_blur_image", std::move(prepare)) {}

}  // namespace tessivarium
