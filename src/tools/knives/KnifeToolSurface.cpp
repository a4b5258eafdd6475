#include "tools/knives/KnifeToolSurface.h"

#include <algorithm>

namespace tessivarium {

void KnifeToolSurface::adjustInput() {
  for (float& altitude : touchInputData().altitudes()) {
    altitude = std::max((altitude - KnifeAltitude_WaterMark) * KnifeAltitude_WaterMark_Ratio, 0.0f);
  }
}

}  // namespace tessivarium
