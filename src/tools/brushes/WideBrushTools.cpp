#include "tools/brushes/WideBrushTools.h"

#include "tools/DAEEncoders.h"
#include "tools/brushes/BrushGlobals.h"
#include "tools/brushes/WideBrushDAEEncoders.h"
#include "tools/brushes/WideBrushSurface.h"
#include "tools/brushes/WideBrushToolViewer.h"

namespace tessivarium {

void AbstractWideBrushTool::initialize() {
  if (initialized()) return;
  auto& encoders = DAEEncoders();
  // One wide type stands for the four sizes: they share these three passes.
  encoders.getPaintEncoder(ToolType::wideBrush)->shaderPipelineState();
  encoders.getPickupEncoder(ToolType::wideBrush)->shaderPipelineState();
  encoders.getColorFillEncoder(ToolType::wideBrush)->shaderPipelineState();
  AbstractBrushTool::initialize();
}

std::shared_ptr<ToolSurface> AbstractWideBrushTool::createToolSurface() {
  // Only the first step of the construction, as for every brush: each frame's encode hands the
  // surface its samples first, so the surface may be made before there is a canvas.
  return std::make_shared<DAEWideBrushSurface>(*this);
}

std::shared_ptr<ToolViewer> AbstractWideBrushTool::makeViewer(float scale) {
  return std::make_shared<WideBrushToolViewer>(*this, "FlatBrush", scale);
}

std::shared_ptr<ToolViewer> SmallWideBrushTool::createToolViewer() { return makeViewer(static_cast<float>(SmallScale)); }
std::shared_ptr<ToolViewer> WideBrushTool::createToolViewer() { return makeViewer(static_cast<float>(NormalScale)); }
std::shared_ptr<ToolViewer> BigWideBrushTool::createToolViewer() { return makeViewer(1.0f); }
std::shared_ptr<ToolViewer> ExtraWideBrushTool::createToolViewer() { return makeViewer(static_cast<float>(ExtraScale)); }

}  // namespace tessivarium
