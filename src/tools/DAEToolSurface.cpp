#include "tools/DAEToolSurface.h"

#include "tools/DAEPainting.h"
#include "tools/DAEPaintingShow.h"
#include "tools/DebugSwitches.h"
#include "tools/DrawingTool.h"

namespace tessivarium {

DAEToolSurface::DAEToolSurface(AbstractDrawingTool& tool) : ToolSurface(tool) {
  initEncoders().push_back(std::make_shared<DAEPainting>(tool));
  if (DEBUG_DAE_KNIFE == KnifeDebugMode::Height || DEBUG_DAE_KNIFE == KnifeDebugMode::Complete) {
    initEncoders().push_back(std::make_shared<DAEPaintingShow>());
  }
}

}  // namespace tessivarium
