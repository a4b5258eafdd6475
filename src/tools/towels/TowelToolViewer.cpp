#include "tools/towels/TowelToolViewer.h"

#include <numbers>

#include "scene/Node.h"
#include "tools/TouchInput.h"

namespace tessivarium {

TowelToolViewer::TowelToolViewer(AbstractDrawingTool& tool, std::string fileName, float scale)
    : AbstractDAEThickToolViewer(tool, std::move(fileName), scale) {
  setStretching(false);
}

void TowelToolViewer::updateOnTouch(scene::Node& node, const TouchInput& touchInput) {
  AbstractDAEThickToolViewer::updateOnTouch(node, touchInput);
  const float quarter = static_cast<float>(std::numbers::pi / 2);
  setEulerAngles(scene::Vector3(quarter, 0, quarter - touchInput.azimuthAngle()));
  node.setEulerAngles(*eulerAngles());
}

}  // namespace tessivarium
