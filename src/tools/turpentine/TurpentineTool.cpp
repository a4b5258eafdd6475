#include "tools/turpentine/TurpentineTool.h"

#include "tools/turpentine/TurpentineToolSurface.h"
#include "tools/turpentine/TurpentineToolViewer.h"

namespace tessivarium {

std::shared_ptr<ToolViewer> TurpentineTool::createToolViewer() {
  return std::make_shared<TurpentineToolViewer>(*this, "Turpentine", 0.1f);
}

std::shared_ptr<ToolSurface> TurpentineTool::createToolSurface() {
  return ToolSurface::make<TurpentineToolSurface>(*this, touchInputs());
}

}  // namespace tessivarium
