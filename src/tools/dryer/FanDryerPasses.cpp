#include "tools/dryer/FanDryerPasses.h"

#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "gpu/ComputeCommandEncoder.h"
#include "gpu/Texture.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolSurface.h"
#include "tools/dryer/FanDryerCanvas.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

void FanDryerInitPass::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractToolEncoderShader::fillCommandBuffer(paint, encoder);
  DrawingPaint& canvas = fanDryerCanvas(shaderName());
  ArtworkTextures& layer = fanDryerLayer(canvas, shaderName());
  const auto& copy = canvas.colorTexture2D();
  if (widthOf(copy) == 0) {
    skipDispatch();
    return;
  }
  encoder.setTexture(layer.gridTexture(), TEXTURE_GRID_READ);
  encoder.setTexture(layer.wetTexture(), TEXTURE_WET_READ);
  encoder.setTexture(layer.dryTexture(), TEXTURE_DRY_READ);
  encoder.setTexture(copy, TEXTURE_COLOR_IMAGE_READ);
  encoder.setTexture(layer.paintingTexture(), TEXTURE_COLOR_IMAGE_WRITE);
  updateThreadGroup2D(*layer.paintingTexture());
}

void FanDryerPaintPass::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  ToolSurface& surface = *paint.drawingTool()->toolSurface();
  AbstractToolEncoderShader::fillCommandBuffer(paint, encoder);
  surface.encodeOffset(encoder);
  surface.encodeInput(encoder);
  // The fan turns paint by the distance travelled, its path going on from the step before.
  surface.encodePathStart(encoder, ToolSurface::Trail::none);
  DrawingPaint& canvas = fanDryerCanvas(shaderName());
  ArtworkTextures& layer = fanDryerLayer(canvas, shaderName());
  // The picture has a pixel per point, the working textures a cell per cell: the kernel needs the
  // cells per point to find the cells under a pixel.
  surface.encodeScale(encoder, static_cast<float>(canvas.artwork()->scale()));
  auto& working = AppManager().surfaceTextures();
  encoder.setTexture(working.gridTexture0(), TEXTURE_GRID_READ);
  encoder.setTexture(working.gridTexture0(), TEXTURE_GRID_WRITE);
  encoder.setTexture(working.wetTexture0(), TEXTURE_WET_WRITE);
  encoder.setTexture(working.wetTexture0(), TEXTURE_WET_READ);
  encoder.setTexture(working.dryTexture0(), TEXTURE_DRY_WRITE);
  encoder.setTexture(working.dryTexture0(), TEXTURE_DRY_READ);
  encoder.setTexture(layer.paintingTexture(), TEXTURE_COLOR_IMAGE_READ);
  encoder.setTexture(layer.paintingTexture(), TEXTURE_COLOR_IMAGE_WRITE);
  updateThreadGroup2D(*layer.paintingTexture());
}

}  // namespace tessivarium
