#include "tools/roller/RollerToolViewer.h"

#include <algorithm>

#include "tools/DrawingTool.h"
#include "tools/TouchInput.h"

namespace tessivarium {

RollerToolViewer::RollerToolViewer(AbstractDrawingTool& tool, std::string fileName, float scale)
    : AbstractDAEThickToolViewer(tool, std::move(fileName), scale) {
  setBorder({0, 0, 0});
}

void RollerToolViewer::updateOnTouch(scene::Node& node, const TouchInput& touchInput) {
  // The default pose, without the tool-model viewer's load and tilt.
  DefaultToolViewer::updateOnTouch(node, touchInput);
  const float k = tool().resizableOnPressure() ? std::max(touchInput.force(), 0.5f) : scale();
  node.setScale({k, k, k});
}

}  // namespace tessivarium
