#pragma once
// The sprayer's stroke surface: its only pass is the step composite, SprayerPainting. Build it
// with DropSurface::make<SprayerSurface>(tool, samples, colour). Main thread only.

#include "tools/DropSurface.h"

namespace tessivarium {

class SprayerSurface final : public DropSurface {
 public:
  // Step one of the construction: the surface with its composite.
  explicit SprayerSurface(AbstractDrawingTool& tool);
};

}  // namespace tessivarium
