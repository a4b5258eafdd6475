#include "tools/DAEDialController.h"

#include <numbers>

namespace tessivarium {

DAEDialController::DAEDialController(graphics::Rect frame, std::optional<SceneViewOptions> options)
    : ToolController(frame, std::move(options)) {}

void DAEDialController::loads() {
  auto node = buildGadget("Dial", "Dial.dae isn't found", 0.7f);
  if (!node) return;
  dial_ = movingPart(*node, "Dial", "DAEDialController", "Dial.dae");
  setContent(std::move(node));
  dial_->setEulerAngles({0, 0, static_cast<float>(std::numbers::pi / 2)});
}

void DAEDialController::updateValue(float angle, float) {
  if (dial_) dial_->setEulerAngles({0, 0, positiveAngle(angle)});
}

}  // namespace tessivarium
