#include "tools/brushes/BrushToolSurface.h"

#include <algorithm>

#include "tools/TouchInput.h"
#include "tools/brushes/BrushGlobals.h"

namespace tessivarium {

float brushAltitude(float altitude) {
  return std::max((altitude - BrushAltitude_WaterMark) * BrushAltitude_WaterMark_Ratio, 0.0f);
}

void BrushToolSurface::adjustInput() {
  for (float& altitude : touchInputData().altitudes()) altitude = brushAltitude(altitude);
}

}  // namespace tessivarium
