#include "components/LightView.h"

#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Scene.h"

namespace tessivarium {

LightView::LightView(graphics::Rect frame, std::optional<SceneViewOptions> options)
    : scene::View(frame), options_(std::move(options)) {}

std::shared_ptr<LightView> LightView::fromCoder(const ui::Coder&) { return nullptr; }

void LightView::setView(const std::any&) {
  setBackgroundColor(graphics::Color::fromRGBA(1.0, 1.0, 1.0, 0.0));
  setOpaque(false);
  setScene(scene::Scene::make());

  auto camera = scene::Camera::make();
  camera->setUsesOrthographicProjection(true);
  camera->setOrthographicScale(1.0);
  auto cameraNode = scene::Node::make();
  cameraNode->setCamera(std::move(camera));
  cameraNode->setPosition({0.0f, 0.0f, 5.0f});
  scene()->rootNode()->addChildNode(std::move(cameraNode));

  lightNode_ = createLight();
  if (lightNode_) scene()->rootNode()->addChildNode(lightNode_);
}

std::shared_ptr<scene::Node> LightView::createLight() {
  auto light = scene::Light::make();
  light->setType(scene::LightType::omni);
  light->setColor(graphics::Color::fromRGBA(1.0, 1.0, 1.0, 1.0));
  auto node = scene::Node::make();
  node->setLight(std::move(light));
  node->setPosition({-35.0f, 10.0f, 35.0f});
  return node;
}

}  // namespace tessivarium
