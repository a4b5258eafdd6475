#pragma once
// The roller's preview and head. The preview is the "Roller" scene, small in the canvas's brush
// view, turned by the stylus's tilt and azimuth and sized by its pressure alone.
//
// The roller's passes paint through a tool model like every tool-model tool's, so its viewer
// measures one from the scene as the thick-paint viewers do, without a margin around the head: the
// thick viewer's load shows the scene, hides its markers ("MarkLeft" and "MarkRight" among them),
// and once the canvas has started measures the head and runs the tool's initialisers. Unlike the
// other tool-model viewers a touch never loads it: the tool's own load and each attach do.
// Main thread only.

#include <string>

#include "tools/AbstractDAEThickToolViewer.h"

namespace tessivarium {

class RollerToolViewer : public AbstractDAEThickToolViewer {
 public:
  // The thick viewer of `tool` on "<fileName>.dae", with no border round the measured head.
  RollerToolViewer(AbstractDrawingTool& tool, std::string fileName, float scale = 1.0f);

  // Turns `node` to (0, π/2 - altitude, -azimuth) and keeps that pose; scales it by the display
  // scale, or by max(force, 0.5) while the tool resizes on pressure (the roller always does).
  void updateOnTouch(scene::Node& node, const TouchInput& touchInput) override;
};

}  // namespace tessivarium
