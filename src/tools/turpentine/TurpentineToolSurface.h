#pragma once
// Turpentine's stroke surface: the tool-model surface as it is.

#include "tools/DAEToolSurface.h"

namespace tessivarium {

class TurpentineToolSurface final : public DAEToolSurface {
 public:
  using DAEToolSurface::DAEToolSurface;
};

}  // namespace tessivarium
