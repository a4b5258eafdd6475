#pragma once
// A camera on a node. It looks down the node's −z axis; the scene views project through it with
// the orthographic formula of View.h, which uses the camera node's world position, the
// orthographic scale (half the visible height, in scene units) and the near and far distances.

#include <memory>

namespace scene {

class Camera {
 public:
  static std::shared_ptr<Camera> make() { return std::make_shared<Camera>(); }

  bool usesOrthographicProjection() const { return orthographic_; }
  void setUsesOrthographicProjection(bool orthographic) { orthographic_ = orthographic; }

  double orthographicScale() const { return orthographicScale_; }
  void setOrthographicScale(double scale) { orthographicScale_ = scale; }

  double zNear() const { return zNear_; }
  void setZNear(double zNear) { zNear_ = zNear; }
  double zFar() const { return zFar_; }
  void setZFar(double zFar) { zFar_ = zFar; }

 private:
  bool orthographic_ = false;
  double orthographicScale_ = 1.0;
  double zNear_ = 1.0;
  double zFar_ = 100.0;
};

}  // namespace scene
