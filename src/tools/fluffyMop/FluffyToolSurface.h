#pragma once
// The fluffy mop's stroke surface: the tool-model surface as it is.

#include "tools/DAEToolSurface.h"

namespace tessivarium {

class FluffyToolSurface final : public DAEToolSurface {
 public:
  using DAEToolSurface::DAEToolSurface;
};

}  // namespace tessivarium
