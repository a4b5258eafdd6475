#include "tools/DefaultToolViewer.h"

#include <string_view>

#include "Application.h"
#include "Artwork.h"
#include "components/BrushView.h"
#include "components/DrawingPaint.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "scene/Geometry.h"
#include "scene/Material.h"
#include "tools/AbstractDropTool.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/ToolModel.h"

namespace tessivarium {

namespace {

// What the viewer needs of the tool and the canvas beyond what they offer so far; each stops until
// the part that owns it is built.
[[noreturn]] void notBuilt(std::string_view member) { foundation::fatalError(std::string(member) + ": not built yet"); }
void setRotationOf(AbstractDrawingTool&, float) { notBuilt("AbstractDrawingTool.rotation"); }
BrushView& brushViewOf(DrawingPaint&) { notBuilt("DrawingPaint.brushView"); }

DrawingPaint& currentPaint(std::string_view operation) {
  const auto& paint = AppManager().currentPaint();
  if (!paint) foundation::fatalError(std::string(operation) + ": no current canvas");
  return *paint;
}

std::string describe(const scene::Vector3& v) {
  return "SCNVector3(x: " + foundation::describe(v.x) + ", y: " + foundation::describe(v.y) +
         ", z: " + foundation::describe(v.z) + ")";
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
  const float old = rotation_;
  rotation_ = rotation;
  if (toolContentNode_) toolContentNode_->setEulerAngles({0, 0, rotation_});
  if (rotation_ != old) setRotationOf(tool(), rotation_);
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
    const auto& toolNode = brushViewOf(currentPaint("DefaultToolViewer.initLoads")).toolNode();
    if (toolNode) toolNode->setEulerAngles(*eulerAngles_);
  }
}

void DefaultToolViewer::loads() { initLoads(); }

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
  return brushViewOf(currentPaint("DefaultToolViewer.getLocation")).projectPoint(world);
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

void DefaultToolViewer::touchesBegan(const ui::TouchSet&, const ui::Event*) {
  foundation::fatalError("DefaultToolViewer.touchesBegan: not built yet");
}

void DefaultToolViewer::touchesMoved(const ui::TouchSet&, const ui::Event*) {
  foundation::fatalError("DefaultToolViewer.touchesMoved: not built yet");
}

void DefaultToolViewer::touchesEnded(const ui::TouchSet&, const ui::Event*) {
  if (!Application().drawingToolAutoHide() || !AppManager().currentPaint()) return;
  const auto& toolNode = brushViewOf(*AppManager().currentPaint()).toolNode();
  if (!toolNode) foundation::fatalError("DefaultToolViewer.touchesEnded: the brush view has no tool node");
  toolNode->setHidden(true);
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
