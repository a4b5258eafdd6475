#pragma once
// Tool controllers: small 3-D scene views beside the canvas that turn a finger drag into an angle
// for the tool. A controller shows a lit gadget loaded from a scene file, works out from each drag
// an angle about the gadget's centre and a drag distance, hands the angle to its receiver and
// turns the gadget to show it. Two kinds share this base: the joystick (DAEToolController), whose
// handle tilts toward the drag, and the dial (DAEDialController), a disc that turns.
//
// The base holds what both kinds share: the receiver, the gadget's content node, the angle range
// and the last projected centre, the gadget light, the material update, the scene set-up, setView()
// and the drag rule; a kind provides loads() and updateValue(). Main thread only.

#include <any>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "components/LightView.h"
#include "tools/ToolChangeValue.h"

namespace scene {
class Material;
}

namespace ui {
class Event;
class TouchSet;
}  // namespace ui

namespace tessivarium {

class ToolController : public LightView {
 public:
  // A controller without a scene: call setView() to build it.
  explicit ToolController(graphics::Rect frame = {}, std::optional<SceneViewOptions> options = std::nullopt);

  // The receiver of the controller's angle, held strongly; a plain store.
  const std::shared_ptr<ToolChangeValue>& changeValue() const { return changeValue_; }
  void setChangeValue(std::shared_ptr<ToolChangeValue> receiver) { changeValue_ = std::move(receiver); }

  // Builds the scene while there is none (a missing file is tried again on the next call), then
  // shows the value, which must hold a float angle, when one is given.
  void setView(const std::any& value = {}) override;
  // A white omni light on a new node at (-2, 2, 2).
  std::shared_ptr<scene::Node> createLight() override;
  // The drag rule: the angle of the last touch about the projected centre, held in the range, and
  // its distance capped at MaxRadius; the angle goes to the receiver, then both to updateValue().
  void touchesMoved(const ui::TouchSet& touches, const ui::Event* event) override;

  // Builds the controller's scene; nothing in the base.
  virtual void loads() {}
  // Turns the gadget to show `angle` (radians) after a drag of `radius` view points; nothing in
  // the base.
  virtual void updateValue(float angle, float radius = 0);
  // Gives the whole tree of `node` the list of materials (every geometry shares the same objects).
  virtual void deepUpdate(const std::shared_ptr<scene::Node>& node,
                          const std::vector<std::shared_ptr<scene::Material>>& materials);

  // The node that holds the loaded gadget; none until a scene file has been found.
  const std::shared_ptr<scene::Node>& content() const { return content_; }
  // The projection of the scene origin into the view, stored by every drag.
  const std::optional<scene::Vector3>& origin() const { return origin_; }
  // The range the dragged angle is held in; a negative minimum also counts angles below the centre
  // as negative instead of going on past π.
  float maxAngle() const { return maxAngle_; }
  void setMaxAngle(float angle) { maxAngle_ = angle; }
  float minAngle() const { return minAngle_; }
  void setMinAngle(float angle) { minAngle_ = angle; }

  // Nodes and a bound for the host's own use; the controller never reads them.
  std::shared_ptr<scene::Node> angle0, angle45, angle90, angle135, angle180, angle225, angle270, angle315;
  float maxZ;

  // The largest drag distance, in view points, handed to updateValue().
  static constexpr float MaxRadius = 80.0f;

 protected:
  // A negative angle as the same direction counted on past π: angle + 2π.
  static float positiveAngle(float angle);
  // A Phong material: specular white, diffuse dark grey, the given shininess.
  static std::shared_ptr<scene::Material> greyMaterial(float shininess);

  // The shared set-up of a gadget scene: a fresh stage; then, when the framework bundle holds
  // "<resource>.dae", a new node of opacity 0.7 that takes the scene's top-level nodes (each given
  // the body material), scaled uniformly by `scale` and added to the stage. A missing file prints
  // `missingLine` and gives none; a file that cannot be read gives the node empty.
  std::shared_ptr<scene::Node> buildGadget(std::string_view resource, std::string_view missingLine, float scale);
  // The part `name` of a gadget just built from `file`, given the darker part material (shininess
  // 0.1) over its whole tree. A gadget without it is a fatal stop: the scene does not fit its
  // controller.
  std::shared_ptr<scene::Node> movingPart(const scene::Node& gadget, const std::string& name, std::string_view owner,
                                          std::string_view file);
  void setContent(std::shared_ptr<scene::Node> node) { content_ = std::move(node); }

 private:
  std::shared_ptr<ToolChangeValue> changeValue_;
  std::shared_ptr<scene::Node> content_;
  std::optional<scene::Vector3> origin_;
  float maxAngle_;
  float minAngle_ = 0;
};

}  // namespace tessivarium
