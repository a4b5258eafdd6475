#include "tools/brushes/RoundBrushToolSurface.h"

#include <memory>

#include "tools/DrawingTool.h"
#include "tools/TouchInput.h"
#include "tools/brushes/BrushToolSurface.h"
#include "tools/brushes/DAERoundPainting.h"

namespace tessivarium {

RoundBrushToolSurface::RoundBrushToolSurface(AbstractDrawingTool& tool) : ToolSurface(tool) {
  initEncoders().push_back(std::make_shared<DAERoundPainting>(tool));
}

void RoundBrushToolSurface::adjustInput() {
  for (float& altitude : touchInputData().altitudes()) altitude = brushAltitude(altitude);
}

}  // namespace tessivarium
