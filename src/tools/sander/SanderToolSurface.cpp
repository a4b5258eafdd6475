#include "tools/sander/SanderToolSurface.h"

#include "tools/DrawingTool.h"
#include "tools/sander/DAESanderPainting.h"

namespace tessivarium {

SanderToolSurface::SanderToolSurface(AbstractDrawingTool& tool)
    : DAEToolSurface(tool, std::make_shared<DAESanderPainting>(tool)) {}

}  // namespace tessivarium
