#include "tools/sander/SanderTool.h"

#include "tools/sander/SanderToolSurface.h"
#include "tools/sander/SanderToolViewer.h"

namespace tessivarium {

std::shared_ptr<ToolViewer> SanderTool::createToolViewer() {
  return std::make_shared<SanderToolViewer>(*this, "Sander", 0.1f);
}

std::shared_ptr<ToolSurface> SanderTool::createToolSurface() {
  return ToolSurface::make<SanderToolSurface>(*this, touchInputs());
}

}  // namespace tessivarium
