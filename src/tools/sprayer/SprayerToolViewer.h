#pragma once
// The sprayer's viewer: the same "Tube" scene as the paint tube, lit in the sprayer's colour.

#include "tools/AbstractDropToolViewer.h"

namespace tessivarium {

class SprayerToolViewer final : public AbstractDropToolViewer {
 public:
  explicit SprayerToolViewer(AbstractDropTool& tool, float scale = 1.0f)
      : AbstractDropToolViewer(tool, "Tube", scale) {
    setStretching(false);
  }
};

}  // namespace tessivarium
