#pragma once
// The view each canvas lays over its layers to show where the current tool stands: a holder node
// `toolNode`, which the tool's viewer moves to the stylus and turns to the tool's angles, carrying
// the shown model `content`, at first a translucent cylinder. Main thread only.

#include <any>
#include <memory>
#include <optional>

#include "components/LightView.h"

namespace tessivarium {

class BrushView final : public LightView {
 public:
  // The view with its stage and tool nodes built.
  explicit BrushView(graphics::Rect frame, std::optional<SceneViewOptions> options = std::nullopt);
  // A brush view is never restored from an archive: a fatal stop.
  explicit BrushView(const ui::Coder& coder);

  const std::shared_ptr<scene::Node>& toolNode() const { return toolNode_; }
  void setToolNode(std::shared_ptr<scene::Node> node) { toolNode_ = std::move(node); }
  const std::shared_ptr<scene::Node>& content() const { return content_; }
  void setContent(std::shared_ptr<scene::Node> node) { content_ = std::move(node); }

  // The stage, then a cylinder of radius MAC_BORDER / frame height and height three radii, laid
  // along z (towards the camera) as `content` under `toolNode` (opacity 0.7, hidden while the
  // tool auto-hides).
  void setView(const std::any& value = {}) override;

  // Shows `node` as the model, with its own transform, in place of the current one; the light
  // turns white and the holder goes back to opacity 0.7 (hidden again while the tool auto-hides).
  // Before the tool nodes exist, or for no node, a fatal stop.
  void setBrushNode(std::shared_ptr<scene::Node> node);

 private:
  std::shared_ptr<scene::Node> toolNode_;
  std::shared_ptr<scene::Node> content_;
};

}  // namespace tessivarium
