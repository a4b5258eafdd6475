#include "tools/roller/RollerTool.h"

#include "tools/AbstractShaderUnit.h"
#include "tools/DAEEncoders.h"
#include "tools/roller/RollerToolSurface.h"
#include "tools/roller/RollerToolViewer.h"

namespace tessivarium {

RollerTool::RollerTool() : AbstractDAEDrawingTool(ToolType::roller) {
  setCanClean(false);
  setCanReset(false);
  setCanSavePattern(false);
  setResizableOnPressure(true);
  setHasColorPattern(false);
  setCanFillColor(false);
}

void RollerTool::initialize() {
  if (initialized()) return;
  DAEEncoders().getPaintEncoder(ToolType::roller)->shaderPipelineState();
  AbstractDrawingTool::initialize();
}

std::shared_ptr<ToolViewer> RollerTool::createToolViewer() {
  return std::make_shared<RollerToolViewer>(*this, "Roller", 0.1f);
}

std::shared_ptr<ToolSurface> RollerTool::createToolSurface() {
  return ToolSurface::make<RollerToolSurface>(*this, touchInputs());
}

}  // namespace tessivarium
