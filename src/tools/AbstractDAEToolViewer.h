#pragma once
// The viewer of every tool that paints through a tool model: it knows the scene file of the tool's
// head, the margin added around the measured head before the model is sized, and whether the model
// exists with its initialiser passes run; each touch sample tilts the preview. Main thread only.

#include <string>

#include "tools/DefaultToolViewer.h"
#include "utils/SceneKitUtil.h"

namespace tessivarium {

class AbstractDAEToolViewer : public DefaultToolViewer {
 public:
  // The viewer of `tool` showing the scene "<fileName>.dae" of the framework bundle. There is no
  // viewer of this kind without a scene name.
  AbstractDAEToolViewer(AbstractDrawingTool& tool, std::string fileName, float scale = 1.0f);

  const std::string& fileName() const { return fileName_; }
  // Whether the preview stretches with the pressure (the brush viewers lengthen their last bone).
  bool stretching() const { return stretching_; }
  void setStretching(bool stretching) { stretching_ = stretching; }
  // Cells added to the measured head on x, y and z before its size goes to a multiple of 8.
  const SCNVector3& border() const { return border_; }
  void setBorder(const SCNVector3& border) { border_ = border; }
  // True once the model exists and its initialiser passes were committed; false again after a
  // detach, so that the next load runs them again.
  bool initialized() const { return initialized_; }
  void setInitialized(bool initialized) { initialized_ = initialized; }

  void dettachView() override;
  // The model's width, height and depth, when there is a model.
  void updateSize() override;
  // Loads first while not initialized (the canvas may not have been started at attach time), then
  // the base pose, then tilts the node to (π/2 − altitude, 0, π/2 − azimuth).
  void updateOnTouch(scene::Node& node, const TouchInput& touchInput) override;

 private:
  std::string fileName_;
  bool stretching_ = true;
  SCNVector3 border_;
  bool initialized_ = false;
};

}  // namespace tessivarium
