#include "tools/towels/TowelToolSurface.h"

#include <algorithm>

namespace tessivarium {

void TowelToolSurface::adjustInput() {
  auto& altitudes = touchInputData().altitudes();
  std::fill(altitudes.begin(), altitudes.end(), 0.0f);
}

}  // namespace tessivarium
