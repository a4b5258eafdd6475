#include "tools/DrawingTool.h"

#include "foundation/Fatal.h"

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

void AbstractDrawingTool::loads() { foundation::fatalError("AbstractDrawingTool.loads: not built yet"); }

}  // namespace tessivarium
