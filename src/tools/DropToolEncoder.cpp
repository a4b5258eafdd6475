#include "tools/DropToolEncoder.h"

#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/ComputeCommandEncoder.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/DrawingTool.h"
#include "tools/DropSurface.h"
#include "tools/SurfaceWorkingTextures.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

DropToolEncoder::DropToolEncoder(std::string shaderName, PrepareStep prepare)
    : AbstractDAEPaintingEncoder(std::move(shaderName), std::move(prepare)) {}

void DropToolEncoder::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  auto* surface = dynamic_cast<DropSurface*>(paint.drawingTool()->toolSurface().get());
  if (!surface) foundation::fatalError(shaderName() + ": the current tool has no drop surface");
  if (!surface->colorBuffer()) foundation::fatalError(shaderName() + ": the drop surface has taken no batch yet");
  encoder.setBuffer(surface->colorBuffer(), 0, BUFFER_COLOR);
  surface->encodeInput(encoder);
  surface->encodeTextures(paint, encoder);
  encodeCanvasMask(paint, encoder);
  updateThreadGroup2D(*AppManager().surfaceTextures().gridTexture0());
}

}  // namespace tessivarium
