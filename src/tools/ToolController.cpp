#include "tools/ToolController.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "foundation/Bundle.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "scene/Geometry.h"
#include "scene/Material.h"
#include "scene/Scene.h"
#include "scene/SceneError.h"
#include "ui/Event.h"
#include "ui/TouchSet.h"

namespace tessivarium {

namespace {
constexpr float kTwoPi = static_cast<float>(2 * std::numbers::pi);
}

ToolController::ToolController(graphics::Rect frame, std::optional<SceneViewOptions> options)
    : LightView(frame, std::move(options)),
      maxZ(static_cast<float>(std::numbers::pi / 4)),
      maxAngle_(kTwoPi) {}

void ToolController::updateValue(float, float) {}

void ToolController::deepUpdate(const std::shared_ptr<scene::Node>& node,
                                const std::vector<std::shared_ptr<scene::Material>>& materials) {
  if (node->geometry()) node->geometry()->setMaterials(materials);
  for (const auto& child : node->childNodes()) deepUpdate(child, materials);
}

std::shared_ptr<scene::Node> ToolController::createLight() {
  auto node = LightView::createLight();
  node->setPosition({-2.0f, 2.0f, 2.0f});
  return node;
}

float ToolController::positiveAngle(float angle) { return angle < 0 ? angle + kTwoPi : angle; }

std::shared_ptr<scene::Material> ToolController::greyMaterial(float shininess) {
  auto material = scene::Material::make();
  material->setLightingModel(scene::LightingModel::phong);
  material->specular().setContents(graphics::Color::white());
  material->diffuse().setContents(graphics::Color::darkGrey());
  material->setShininess(shininess);
  return material;
}

std::shared_ptr<scene::Node> ToolController::buildGadget(std::string_view resource, std::string_view missingLine,
                                                         float scale) {
  LightView::setView();
  const auto path = foundation::Bundle::framework().pathForResource(resource, "dae");
  if (!path) {
    foundation::consoleLine(missingLine);
    return nullptr;
  }
  const std::vector<std::shared_ptr<scene::Material>> body{greyMaterial(0.4f)};
  auto node = scene::Node::make();
  node->setOpacity(0.7f);
  try {
    const auto loaded = scene::Scene::load(*path);
    const auto children = loaded->rootNode()->childNodes();  // taken once: adding moves them
    for (const auto& child : children) {
      deepUpdate(child, body);
      node->addChildNode(child);
    }
  } catch (const scene::SceneError&) {
    // An unreadable file leaves the gadget empty; the caller stops on the node it cannot find.
  }
  node->setScale({scale, scale, scale});
  if (scene()) scene()->rootNode()->addChildNode(node);
  return node;
}

std::shared_ptr<scene::Node> ToolController::movingPart(const scene::Node& gadget, const std::string& name,
                                                        std::string_view owner, std::string_view file) {
  auto part = gadget.childNode(name, true);
  if (!part) {
    foundation::fatalError(std::string(owner) + ".loads: " + std::string(file) + " has no node \"" + name + "\"");
  }
  deepUpdate(part, {greyMaterial(0.1f)});
  return part;
}

void ToolController::setView(const std::any& value) {
  if (!content_) loads();
  if (!value.has_value()) return;
  const float* angle = std::any_cast<float>(&value);
  if (!angle) foundation::fatalError("ToolController.setView: the value is not a Float angle");
  updateValue(*angle, 0);
}

void ToolController::touchesMoved(const ui::TouchSet& touches, const ui::Event* event) {
  LightView::touchesMoved(touches, event);
  if (touches.empty()) return;
  const auto& touch = *std::prev(touches.end());

  origin_ = projectPoint({0, 0, 0});
  const graphics::Point location = touch->location(this);
  const float dx = static_cast<float>(location.x) - origin_->x;
  const float dy = origin_->y - static_cast<float>(location.y);
  const float len = std::sqrt(dx * dx + dy * dy);

  float angle = 0;
  // The quotient can pass 1 by a rounding step, which would make acos NaN.
  if (len != 0) angle = std::acos(std::clamp(dx / len, -1.0f, 1.0f));
  if (dy < 0) angle = minAngle_ >= 0 ? kTwoPi - angle : -angle;
  angle = std::max(std::min(maxAngle_, angle), minAngle_);
  const float radius = std::min(len, MaxRadius);

  if (changeValue_) changeValue_->changedValue(std::any(angle));
  updateValue(angle, radius);
}

}  // namespace tessivarium
