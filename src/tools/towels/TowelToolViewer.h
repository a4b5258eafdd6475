#pragma once
// The towel's viewer: a thick viewer that shows the towel lying flat: after the tool-model pose of
// each touch it turns the preview to (π/2, 0, π/2 − azimuth), so only the azimuth turns it, and its
// size stays the display scale whatever the press. Main thread only.

#include <string>

#include "tools/AbstractDAEThickToolViewer.h"

namespace tessivarium {

class TowelToolViewer final : public AbstractDAEThickToolViewer {
 public:
  TowelToolViewer(AbstractDrawingTool& tool, std::string fileName, float scale = 1.0f);

  void updateOnTouch(scene::Node& node, const TouchInput& touchInput) override;
};

}  // namespace tessivarium
