#pragma once
// The joystick: a tool controller whose handle, from the scene "Joystick", tilts toward the angle
// the user drags to, further the longer the drag. The system never makes one; a host may place one
// in its views, set its receiver and call setView(). Main thread only.

#include <memory>
#include <optional>

#include "tools/ToolController.h"

namespace tessivarium {

class DAEToolController : public ToolController {
 public:
  explicit DAEToolController(graphics::Rect frame = {}, std::optional<SceneViewOptions> options = std::nullopt);

  // The gadget: the scene's top-level nodes at scale 2, translucent, with a darker handle. A scene
  // without a "Handler" node is a fatal stop; "AxisX" is optional.
  void loads() override;
  // Tilts the handle toward `angle` by asin(radius / handlerLength) (π/6 for a radius of 0); the
  // axis node follows only the tilt about x.
  void updateValue(float angle, float radius = 0) override;

  // The view x of the scene point (0.59, 0, 0), renewed by every updateValue().
  const std::optional<float>& handlerLength() const { return handlerLength_; }
  const std::shared_ptr<scene::Node>& handler() const { return handler_; }
  const std::shared_ptr<scene::Node>& axisX() const { return axisX_; }

 private:
  std::optional<float> handlerLength_;
  std::shared_ptr<scene::Node> handler_;
  std::shared_ptr<scene::Node> axisX_;
};

}  // namespace tessivarium
