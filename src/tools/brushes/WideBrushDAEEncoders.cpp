#include "tools/brushes/WideBrushDAEEncoders.h"

#include "components/DrawingPaint.h"
#include "gpu/ComputeCommandEncoder.h"
#include "tools/AbstractDAEEncoderUnit.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolModel.h"
#include "tools/ToolSurface.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

void DAEWideBrushPaintingEncoder::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractToolEncoderShader::fillCommandBuffer(paint, encoder);
  ToolSurface& surface = *paint.drawingTool()->toolSurface();
  surface.encodeTextures(paint, encoder);
  surface.encodeInput(encoder);
  surface.encodeOffset(encoder);
  surface.encodePathStart(encoder);
  // The paint keeps off the masked cells itself, so that the head keeps what would not land.
  encodeCanvasMask(paint, encoder);
  ToolModel& model = currentToolModel(paint, "DAEWideBrushPaintingEncoder");
  encoder.setTexture(model.colorTexture0(), TEXTURE_TOOL_READ);
  encoder.setTexture(model.colorTexture1(), TEXTURE_TOOL_WRITE);
  updateThreadGroup2D(*AppManager().surfaceTextures().gridTexture0());
  model.swapTexture();
}

}  // namespace tessivarium
