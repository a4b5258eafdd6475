#include "scene/View.h"

#include <cmath>

#include "foundation/Fatal.h"
#include "scene/Camera.h"

namespace scene {

namespace {

std::shared_ptr<Node> firstCameraNode(const std::shared_ptr<Node>& node) {
  if (node->camera()) return node;
  for (const auto& child : node->childNodes()) {
    if (auto found = firstCameraNode(child)) return found;
  }
  return nullptr;
}

// True when the transform's 3 × 3 part, its columns made unit length, is the identity.
bool isUnturned(const Matrix4& m) {
  constexpr double tolerance = 1e-9;
  for (int c = 0; c < 3; ++c) {
    const double length = std::sqrt(m(0, c) * m(0, c) + m(1, c) * m(1, c) + m(2, c) * m(2, c));
    if (length == 0) return false;
    for (int r = 0; r < 3; ++r) {
      if (std::abs(m(r, c) / length - (r == c ? 1.0 : 0.0)) > tolerance) return false;
    }
  }
  return true;
}

}  // namespace

struct View::Eye {
  double cx, cy, cz;
  double scale;
  double zNear, zFar;
};

View::View(graphics::Rect frame) : ui::View(frame) { setBackgroundColor(graphics::Color::white()); }

std::shared_ptr<Node> View::pointOfView() const {
  if (pointOfView_) return pointOfView_;
  return scene_ ? firstCameraNode(scene_->rootNode()) : nullptr;
}

void View::render(double time) {
  if (scene_) {
    if (auto delegate = delegate_.lock()) delegate->willRenderScene(*this, *scene_, time);
  }
  ++renderCount_;
}

View::Eye View::eye() const {
  const auto node = pointOfView();
  if (!node || !node->camera()) foundation::fatalError("scene view: no camera to project through");
  const Camera& camera = *node->camera();
  if (!camera.usesOrthographicProjection()) {
    foundation::fatalError("scene view: only orthographic cameras project");
  }
  if (!(camera.orthographicScale() > 0) || !std::isfinite(camera.orthographicScale())) {
    foundation::fatalError("scene view: the orthographic scale must be positive");
  }
  if (camera.zFar() == camera.zNear()) {
    foundation::fatalError("scene view: the camera's near and far distances are equal");
  }
  const Matrix4 world = node->worldTransform();
  if (!isUnturned(world)) foundation::fatalError("scene view: the camera must look down -z, unturned");
  return {world(0, 3), world(1, 3), world(2, 3), camera.orthographicScale(), camera.zNear(),
          camera.zFar()};
}

Vector3 View::projectPoint(const Vector3& w) const {
  const Eye e = eye();
  const double width = frame().size.width, height = frame().size.height;
  const double x = width / 2 + (w.x - e.cx) * height / (2 * e.scale);
  const double y = height / 2 - (w.y - e.cy) * height / (2 * e.scale);
  const double depth = ((e.cz - w.z) - e.zNear) / (e.zFar - e.zNear);
  return {float(x), float(y), float(depth)};
}

Vector3 View::unprojectPoint(const Vector3& v) const {
  const Eye e = eye();
  const double width = frame().size.width, height = frame().size.height;
  double x = e.cx, y = e.cy;
  if (height != 0) {
    x = e.cx + (v.x - width / 2) * (2 * e.scale) / height;
    y = e.cy - (v.y - height / 2) * (2 * e.scale) / height;
  }
  const double z = e.cz - (e.zNear + v.z * (e.zFar - e.zNear));
  return {float(x), float(y), float(z)};
}

}  // namespace scene
