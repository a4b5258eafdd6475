#pragma once
// One step of the sprayer: the drop step composite around the shared "DAESprayer_paint" pass.

#include "tools/DropPainting.h"

namespace tessivarium {

class SprayerPainting final : public DropPainting {
 public:
  explicit SprayerPainting(const DrawingTool& tool);
};

}  // namespace tessivarium
