#pragma once
// Scene views: a rectangle of the screen that shows a scene through the camera of its point of
// view. Nothing is drawn; a view keeps its settings, tells its renderer delegate before each
// render the host asks for, and converts between scene and view coordinates.
//
// Projection (orthographic). For a view W × H points whose camera node is at c (world) with
// orthographic scale s and near and far distances zNear and zFar, a world point w goes to
//   x = W/2 + (wx − cx) · H / (2s)
//   y = H/2 − (wy − cy) · H / (2s)        (view y grows downwards)
//   depth = ((cz − wz) − zNear) / (zFar − zNear)
// and unproject is the exact inverse. So s world units above the camera reach the top edge and
// the view shows 2s units from top to bottom whatever its size. Computed in double precision.
// A view of height 0 shows nothing: unproject then gives the camera's x and y (with the depth
// still mapped), never a division by zero. The camera looks down −z; its node's world transform
// must not turn it.

#include <cstddef>
#include <memory>

#include "graphics/Color.h"
#include "graphics/Geometry.h"
#include "scene/Scene.h"
#include "scene/Vector.h"
#include "ui/View.h"

namespace scene {

class View;

// Told before each render of a view it is the delegate of.
class RendererDelegate {
 public:
  virtual ~RendererDelegate() = default;
  virtual void willRenderScene(View& view, Scene& scene, double time) = 0;
};

// A scene view is a view of the view tree (frame, background, opacity, place among its siblings)
// that shows a scene through its point of view.
class View : public ui::View {
 public:
  explicit View(graphics::Rect frame = {});

  const std::shared_ptr<Scene>& scene() const { return scene_; }
  void setScene(std::shared_ptr<Scene> scene) { scene_ = std::move(scene); }

  // The background is opaque white unless set.

  // The node whose camera the view looks through: the one set, or else the first node of the
  // scene with a camera (pre-order from the root); null when there is none.
  std::shared_ptr<Node> pointOfView() const;
  void setPointOfView(std::shared_ptr<Node> node) { pointOfView_ = std::move(node); }

  // Not owned: a delegate that goes away is simply no longer told.
  std::shared_ptr<RendererDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<RendererDelegate>& delegate) { delegate_ = delegate; }

  // One frame at `time` seconds: the delegate (when there is one and the view has a scene) is
  // told, then the frame is counted. Nothing is drawn.
  void render(double time);
  std::size_t renderCount() const { return renderCount_; }

  // World point → (x, y in view points, depth); see above.
  Vector3 projectPoint(const Vector3& world) const;
  // (x, y in view points, depth) → world point; see above.
  Vector3 unprojectPoint(const Vector3& view) const;

 private:
  struct Eye;
  // The camera of the point of view with its world position; fatal stops for no camera, a
  // perspective camera, a turned camera node, a scale that is not positive or zFar = zNear.
  Eye eye() const;

  std::shared_ptr<Scene> scene_;
  std::shared_ptr<Node> pointOfView_;
  std::weak_ptr<RendererDelegate> delegate_;
  std::size_t renderCount_ = 0;
};

}  // namespace scene
