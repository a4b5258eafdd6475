#include "tools/sprayer/SprayerTool.h"

#include "tools/sprayer/SprayerSurface.h"
#include "tools/sprayer/SprayerToolViewer.h"

namespace tessivarium {

std::shared_ptr<ToolViewer> SprayerTool::createToolViewer() { return std::make_shared<SprayerToolViewer>(*this, 1.0f); }

std::shared_ptr<ToolSurface> SprayerTool::createToolSurface() {
  return DropSurface::make<SprayerSurface>(*this, touchInputs(), color());
}

}  // namespace tessivarium
