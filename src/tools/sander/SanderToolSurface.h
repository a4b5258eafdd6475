#pragma once
// The sander's stroke surface: every step runs a new DAESanderPainting (and the debug height view
// while the debug switch asks for it, as every tool-model surface does). The samples go to the
// kernels as they are. Main thread only.

#include "tools/DAEToolSurface.h"

namespace tessivarium {

class SanderToolSurface final : public DAEToolSurface {
 public:
  explicit SanderToolSurface(AbstractDrawingTool& tool);
};

}  // namespace tessivarium
