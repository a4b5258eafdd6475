#pragma once
// The roller's stroke surface: the tool-model surface as it is (every step the tool-model chain
// with the roller's paint pass). Main thread only.

#include "tools/DAEToolSurface.h"

namespace tessivarium {

class RollerToolSurface : public DAEToolSurface {
 public:
  using DAEToolSurface::DAEToolSurface;
};

}  // namespace tessivarium
