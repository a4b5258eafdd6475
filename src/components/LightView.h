#pragma once
// A transparent 3-D scene view with a fixed stage: an orthographic camera and one omni light. The
// brush view and the tool controllers put their own models on that stage. The constructors do
// not build the stage: whoever makes a plain LightView or a subclass calls setView() itself (the
// brush view does it in its constructors). Main thread only.

#include <any>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "graphics/Geometry.h"
#include "scene/Node.h"
#include "scene/View.h"

namespace ui {
class Coder;
}

namespace tessivarium {

// Construction options of a scene view, by name.
using SceneViewOptions = std::map<std::string, std::string>;

class LightView : public scene::View {
 public:
  explicit LightView(graphics::Rect frame, std::optional<SceneViewOptions> options = std::nullopt);
  virtual ~LightView() = default;

  // From an archive: the scene views of this platform cannot be restored from one, so there is
  // never a view.
  static std::shared_ptr<LightView> fromCoder(const ui::Coder& coder);

  // The options the view was made with (the scene view itself takes none).
  const std::optional<SceneViewOptions>& options() const { return options_; }

  const std::shared_ptr<scene::Node>& lightNode() const { return lightNode_; }
  void setLightNode(std::shared_ptr<scene::Node> node) { lightNode_ = std::move(node); }

  // Builds the stage in a new scene: a transparent, non-opaque view, an orthographic camera
  // (scale 1.0) at (0, 0, 5) and the node of createLight(), when there is one. The argument is
  // ignored.
  virtual void setView(const std::any& value = {});
  // A white omni light on a new node at (-35, 10, 35).
  virtual std::shared_ptr<scene::Node> createLight();

 private:
  std::optional<SceneViewOptions> options_;
  std::shared_ptr<scene::Node> lightNode_;
};

}  // namespace tessivarium
