#pragma once
// The paint tube's stroke surface: its only pass is the step composite, TubePainting. Build it with
// DropSurface::make<TubeSurface>(tool, samples, colour). Main thread only.

#include "tools/DropSurface.h"

namespace tessivarium {

class TubeSurface final : public DropSurface {
 public:
  // Step one of the construction: the surface with its composite.
  explicit TubeSurface(AbstractDrawingTool& tool);
};

}  // namespace tessivarium
