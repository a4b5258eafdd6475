#include "tools/DAEToolController.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessivarium {

DAEToolController::DAEToolController(graphics::Rect frame, std::optional<SceneViewOptions> options)
    : ToolController(frame, std::move(options)) {}

void DAEToolController::loads() {
  auto node = buildGadget("Joystick", "Jostick.dae isn't found", 2.0f);
  if (!node) return;
  axisX_ = node->childNode("AxisX", true);
  handler_ = movingPart(*node, "Handler", "DAEToolController", "Joystick.dae");
  setContent(std::move(node));
}

void DAEToolController::updateValue(float angle, float radius) {
  constexpr float H = static_cast<float>(std::numbers::pi / 2);
  constexpr float P = static_cast<float>(std::numbers::pi);
  constexpr float kRestingTilt = static_cast<float>(std::numbers::pi / 2 / 3);

  const float A = positiveAngle(angle);
  handlerLength_ = projectPoint({0.59f, 0, 0}).x;
  float T = kRestingTilt;
  // Held to [-1, 1]: a drag longer than the handle leans it fully instead of giving NaN angles.
  if (radius != 0) T = std::asin(std::clamp(radius / *handlerLength_, -1.0f, 1.0f));

  const float q = std::trunc(A / H);
  const float f = std::fabs(A - q * H) / H;
  float X, Y;
  if (A >= 0 && A < H) {
    X = -T * f, Y = T * (1 - f);
  } else if (A >= H && A < P) {
    X = -T * (1 - f), Y = -T * f;
  } else if (A >= P && A < P + H) {
    X = T * f, Y = -T * (1 - f);
  } else {
    X = T * (1 - f), Y = T * f;
  }
  if (handler_) handler_->setEulerAngles({X, Y, 0});
  if (axisX_) axisX_->setEulerAngles({X, 0, 0});
}

}  // namespace tessivarium
