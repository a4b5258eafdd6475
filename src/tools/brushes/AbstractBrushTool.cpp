#include "tools/brushes/AbstractBrushTool.h"

#include <cmath>

#include "Artwork.h"
#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/EncodersProvider.h"
#include "tools/TextureReset.h"
#include "tools/ToolModel.h"
#include "tools/ToolSurface.h"
#include "tools/brushes/BrushDAEEncoders.h"
#include "tools/brushes/BrushToolSurface.h"
#include "tools/brushes/BrushToolViewer.h"

namespace tessivarium {

AbstractBrushTool::AbstractBrushTool(ToolType type) : AbstractDAEDrawingTool(type) {
  setCanWetDrawing(true);
  setWetDrawing(true);
  setIsThickPressureSensitive(true);
}

void AbstractBrushTool::initialize() {
  if (initialized()) return;
  auto& encoders = DAEEncoders();
  // One brush type stands for all flat, fan and filbert brushes: they share these three passes.
  const std::shared_ptr<AbstractShaderUnit> passes[] = {
      encoders.getFanBrushInitializer(),          encoders.getFlatBrushInitializer(),
      encoders.getFilbertBrushInitializer(),      encoders.getPaintEncoder(ToolType::fanBrush),
      encoders.getPickupEncoder(ToolType::fanBrush), encoders.getColorFillEncoder(ToolType::fanBrush)};
  for (const auto& pass : passes) pass->shaderPipelineState();
  AbstractDAEDrawingTool::initialize();
}

gpu::uint3 AbstractBrushTool::findWorkingOffset(const std::vector<graphics::Point>& points, float azimuth) {
  const float s = static_cast<float>(canvasScaleForWindow());
  const float d = static_cast<float>(MAC_HALF_WIDTH) / 3.0f / s;
  const float ox = d + d * (1.0f - std::cos(azimuth));
  const float oy = d + d * (1.0f - std::sin(azimuth));
  return windowAbove(points, static_cast<double>(ox + d), static_cast<double>(oy + d));
}

std::vector<std::shared_ptr<ToolEncoder>> AbstractBrushTool::getInitializers() {
  const auto model = toolSurface()->getModel();
  if (!model || !model->colorTexture1()) return {};
  return {EncodersProvider().getTextureReset(model->colorTexture1())};
}

std::shared_ptr<ToolSurface> AbstractBrushTool::createToolSurface() {
  // Only the first step of the construction: every frame's encode starts by handing the surface
  // its samples (reset), so the surface may be made before there is a canvas.
  return std::make_shared<BrushToolSurface>(*this);
}

void AbstractBrushTool::initializeAfter(AbstractShaderUnit& familyInitializer) {
  if (!initialized()) familyInitializer.shaderPipelineState();
  AbstractBrushTool::initialize();
}

std::vector<std::shared_ptr<ToolEncoder>> AbstractBrushTool::initializersWith(
    std::shared_ptr<ToolEncoder> familyInitializer) {
  auto passes = AbstractBrushTool::getInitializers();
  if (!passes.empty()) passes.push_back(std::move(familyInitializer));
  return passes;
}

std::shared_ptr<ToolViewer> AbstractBrushTool::makeBrushViewer(const char* fileName, float scale) {
  return std::make_shared<BrushToolViewer>(*this, fileName, scale);
}

}  // namespace tessivarium
