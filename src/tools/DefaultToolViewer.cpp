#include "tools/DefaultToolViewer.h"

#include <algorithm>
#include <numbers>
#include <string_view>

#include "Application.h"
#include "Artwork.h"
#include "components/BrushView.h"
#include "components/DrawingPaint.h"
#include "foundation/Bundle.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "scene/Geometry.h"
#include "scene/Material.h"
#include "scene/Scene.h"
#include "scene/SceneError.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/ToolModel.h"
#include "tools/TouchInput.h"
#include "ui/Event.h"
#include "ui/TouchSet.h"
#include "utils/SceneKitUtil.h"

namespace tessivarium {

namespace {

// The brush view of the current canvas; a viewer needs both for any pose.
BrushView& currentBrushView(std::string_view operation) {
  return AppManager().requiredCurrentPaint(operation).requiredBrushView(operation);
}

// The brush view's tool node while the tool auto-hides and a canvas is current.
scene::Node* autoHiddenToolNode(std::string_view operation) {
  if (!Application().drawingToolAutoHide() || !AppManager().currentPaint()) return nullptr;
  const auto& toolNode = AppManager().currentPaint()->requiredBrushView(operation).toolNode();
  if (!toolNode) foundation::fatalError(std::string(operation) + ": the brush view has no tool node");
  return toolNode.get();
}

void setUniformScale(scene::Node* node, float scale) {
  if (node) node->setScale({scale, scale, scale});
}

// Adds the top-level nodes of the scene at `path` to `content`, in file order; a file that cannot
// be read adds nothing.
void addSceneNodes(const std::filesystem::path& path, scene::Node& content) {
  try {
    const auto loaded = scene::Scene::load(path);
    const auto children = loaded->rootNode()->childNodes();  // taken once: adding moves them
    for (const auto& child : children) content.addChildNode(child);
  } catch (const scene::SceneError&) {
    // The content stays empty.
  }
}

}  // namespace

DefaultToolViewer::DefaultToolViewer(AbstractDrawingTool& tool, float scale)
    : tool_(&tool),
      size_{static_cast<std::size_t>(MAC_BORDER), static_cast<std::size_t>(MAC_BORDER), 0} {
  const auto& canvas = AppManager().canvas();
  if (!canvas) foundation::fatalError("DefaultToolViewer: a viewer needs a canvas");
  scale_ = scale * 0.7f / static_cast<float>(canvas->artwork()->scale());
}

DefaultToolViewer::~DefaultToolViewer() = default;

void DefaultToolViewer::setRotation(float rotation) {
  if (!isRotation(rotation, "DefaultToolViewer.setRotation")) return;
  const float old = rotation_;
  rotation_ = rotation;
  if (toolContentNode_) toolContentNode_->setEulerAngles({0, 0, rotation_});
  if (rotation_ != old) tool().setRotation(rotation_);
}

void DefaultToolViewer::initLoads() {
  if (!toolContentNode_) {
    toolContentNode_ = scene::Node::make();
    auto material = scene::Material::make();
    material->setLightingModel(scene::LightingModel::phong);
    material->specular().setContents(graphics::Color::white());
    material->diffuse().setContents(graphics::Color::grey());
    material->setShininess(0.15f);
    for (const auto& child : toolContentNode_->childNodes()) {
      if (child->geometry()) child->geometry()->setMaterials({material});
    }
    if (toolContentNode_->geometry()) toolContentNode_->geometry()->setMaterials({material});
  }
  if (eulerAngles_) {
    const auto& toolNode = currentBrushView("DefaultToolViewer.initLoads").toolNode();
    if (toolNode) toolNode->setEulerAngles(*eulerAngles_);
  }
}

void DefaultToolViewer::loads() { initLoads(); }

bool DefaultToolViewer::showScene(BrushView& brushView, const std::string& fileName, float contentScale,
                                  const std::function<void(scene::Node& content)>& loaded) {
  if (!toolContentNode_) foundation::fatalError("DefaultToolViewer.showScene: no content node");
  scene::Node& content = *toolContentNode_;
  brushView.setBrushNode(toolContentNode_);
  scene::Node* toolNode = brushView.toolNode().get();
  if (!content.childNodes().empty()) {
    setUniformScale(&content, contentScale);
    setUniformScale(toolNode, scale_);
    if (eulerAngles_ && toolNode) toolNode->setEulerAngles(*eulerAngles_);
    return true;
  }
  const auto path = foundation::Bundle::framework().pathForResource(fileName, "dae");
  if (!path) {
    foundation::consoleLine(fileName + " isn't found");
    return false;
  }
  addSceneNodes(*path, content);
  if (loaded) loaded(content);
  setUniformScale(&content, contentScale);
  setUniformScale(toolNode, scale_);
  if (toolNode) {
    constexpr float kEighthTurn = static_cast<float>(std::numbers::pi / 4);
    toolNode->setEulerX(kEighthTurn);
    toolNode->setEulerZ(kEighthTurn);
  }
  return true;
}

std::shared_ptr<ToolModel> DefaultToolViewer::createToolModel() {
  foundation::fatalError("should be implemented in subclass");
}

void DefaultToolViewer::attachView() {
  loads();
  updateSize();
}

void DefaultToolViewer::updateOnToolChange() {
  if (toolContentNode_) toolContentNode_->setEulerAngles({0, 0, rotation_});
}

scene::Vector3 DefaultToolViewer::getLocation(const std::string&, const std::string& name) {
  if (!toolContentNode_) foundation::fatalError("DefaultToolViewer.getLocation: no content node");
  const auto mark = toolContentNode_->childNode(name, true);
  if (!mark) foundation::fatalError("DefaultToolViewer.getLocation: no marker \"" + name + "\"");
  const scene::Vector3 world = mark->toWorld({0, 0, 0});
  return currentBrushView("DefaultToolViewer.getLocation").projectPoint(world);
}

void DefaultToolViewer::printLocation(const std::string& label, const std::string& name) {
  foundation::consoleLine(label + " " + describe(getLocation(label, name)));
}

void DefaultToolViewer::hideMarks(const std::vector<std::string>& names) {
  if (!toolContentNode_) foundation::fatalError("DefaultToolViewer.hideMarks: no content node");
  for (const auto& name : names) {
    if (const auto mark = toolContentNode_->childNode(name, true)) mark->setHidden(true);
  }
}

void DefaultToolViewer::touchesMoved(const ui::TouchSet& touches, const ui::Event* event) {
  if (touches.empty() || !event) return;
  const auto coalesced = event->coalescedTouches(*touches.first());
  if (!coalesced || coalesced->empty()) return;
  BrushView& brushView = currentBrushView("DefaultToolViewer.touchesMoved");
  const ui::Touch& touch = *coalesced->back();
  if (!TouchInput::canSample(touch, &brushView)) return;
  const TouchInput sample(touch, &brushView);
  const auto& node = brushView.toolNode();
  if (!node) return;
  const scene::Vector3 p = brushView.unprojectPoint(
      {static_cast<float>(sample.location().x), static_cast<float>(sample.location().y), 0});
  node->setPosition({p.x, p.y, 0});
  updateOnTouch(*node, sample);
}

void DefaultToolViewer::updateOnTouch(scene::Node& node, const TouchInput& touchInput) {
  eulerAngles_ = scene::Vector3(0, static_cast<float>(std::numbers::pi / 2) - touchInput.altitudeAngle(),
                                -touchInput.azimuthAngle());
  node.setEulerAngles(*eulerAngles_);
  float s = scale_;
  if (tool().resizableOnPressure()) s = std::max(touchInput.force(), 0.5f) * 2.0f;
  node.setScale({s, s, s});
}

void DefaultToolViewer::touchesBegan(const ui::TouchSet& touches, const ui::Event* event) {
  touchesMoved(touches, event);
  if (auto* node = autoHiddenToolNode("DefaultToolViewer.touchesBegan")) node->setHidden(false);
}

void DefaultToolViewer::touchesEnded(const ui::TouchSet&, const ui::Event*) {
  if (auto* node = autoHiddenToolNode("DefaultToolViewer.touchesEnded")) node->setHidden(true);
}

void DefaultToolViewer::clean() {
  if (toolModel_) toolModel_->clean();
}

void DefaultToolViewer::reset() {
  if (toolModel_) toolModel_->reset();
}

void DefaultToolViewer::savePattern() {
  if (toolModel_) toolModel_->savePattern();
}

void DefaultToolViewer::pickPattern(const TouchInput& touchInput, float rotation) {
  if (toolModel_) toolModel_->pickPattern(touchInput, rotation);
}

}  // namespace tessivarium
