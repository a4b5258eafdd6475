#include "tools/tubes/MacAddSphere.h"

#include "components/DrawingPaint.h"
#include "gpu/ComputeCommandEncoder.h"
#include "gpu/Device.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/ToolSurface.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

MacAddSphere::MacAddSphere(PrepareStep prepare) : DropToolEncoder("mac_add_sphere", std::move(prepare)) {}

std::int32_t MacAddSphere::drawingMode(const DrawingPaint& paint, const DrawingTool& tool) {
  if (AppManager().isPalette(paint)) return 0;
  return tool.canWetDrawing() && tool.wetDrawing() ? 0 : 1;
}

void MacAddSphere::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  DropToolEncoder::fillCommandBuffer(paint, encoder);
  const std::int32_t mode = drawingMode(paint, *paint.drawingTool());
  encoder.setBuffer(AppManager().device()->makeBuffer(&mode, sizeof mode), 0, BUFFER_DRAWING_MODE);
  paint.drawingTool()->toolSurface()->encodePathStart(encoder);
}

}  // namespace tessivarium
