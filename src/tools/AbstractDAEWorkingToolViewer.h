#pragma once
// The viewer of the tools that work the paint on the canvas (the sander, turpentine, the fluffy mop
// and the roller): a thick viewer whose model is sized from the scene's markers with no margin
// around them, and whose preview each touch turns to (0, π/2 − altitude, −azimuth), as the default
// viewer does, and sizes by the press: max(force, 0.5) while the tool resizes on pressure, its
// display scale otherwise. A touch does not load the scene; attaching the viewer does. Main thread
// only.

#include <string>

#include "tools/AbstractDAEThickToolViewer.h"

namespace tessivarium {

class AbstractDAEWorkingToolViewer : public AbstractDAEThickToolViewer {
 public:
  AbstractDAEWorkingToolViewer(AbstractDrawingTool& tool, std::string fileName, float scale = 1.0f);

  void updateOnTouch(scene::Node& node, const TouchInput& touchInput) override;
};

}  // namespace tessivarium
