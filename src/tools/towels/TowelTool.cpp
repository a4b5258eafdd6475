#include "tools/towels/TowelTool.h"

#include "tools/DAEEncoders.h"
#include "tools/DAEToolModelBlur.h"
#include "tools/towels/TowelDAEEncoders.h"
#include "tools/towels/TowelToolSurface.h"
#include "tools/towels/TowelToolViewer.h"

namespace tessivarium {

std::shared_ptr<ToolSurface> AbstractTowelTool::createToolSurface() {
  return ToolSurface::make<TowelToolSurface>(*this, touchInputs());
}

TowelTool::TowelTool() : AbstractTowelTool(ToolType::towel) {
  setCanFillColor(false);
  setCanReset(false);
  setCanSavePattern(false);
  setResizableOnPressure(false);
  setHasColorPattern(false);
}

void TowelTool::initialize() {
  if (initialized()) return;
  auto& registry = DAEEncoders();
  registry.getTextureBlur(ToolType::towel)->shaderPipelineState();
  registry.getPaintEncoder(ToolType::towel)->shaderPipelineState();
  registry.getTowelMapPaint()->shaderPipelineState();
  AbstractTowelTool::initialize();
}

std::shared_ptr<ToolViewer> TowelTool::createToolViewer() { return std::make_shared<TowelToolViewer>(*this, "towel"); }

}  // namespace tessivarium
