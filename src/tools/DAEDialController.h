#pragma once
// The dial: a tool controller whose disc, from the scene "Dial", turns about the view's axis to the
// angle the user drags to. The tool-model tools share one dial. Main thread only.

#include <memory>
#include <optional>

#include "tools/ToolController.h"

namespace tessivarium {

class DAEDialController : public ToolController {
 public:
  explicit DAEDialController(graphics::Rect frame = {}, std::optional<SceneViewOptions> options = std::nullopt);

  // The gadget: the scene's top-level nodes at scale 0.7, translucent, with a darker disc resting
  // at π/2. A scene without a "Dial" node is a fatal stop.
  void loads() override;
  // Turns the disc to `angle` (a negative one plus 2π); the radius changes nothing.
  void updateValue(float angle, float radius = 0) override;

  const std::shared_ptr<scene::Node>& dial() const { return dial_; }

 private:
  std::shared_ptr<scene::Node> dial_;
};

}  // namespace tessivarium
