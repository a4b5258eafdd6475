#include "tools/brushes/FlatBrushTools.h"

#include "tools/DAEEncoders.h"
#include "tools/brushes/BrushDAEEncoders.h"
#include "tools/brushes/BrushGlobals.h"

namespace tessivarium {

void AbstractFlatBrushTool::initialize() { initializeAfter(*DAEEncoders().getFlatBrushInitializer()); }

std::vector<std::shared_ptr<ToolEncoder>> AbstractFlatBrushTool::getInitializers() {
  return initializersWith(DAEEncoders().getFlatBrushInitializer());
}

// The normal flat brush is as large as the big one.
std::shared_ptr<ToolViewer> SmallFlatBrushTool::createToolViewer() { return makeViewer(static_cast<float>(SmallScale)); }
std::shared_ptr<ToolViewer> FlatBrushTool::createToolViewer() { return makeViewer(1.0f); }
std::shared_ptr<ToolViewer> BigFlatBrushTool::createToolViewer() { return makeViewer(1.0f); }

}  // namespace tessivarium
