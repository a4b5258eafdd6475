#include "tools/dryer/FanDryerToolViewer.h"

#include "components/DrawingPaint.h"
#include "scene/Action.h"
#include "tools/ApplicationManager.h"
#include "tools/TouchInput.h"

namespace tessivarium {

FanDryerToolViewer::FanDryerToolViewer(AbstractDrawingTool& tool, std::string fileName, float scale)
    : DefaultToolViewer(tool, scale), fileName_(std::move(fileName)) {}

void FanDryerToolViewer::attachView() {
  DefaultToolViewer::attachView();
  DrawingPaint& paint = AppManager().requiredCurrentPaint("FanDryerToolViewer.attachView");
  const float contentScale = AppManager().isPalette(paint) ? kPaletteContentScale : kCanvasContentScale;
  showScene(paint.requiredBrushView("FanDryerToolViewer.attachView"), fileName_, contentScale,
            [this](scene::Node& content) { fan_ = content.childNode(kFanNode, true); });
}

void FanDryerToolViewer::updateOnTouch(scene::Node& node, const TouchInput& touchInput) {
  DefaultToolViewer::updateOnTouch(node, touchInput);
  if (fan_) fan_->runAction(scene::Action::rotateBy(0, 0, touchInput.force() * kSpinPerForce, kSpinSeconds));
}

}  // namespace tessivarium
