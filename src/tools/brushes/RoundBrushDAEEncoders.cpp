#include "tools/brushes/RoundBrushDAEEncoders.h"

#include "components/DrawingPaint.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/DrawingTool.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolSurface.h"

namespace tessivarium {

void DAERoundBrushPaintingEncoder::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  auto& surface = *paint.drawingTool()->toolSurface();
  surface.encodeTextures(paint, encoder);
  surface.encodeInput(encoder);
  surface.encodePathStart(encoder);
  surface.encodeOffset(encoder);
  encodeCanvasMask(paint, encoder);
  AbstractToolEncoderShader::fillCommandBuffer(paint, encoder);
  updateThreadGroup2D(*AppManager().surfaceTextures().gridTexture0());
}

}  // namespace tessivarium
