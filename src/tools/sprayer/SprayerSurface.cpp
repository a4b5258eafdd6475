#include "tools/sprayer/SprayerSurface.h"

#include "tools/DrawingTool.h"
#include "tools/sprayer/SprayerPainting.h"

namespace tessivarium {

SprayerSurface::SprayerSurface(AbstractDrawingTool& tool) : DropSurface(tool) {
  initEncoders().push_back(std::make_shared<SprayerPainting>(tool));
}

}  // namespace tessivarium
