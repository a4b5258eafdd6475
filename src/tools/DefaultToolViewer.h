#pragma once
// The base of every tool viewer. It keeps one content node that carries the tool head (the viewers
// that load a tool scene fill it and hand it to the canvas's brush view), poses the brush view's
// tool node from each touch (under the stylus, tilted by its angles, sized by the display scale or
// the pressure), carries the tool's rotation, and forwards clean, reset, save and pick requests to
// its tool model when it has one. The tool owns its viewer; the viewer points back at it. A canvas
// must exist when a viewer is made. Main thread only.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "scene/Node.h"
#include "tools/ToolViewer.h"

namespace tessivarium {

class AbstractDrawingTool;
class BrushView;

class DefaultToolViewer : public ToolViewer {
 public:
  // The viewer of `tool`, which owns it and outlives it. Its display scale is
  // scale x 0.7 / the main canvas's artwork scale.
  explicit DefaultToolViewer(AbstractDrawingTool& tool, float scale = 1.0f);
  ~DefaultToolViewer() override;
  DefaultToolViewer(const DefaultToolViewer&) = delete;
  DefaultToolViewer& operator=(const DefaultToolViewer&) = delete;

  AbstractDrawingTool& tool() const { return *tool_; }

  gpu::Size size() const override { return size_; }
  void setSize(gpu::Size size) { size_ = size; }
  const std::shared_ptr<scene::Node>& toolContentNode() const { return toolContentNode_; }
  void setToolContentNode(std::shared_ptr<scene::Node> node) { toolContentNode_ = std::move(node); }
  // The last pose given to the brush view's tool node; none before the first touch.
  const std::optional<scene::Vector3>& eulerAngles() const { return eulerAngles_; }
  void setEulerAngles(std::optional<scene::Vector3> angles) { eulerAngles_ = angles; }
  const std::shared_ptr<ToolModel>& toolModel() const override { return toolModel_; }
  void setToolModel(std::shared_ptr<ToolModel> model) override { toolModel_ = std::move(model); }
  float scale() const { return scale_; }

  // Every assignment turns the content node to (0, 0, rotation); a new value also goes to the
  // tool, which writes back only a value of its own that changed, so the two never loop. A
  // rotation that is not finite changes nothing (see isRotation).
  float rotation() const override { return rotation_; }
  void setRotation(float rotation) override;

  // Makes the content node once (with one grey Phong material for any geometry it holds) and
  // gives a stored pose back to the brush view's tool node.
  virtual void initLoads();
  // initLoads(); never fails here, though a loading subclass may.
  void loads() override;
  // A subclass that builds a tool model provides it; the base stops.
  virtual std::shared_ptr<ToolModel> createToolModel();
  // loads(), then updateSize().
  void attachView() override;
  void dettachView() override {}
  virtual void updateSize() {}
  // Turns the content node to (0, 0, rotation).
  void updateOnToolChange() override;

  // The brush-view point (x, y, depth) of the content node's marker `name`; the first argument is
  // not used. A marker the content node does not hold is a fatal stop.
  virtual scene::Vector3 getLocation(const std::string& label, const std::string& name);
  // Prints the label, a blank and getLocation() on one line.
  virtual void printLocation(const std::string& label, const std::string& name);
  // Hides each named marker of the content node; names it does not hold are skipped.
  virtual void hideMarks(const std::vector<std::string>& names);

  // The touch methods take what the tool received. A move puts the brush view's tool node under
  // the last coalesced sample of the first touch (at depth 0) and poses it through
  // updateOnTouch(); an empty set, no event or no coalesced samples change nothing.
  void touchesMoved(const ui::TouchSet& touches, const ui::Event* event) override;
  // touchesMoved(), then shows the tool node while the tool auto-hides.
  void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) override;
  // Hides the tool node while the tool auto-hides; the touches are not used.
  void touchesEnded(const ui::TouchSet& touches, const ui::Event* event) override;
  // Turns `node` to (0, π/2 − altitude, −azimuth), keeps that pose, and scales it by the display
  // scale, or by max(force, 0.5) x 2 instead when the tool resizes on pressure.
  virtual void updateOnTouch(scene::Node& node, const TouchInput& touchInput);

  // Forwarded to the tool model when there is one.
  void clean() override;
  void reset() override;
  void savePattern() override;
  void pickPattern(const TouchInput& touchInput, float rotation) override;

 protected:
  // For the viewers that show a scene file: hands the content node to `brushView`, scales it by
  // `contentScale` and the brush view's tool node by the display scale. The first time (and after
  // every load that added nothing) the scene `fileName` is loaded into the content node first,
  // `loaded` runs on it and the tool node turns to x = π/4 and z = π/4; later the last pose is given
  // back. A missing file prints "<fileName> isn't found" and nothing is scaled or posed: false. A
  // file that cannot be read adds nothing. A viewer without a content node is a fatal stop.
  bool showScene(BrushView& brushView, const std::string& fileName, float contentScale,
                 const std::function<void(scene::Node& content)>& loaded);

 private:
  AbstractDrawingTool* tool_;
  gpu::Size size_;
  std::shared_ptr<scene::Node> toolContentNode_;
  std::optional<scene::Vector3> eulerAngles_;
  std::shared_ptr<ToolModel> toolModel_;
  float rotation_ = 0;
  float scale_;
};

}  // namespace tessivarium
