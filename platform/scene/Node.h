#pragma once
// Scene nodes: a tree of named nodes, each with a transform and optional contents (a geometry, a
// camera, a light). A node owns its children; its parent is a plain pointer that the parent clears
// when it goes, so it never dangles. Nodes are shared objects: make them with Node::make().
//
// Transform: local = T(position) · R(eulerAngles) · S(scale) for column vectors, with
// R = Rx(x) · Ry(y) · Rz(z) (a point is turned about z first, then y, then x); world = the
// parent's world · local, up to the topmost ancestor (the root of a scene).

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "scene/Action.h"
#include "scene/Matrix4.h"
#include "scene/Vector.h"

namespace scene {

class Camera;
class Geometry;
class Light;

class Node {
 public:
  Node() = default;
  explicit Node(std::shared_ptr<Geometry> geometry);
  ~Node();
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  static std::shared_ptr<Node> make();
  static std::shared_ptr<Node> make(std::shared_ptr<Geometry> geometry);

  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }

  // --- The tree ---

  // The children in order.
  const std::vector<std::shared_ptr<Node>>& childNodes() const { return children_; }
  // The node that holds this one; none for a root or a free node.
  Node* parent() const { return parent_; }

  // Appends `child` as the last child, first taking it from its old parent (which may be this
  // node: the child then moves to the end). A fatal stop for no node, or for this node or one of
  // its ancestors, which would close a loop.
  void addChildNode(std::shared_ptr<Node> child);
  // Takes the node out of its parent's children; nothing when it has no parent.
  void removeFromParentNode();

  // The first descendant called `name`: the children in order, each checked before its own
  // subtree (pre-order, depth first); only the direct children unless `recursively`. Never this
  // node itself. None when there is no such node.
  std::shared_ptr<Node> childNode(std::string_view name, bool recursively) const;

  // --- Transform ---

  const Vector3& position() const { return position_; }
  void setPosition(const Vector3& p) { position_ = p; }

  // Euler angles in radians; see the order above.
  const Vector3& eulerAngles() const { return euler_; }
  void setEulerAngles(const Vector3& e) { euler_ = e; }
  // One angle, keeping the other two.
  void setEulerX(float x) { euler_.x = x; }
  void setEulerY(float y) { euler_.y = y; }
  void setEulerZ(float z) { euler_.z = z; }

  // Sets the orientation to a turn of r.w radians about the axis (r.x, r.y, r.z); the Euler angles
  // become those of that turn (so (1, 0, 0, π/2) gives (π/2, 0, 0)). A zero axis is no turn when
  // the angle is 0 and a fatal stop otherwise.
  void setRotation(const Vector4& r);

  const Vector3& scale() const { return scale_; }
  void setScale(const Vector3& s) { scale_ = s; }

  // T(position) · R(eulerAngles) · S(scale).
  Matrix4 localTransform() const;
  // The ancestors' local transforms, outermost first, then this node's.
  Matrix4 worldTransform() const;

  // A point of this node's frame in world coordinates.
  Vector3 toWorld(const Vector3& local) const;
  // A world point in this node's frame. A fatal stop when a scale on the way is zero (the
  // transform cannot be inverted).
  Vector3 fromWorld(const Vector3& world) const;
  // The node's origin in world coordinates.
  Vector3 worldPosition() const { return toWorld({0, 0, 0}); }

  // --- Appearance and contents ---

  float opacity() const { return opacity_; }
  void setOpacity(float opacity) { opacity_ = opacity; }
  bool isHidden() const { return hidden_; }
  void setHidden(bool hidden) { hidden_ = hidden; }

  const std::shared_ptr<Geometry>& geometry() const { return geometry_; }
  void setGeometry(std::shared_ptr<Geometry> geometry) { geometry_ = std::move(geometry); }
  const std::shared_ptr<Camera>& camera() const { return camera_; }
  void setCamera(std::shared_ptr<Camera> camera) { camera_ = std::move(camera); }
  const std::shared_ptr<Light>& light() const { return light_; }
  void setLight(std::shared_ptr<Light> light) { light_ = std::move(light); }

  // --- Actions ---

  // Applies `action` to this node at once (see Action.h) and records it. A fatal stop for no
  // action.
  void runAction(std::shared_ptr<const Action> action);
  // The number of actions run on this node and the last of them.
  const ActionRecord& actions() const { return actions_; }

 private:
  bool isSelfOrAncestor(const Node* node) const;
  static std::shared_ptr<Node> findIn(const Node& node, std::string_view name, bool recursively);

  std::string name_;
  std::vector<std::shared_ptr<Node>> children_;
  Node* parent_ = nullptr;
  Vector3 position_;
  Vector3 euler_;
  Vector3 scale_{1, 1, 1};
  float opacity_ = 1;
  bool hidden_ = false;
  std::shared_ptr<Geometry> geometry_;
  std::shared_ptr<Camera> camera_;
  std::shared_ptr<Light> light_;
  ActionRecord actions_;
};

}  // namespace scene
