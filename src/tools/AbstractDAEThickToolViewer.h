#pragma once
// The viewer of the thick-paint tools whose head comes from a scene with marker nodes: it loads the
// scene once into its content node and shows it in the canvas's brush view, hides the markers,
// and, once the canvas has started, measures the tool model from the markers and runs the tool's
// initialiser passes on it. Main thread only.
//
// The measurement projects the markers through the brush view, so sizes are in model cells: the
// tool upright gives the head's span along its axis (MarkTop to MarkDown), the tool turned a
// quarter about x gives its footprint (the head markers, MarkLeft and MarkRight). The scene is shown
// at the screen ratio taken against the canvas's shape, so that a head measures the same in points
// on a canvas of every shape (the size it has on a 4:3 canvas) and, the cells being the layer's, half
// that at two cells a point.

#include <cstdint>
#include <vector>

#include "tools/AbstractDAEToolViewer.h"

namespace tessivarium {

class AbstractDAEThickToolViewer : public AbstractDAEToolViewer {
 public:
  using AbstractDAEToolViewer::AbstractDAEToolViewer;

  struct Box {
    SCNVector3 max;
    SCNVector3 min;
  };

  // The scene's nodes go into the content node on the first load that finds the file (a missing
  // file prints "<fileName> isn't found" and builds nothing); later loads only show them again.
  // Once the current canvas has started: the model, made once, and the tool's initialiser passes
  // with a save of the emptied head, committed on one buffer.
  void loads() override;
  // Measures the markers and returns a DAEToolModel of the head centred in its volume. A missing
  // marker is a fatal stop; so, naming the scene, are a marker at no finite place and a head no
  // model can hold (its extent with the border 1024 cells or more on an axis).
  std::shared_ptr<ToolModel> createToolModel() override;
  // The per-axis maximum and minimum of `points` (at least one).
  virtual Box boundingBox(const std::vector<SCNVector3>& points) const;

  // The model size for a head of `extentWithBorder` cells on one axis: the next multiple of 8
  // strictly above its whole part (16 gives 24, 23.9 gives 24, 24 gives 32).
  static std::int64_t modelSize(float extentWithBorder);

 protected:
  // The markers as the measurement sees them, in brush-view points: upright, MarkTop and MarkDown
  // give the span along the tool axis (view y); turned a quarter about x, every marker gives its
  // place across the footprint (view x and y), with z the middle of the upright span, except
  // MarkTop's and MarkDown's, which take the other's upright height.
  struct Measurement {
    SCNVector3 headTop, headLeft, headRight, left, right, top, down;
    Box box;                          // of the seven points
    scene::Node* toolNode = nullptr;  // the brush view's tool node, when it has one
    scene::Vector3 pose;              // its Euler angles before the measurement
  };
  // Measures the markers with the tool node (when there is one) scaled by the display scale x the
  // artwork's scale; the node is left so scaled and turned a quarter about x. No current canvas or
  // brush view is a fatal stop naming `who`; so is a missing marker or one at no finite place.
  Measurement measureMarkers(const char* who);
  // The tool node given back the display scale.
  void restoreScale(const Measurement& m) const;
  // The brush-view point of the marker `name`; a marker at no finite place is a fatal stop naming
  // the scene (it would slip through a bounding box, where no comparison holds for NaN).
  SCNVector3 finiteLocation(const char* name);
  // The measured head's extent printed as "Box: x y z"; then a fatal stop naming the scene when the
  // extent with `border` is not finite or no model could hold it (1024 cells or more on an axis).
  void reportExtent(const SCNVector3& extent, const SCNVector3& border) const;
  // The model's size printed as "Box: width height depth".
  static void reportSize(std::int64_t width, std::int64_t height, std::int64_t depth);
};

}  // namespace tessivarium
