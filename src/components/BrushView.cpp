#include "components/BrushView.h"

#include <numbers>

#include "Application.h"
#include "Artwork.h"
#include "foundation/Fatal.h"
#include "scene/Geometry.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Scene.h"

namespace tessivarium {
namespace {

constexpr float kToolOpacity = 0.7f;

std::shared_ptr<scene::Geometry> toolCylinder(double frameHeight) {
  const double radius = MAC_BORDER / frameHeight;
  auto cylinder = scene::Cylinder::make(static_cast<float>(radius), static_cast<float>(3.0 * radius));
  const auto material = cylinder->firstMaterial();
  material->setLightingModel(scene::LightingModel::phong);
  material->specular().setContents(graphics::Color::white());
  material->diffuse().setContents(graphics::Color::darkGrey());
  material->setShininess(0.15f);
  return cylinder;
}

}  // namespace

BrushView::BrushView(graphics::Rect frame, std::optional<SceneViewOptions> options)
    : LightView(frame, std::move(options)) {
  setView();
}

BrushView::BrushView(const ui::Coder&) : LightView(graphics::Rect{}) {
  foundation::fatalError("init(coder:) has not been implemented");
}

void BrushView::setView(const std::any& value) {
  LightView::setView(value);

  content_ = scene::Node::make(toolCylinder(frame().size.height));
  // A quarter turn about x lays the cylinder's axis (its own y) along z, towards the camera.
  content_->setRotation({1.0f, 0.0f, 0.0f, std::numbers::pi_v<float> / 2.0f});
  content_->setPosition({0.0f, 0.0f, 0.1f});

  toolNode_ = scene::Node::make();
  toolNode_->setOpacity(kToolOpacity);
  if (Application().drawingToolAutoHide()) toolNode_->setHidden(true);
  toolNode_->addChildNode(content_);
  toolNode_->setPosition({0.0f, 0.0f, 0.0f});
  scene()->rootNode()->addChildNode(toolNode_);
}

void BrushView::setBrushNode(std::shared_ptr<scene::Node> node) {
  if (!content_ || !toolNode_) foundation::fatalError("BrushView.setBrushNode: the view has no tool nodes");
  if (!node) foundation::fatalError("BrushView.setBrushNode: no node to show");
  content_->removeFromParentNode();
  if (lightNode() && lightNode()->light()) lightNode()->light()->setColor(graphics::Color::white());
  content_ = std::move(node);
  toolNode_->setOpacity(kToolOpacity);
  if (Application().drawingToolAutoHide()) toolNode_->setHidden(true);
  toolNode_->addChildNode(content_);
}

}  // namespace tessivarium
