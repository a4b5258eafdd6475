#include "tools/brushes/FanBrushTools.h"

#include "tools/DAEEncoders.h"
#include "tools/brushes/BrushDAEEncoders.h"

namespace tessivarium {

void AbstractFanBrushTool::initialize() { initializeAfter(*DAEEncoders().getFanBrushInitializer()); }

std::vector<std::shared_ptr<ToolEncoder>> AbstractFanBrushTool::getInitializers() {
  return initializersWith(DAEEncoders().getFanBrushInitializer());
}

// The fan brushes have sizes of their own.
std::shared_ptr<ToolViewer> SmallFanBrushTool::createToolViewer() { return makeViewer(0.4f); }
std::shared_ptr<ToolViewer> FanBrushTool::createToolViewer() { return makeViewer(0.6f); }
std::shared_ptr<ToolViewer> BigFanBrushTool::createToolViewer() { return makeViewer(1.0f); }

}  // namespace tessivarium
