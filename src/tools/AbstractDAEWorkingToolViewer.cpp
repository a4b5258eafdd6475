#include "tools/AbstractDAEWorkingToolViewer.h"

#include <algorithm>
#include <numbers>

#include "scene/Node.h"
#include "tools/DrawingTool.h"
#include "tools/TouchInput.h"

namespace tessivarium {

AbstractDAEWorkingToolViewer::AbstractDAEWorkingToolViewer(AbstractDrawingTool& tool, std::string fileName, float scale)
    : AbstractDAEThickToolViewer(tool, std::move(fileName), scale) {
  setBorder(SCNVector3(0, 0, 0));
}

void AbstractDAEWorkingToolViewer::updateOnTouch(scene::Node& node, const TouchInput& touchInput) {
  setEulerAngles(scene::Vector3(0, static_cast<float>(std::numbers::pi / 2) - touchInput.altitudeAngle(),
                                -touchInput.azimuthAngle()));
  node.setEulerAngles(*eulerAngles());
  const float s = tool().resizableOnPressure() ? std::max(touchInput.force(), 0.5f) : scale();
  node.setScale({s, s, s});
}

}  // namespace tessivarium
