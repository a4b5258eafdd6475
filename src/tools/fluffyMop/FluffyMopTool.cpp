#include "tools/fluffyMop/FluffyMopTool.h"

#include "tools/fluffyMop/FluffyMopToolViewer.h"
#include "tools/fluffyMop/FluffyToolSurface.h"

namespace tessivarium {

std::shared_ptr<ToolViewer> FluffyMopTool::createToolViewer() {
  return std::make_shared<FluffyMopToolViewer>(*this, "FluffyMop", 0.1f);
}

std::shared_ptr<ToolSurface> FluffyMopTool::createToolSurface() {
  return ToolSurface::make<FluffyToolSurface>(*this, touchInputs());
}

}  // namespace tessivarium
