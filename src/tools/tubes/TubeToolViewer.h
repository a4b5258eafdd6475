#pragma once
// The paint tube's viewer: the "Tube" scene in the brush view, lit in the tube's colour.

#include "tools/AbstractDropToolViewer.h"

namespace tessivarium {

class TubeToolViewer final : public AbstractDropToolViewer {
 public:
  explicit TubeToolViewer(AbstractDropTool& tool, float scale = 1.0f) : AbstractDropToolViewer(tool, "Tube", scale) {
    setStretching(false);
  }
};

}  // namespace tessivarium
