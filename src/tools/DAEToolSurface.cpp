#include "tools/DAEToolSurface.h"

#include "tools/DAEEncoders.h"
#include "tools/DebugSwitches.h"
#include "tools/DrawingTool.h"

namespace tessivarium {

DAEToolSurface::DAEToolSurface(AbstractDrawingTool& tool) : DAEToolSurface(tool, makeDAEPainting(tool)) {}

DAEToolSurface::DAEToolSurface(AbstractDrawingTool& tool, std::shared_ptr<ToolEncoder> painting) : ToolSurface(tool) {
  initEncoders().push_back(std::move(painting));
  if (DEBUG_DAE_KNIFE == KnifeDebugMode::Height || DEBUG_DAE_KNIFE == KnifeDebugMode::Complete) {
    initEncoders().push_back(makeDAEPaintingShow());
  }
}

}  // namespace tessivarium
