#include "tools/knives/AbstractKnifeTool.h"

#include <numbers>

#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEDialController.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModelBlur.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/knives/KnifeToolSurface.h"
#include "tools/knives/KnifeToolViewer.h"

namespace tessivarium {

AbstractKnifeTool::AbstractKnifeTool(ToolType type) : AbstractDAEDrawingTool(type) {
  setCanWetDrawing(true);
  setWetDrawing(true);
  setIsThickPressureSensitive(true);
}

void AbstractKnifeTool::initialize() {
  if (initialized()) return;
  // The registry maps every knife to the same passes, so knife1's are every knife's.
  auto& registry = DAEEncoders();
  const std::shared_ptr<AbstractShaderUnit> passes[] = {
      registry.getTextureBlur(ToolType::knife1), registry.getPaintEncoder(ToolType::knife1),
      registry.getPickupEncoder(ToolType::knife1), registry.getColorFillEncoder(ToolType::knife1)};
  for (const auto& pass : passes) pass->shaderPipelineState();
  AbstractDrawingTool::initialize();
}

std::shared_ptr<ToolSurface> AbstractKnifeTool::createToolSurface() {
  return ToolSurface::make<KnifeToolSurface>(*this, touchInputs());
}

std::shared_ptr<ToolViewer> AbstractKnifeTool::createToolViewer() {
  return std::make_shared<KnifeToolViewer>(*this, sceneName(toolType()));
}

void AbstractKnifeTool::updateControlView(DAEDialController& dial) {
  AbstractDAEDrawingTool::updateControlView(dial);
  dial.setMaxAngle(static_cast<float>(std::numbers::pi / 2));
  dial.setMinAngle(static_cast<float>(-std::numbers::pi / 2));
}

std::string AbstractKnifeTool::sceneName(ToolType type) {
  return "KnifeTool" + std::to_string(static_cast<int>(type) - static_cast<int>(ToolType::knife1) + 1);
}

}  // namespace tessivarium
