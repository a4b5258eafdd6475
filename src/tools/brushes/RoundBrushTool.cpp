#include "tools/brushes/RoundBrushTool.h"

#include "tools/AbstractShaderUnit.h"
#include "tools/DAEEncoders.h"
#include "tools/brushes/RoundBrushToolSurface.h"
#include "tools/brushes/SceneBrushViewer.h"

namespace tessivarium {

RoundBrushTool::RoundBrushTool() : AbstractBrushTool(ToolType::roundBrush) {
  // The fill loads a tool model, and the round brush has none.
  setCanFillColor(false);
}

void RoundBrushTool::initialize() {
  if (initialized()) return;
  DAEEncoders().getPaintEncoder(ToolType::roundBrush)->shaderPipelineState();
  AbstractBrushTool::initialize();
}

std::vector<std::shared_ptr<ToolEncoder>> RoundBrushTool::getInitializers() { return {}; }

std::shared_ptr<ToolViewer> RoundBrushTool::createToolViewer() {
  return std::make_shared<SceneBrushViewer>(*this, 1.0f);
}

std::shared_ptr<ToolSurface> RoundBrushTool::createToolSurface() {
  // Only the first step of the construction: every frame's encode starts by handing the surface
  // its samples, so the surface may be made before there is a canvas.
  return std::make_shared<RoundBrushToolSurface>(*this);
}

}  // namespace tessivarium
