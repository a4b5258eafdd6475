#pragma once
// The viewer of the dryer and the wetter (DryerToolViewer, WetterToolViewer): a fan, loaded from its
// scene file straight into the content node on the first attach, shown small in the canvas's brush
// view, whose node "Fan" spins with the stylus force. It builds no tool model. Main thread only.

#include <memory>
#include <string>

#include "tools/DefaultToolViewer.h"

namespace tessivarium {

class FanDryerToolViewer : public DefaultToolViewer {
 public:
  // The fan's node: the scene's node of this name, found anywhere under the content node.
  static constexpr const char* kFanNode = "Fan";
  // The content node's scale in the brush view of the main canvas, and of a palette.
  static constexpr float kCanvasContentScale = 0.05f;
  static constexpr float kPaletteContentScale = 0.1f;
  // Each followed sample turns the fan about its z axis by this many radians per unit of force
  // (π/4, backwards), over half a second.
  static constexpr double kSpinPerForce = -0.78539816339744831;
  static constexpr double kSpinSeconds = 0.5;

  // `fileName` is the scene resource's name without its extension.
  FanDryerToolViewer(AbstractDrawingTool& tool, std::string fileName, float scale = 1.0f);

  const std::string& fileName() const { return fileName_; }
  // None until a load has found the scene, and when it has no node kFanNode.
  const std::shared_ptr<scene::Node>& fan() const { return fan_; }
  void setFan(std::shared_ptr<scene::Node> fan) { fan_ = std::move(fan); }

  // The base attach, then the fan in the current canvas's brush view (loaded on the first attach
  // that finds the file; a missing file prints "<fileName> isn't found").
  void attachView() override;
  // The base pose of the brush view's tool node, then one spin of the fan for the sample.
  void updateOnTouch(scene::Node& node, const TouchInput& touchInput) override;

 private:
  std::string fileName_;
  std::shared_ptr<scene::Node> fan_;
};

}  // namespace tessivarium
