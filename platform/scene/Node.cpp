#include "scene/Node.h"

#include <algorithm>

#include "foundation/Fatal.h"
#include "scene/Action.h"
#include "scene/Camera.h"
#include "scene/Geometry.h"
#include "scene/Light.h"

namespace scene {

Node::Node(std::shared_ptr<Geometry> geometry) : geometry_(std::move(geometry)) {}

Node::~Node() {
  for (const auto& child : children_) child->parent_ = nullptr;
}

std::shared_ptr<Node> Node::make() { return std::make_shared<Node>(); }

std::shared_ptr<Node> Node::make(std::shared_ptr<Geometry> geometry) {
  return std::make_shared<Node>(std::move(geometry));
}

bool Node::isSelfOrAncestor(const Node* node) const {
  for (const Node* n = this; n != nullptr; n = n->parent_) {
    if (n == node) return true;
  }
  return false;
}

void Node::addChildNode(std::shared_ptr<Node> child) {
  if (!child) foundation::fatalError("addChildNode: no node given");
  if (isSelfOrAncestor(child.get())) {
    foundation::fatalError("addChildNode: a node cannot become a child of itself or of its descendants");
  }
  child->removeFromParentNode();
  child->parent_ = this;
  children_.push_back(std::move(child));
}

void Node::removeFromParentNode() {
  if (parent_ == nullptr) return;
  auto& siblings = parent_->children_;
  const auto it = std::find_if(siblings.begin(), siblings.end(),
                               [this](const std::shared_ptr<Node>& n) { return n.get() == this; });
  // Keep this node alive until the parent's list no longer holds it.
  const std::shared_ptr<Node> self = *it;
  siblings.erase(it);
  parent_ = nullptr;
}

std::shared_ptr<Node> Node::findIn(const Node& node, std::string_view name, bool recursively) {
  for (const auto& child : node.children_) {
    if (child->name_ == name) return child;
    if (recursively) {
      if (auto found = findIn(*child, name, true)) return found;
    }
  }
  return nullptr;
}

std::shared_ptr<Node> Node::childNode(std::string_view name, bool recursively) const {
  return findIn(*this, name, recursively);
}

void Node::setRotation(const Vector4& r) {
  const Vector3 axis{r.x, r.y, r.z};
  if (axis == Vector3{0, 0, 0}) {
    if (r.w != 0) foundation::fatalError("setRotation: a turn needs a non-zero axis");
    euler_ = {0, 0, 0};
    return;
  }
  euler_ = eulerAnglesOf(Matrix4::rotation(axis, r.w));
}

Matrix4 Node::localTransform() const {
  return Matrix4::translation(position_) * Matrix4::eulerRotation(euler_) * Matrix4::scaling(scale_);
}

Matrix4 Node::worldTransform() const {
  Matrix4 world = localTransform();
  for (const Node* n = parent_; n != nullptr; n = n->parent_) world = n->localTransform() * world;
  return world;
}

Vector3 Node::toWorld(const Vector3& local) const { return worldTransform().transformPoint(local); }

Vector3 Node::fromWorld(const Vector3& world) const {
  const auto inverse = worldTransform().inverse();
  if (!inverse) {
    foundation::fatalError("fromWorld: node \"" + name_ + "\" has a zero scale on its way to the root");
  }
  return inverse->transformPoint(world);
}

void Node::runAction(std::shared_ptr<const Action> action) {
  if (!action) foundation::fatalError("runAction: no action given");
  switch (action->kind()) {
    case Action::Kind::rotateBy:
      setEulerAngles({float(euler_.x + action->x()), float(euler_.y + action->y()),
                      float(euler_.z + action->z())});
      break;
  }
  ++actions_.count;
  actions_.last = std::move(action);
}

}  // namespace scene
