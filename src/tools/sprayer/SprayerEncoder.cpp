#include "tools/sprayer/SprayerEncoder.h"

#include "components/DrawingPaint.h"
#include "tools/DrawingTool.h"
#include "tools/ToolSurface.h"

namespace tessivarium {

void SprayerEncoder::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  DropToolEncoder::fillCommandBuffer(paint, encoder);
  ToolSurface& surface = *paint.drawingTool()->toolSurface();
  surface.encodeOffset(encoder);
  surface.encodePathStart(encoder, ToolSurface::Trail::none);
}

}  // namespace tessivarium
