#include "tools/tubes/TubeSurface.h"

#include "tools/DrawingTool.h"
#include "tools/tubes/TubePainting.h"

namespace tessivarium {

TubeSurface::TubeSurface(AbstractDrawingTool& tool) : DropSurface(tool) {
  initEncoders().push_back(std::make_shared<TubePainting>(tool));
}

}  // namespace tessivarium
