#include "tools/DrawingTool.h"

#include "foundation/Fatal.h"
#include "tools/ToolSurface.h"

namespace tessivarium {

void AbstractDrawingTool::setEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled) handleDisabled();
}

void AbstractDrawingTool::handleDisabled() { enabledOnCanvas_ = false; }

// The tool framework (stroke state, viewer, controller) comes with the tool subsystem.
void AbstractDrawingTool::handleEnabled(bool) {
  foundation::fatalError("AbstractDrawingTool.handleEnabled: not built yet");
}

void AbstractDrawingTool::dettachViewer() {
  foundation::fatalError("AbstractDrawingTool.dettachViewer: not built yet");
}

const std::shared_ptr<ToolSurface>& AbstractDrawingTool::toolSurface() {
  if (!toolSurface_) toolSurface_ = createToolSurface();
  return toolSurface_;
}

std::shared_ptr<ToolSurface> AbstractDrawingTool::createToolSurface() { return std::make_shared<ToolSurface>(*this); }

void AbstractDrawingTool::loads() { foundation::fatalError("AbstractDrawingTool.loads: not built yet"); }

}  // namespace tessivarium
