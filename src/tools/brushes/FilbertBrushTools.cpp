#include "tools/brushes/FilbertBrushTools.h"

#include "tools/DAEEncoders.h"
#include "tools/brushes/BrushDAEEncoders.h"
#include "tools/brushes/BrushGlobals.h"

namespace tessivarium {

void AbstractFilbertBrushTool::initialize() { initializeAfter(*DAEEncoders().getFilbertBrushInitializer()); }

std::vector<std::shared_ptr<ToolEncoder>> AbstractFilbertBrushTool::getInitializers() {
  return initializersWith(DAEEncoders().getFilbertBrushInitializer());
}

std::shared_ptr<ToolViewer> SmallFilbertBrushTool::createToolViewer() { return makeViewer(static_cast<float>(SmallScale)); }
std::shared_ptr<ToolViewer> FilbertBrushTool::createToolViewer() { return makeViewer(static_cast<float>(NormalScale)); }
std::shared_ptr<ToolViewer> BigFilbertBrushTool::createToolViewer() { return makeViewer(1.0f); }

}  // namespace tessivarium
