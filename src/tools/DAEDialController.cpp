#include "tools/DAEDialController.h"

#include <numbers>

#include "foundation/Fatal.h"

namespace tessivarium {

DAEDialController::DAEDialController(graphics::Rect frame, std::optional<SceneViewOptions> options)
    : ToolController(frame, std::move(options)) {}

void DAEDialController::loads() {
  auto node = buildGadget("Dial", "Dial.dae isn't found", 0.7f);
  if (!node) return;
  dial_ = node->childNode("Dial", true);
  if (!dial_) foundation::fatalError("DAEDialController.loads: Dial.dae has no node \"Dial\"");
  deepUpdate(dial_, {greyMaterial(0.1f)});
  setContent(std::move(node));
  dial_->setEulerAngles({0, 0, static_cast<float>(std::numbers::pi / 2)});
}

void DAEDialController::updateValue(float angle, float) {
  if (dial_) dial_->setEulerAngles({0, 0, positiveAngle(angle)});
}

}  // namespace tessivarium
