#include "tools/brushes/WideBrushSurface.h"

#include <memory>

#include "tools/DrawingTool.h"
#include "tools/brushes/WidePainting.h"

namespace tessivarium {

DAEWideBrushSurface::DAEWideBrushSurface(AbstractDrawingTool& tool)
    : DAEToolSurface(tool, std::make_shared<DAEWidePainting>(tool)) {}

}  // namespace tessivarium
