#include "tools/AbstractDAEDrawingTool.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "Application.h"
#include "Artwork.h"
#include "components/BrushView.h"
#include "components/DrawingPaint.h"
#include "foundation/Clock.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "scene/Node.h"
#include "tools/AbstractDAEToolViewer.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEColorFill.h"
#include "tools/DAEDialController.h"
#include "tools/DAEPaintingShow.h"
#include "tools/DAEPassInputs.h"
#include "tools/DebugSwitches.h"
#include "tools/DefaultToolViewer.h"
#include "tools/SoloDAEToolController.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolModel.h"
#include "tools/ToolSurface.h"
#include "utils/WetnessUtil.h"

namespace tessivarium {
namespace {

// The window's corner along one axis, in cells: `minimum` is the nearest point in view units.
// A shift that is not a number (an azimuth that is not) places the window at the edge.
std::uint32_t windowEdge(std::int64_t minimum, double shift, double scale, std::int64_t size) {
  const double highest = std::max(static_cast<double>(size) * scale - static_cast<double>(MAC_WIDTH), 0.0);
  const double edge = (static_cast<double>(minimum) - shift) * scale;
  if (std::isnan(edge)) return 0;
  return static_cast<std::uint32_t>(std::min(std::max(edge, 0.0), highest));
}

// A point's coordinate as a whole view point on a canvas `size` points long: truncated, then kept
// on the canvas (a coordinate that is not a number counts as 0).
std::int64_t onCanvas(double coordinate, std::int64_t size) {
  if (!(coordinate > 0)) return 0;
  if (coordinate >= static_cast<double>(size)) return size;
  return static_cast<std::int64_t>(coordinate);
}

}  // namespace

gpu::uint3 AbstractDAEDrawingTool::findWorkingOffset(const std::vector<graphics::Point>& points, float azimuth) {
  const double s = canvasScaleForWindow();
  const double d = (static_cast<double>(MAC_HALF_WIDTH) / 3.0) / s;
  const double ox = d + d * static_cast<double>(1.0f - std::cos(azimuth));
  const double oy = d + d * static_cast<double>(1.0f - std::sin(azimuth));
  return windowAbove(points, ox, oy);
}

double AbstractDAEDrawingTool::canvasScaleForWindow() const {
  if (!width() || !height()) foundation::fatalError("findWorkingOffset needs the canvas size (switchTo)");
  const auto& canvas = AppManager().canvas();
  if (!canvas) foundation::fatalError("findWorkingOffset needs the main canvas");
  return canvas->artwork()->scale();
}

gpu::uint3 AbstractDAEDrawingTool::windowAbove(const std::vector<graphics::Point>& points, double shiftX,
                                               double shiftY) const {
  const double s = canvasScaleForWindow();
  if (points.empty()) return {0, 0, 0};  // as the base: the canvas's corner
  std::int64_t minX = std::numeric_limits<std::int64_t>::max();
  std::int64_t minY = minX;
  for (const auto& p : points) {
    minX = std::min(minX, onCanvas(p.x, *width()));
    minY = std::min(minY, onCanvas(p.y, *height()));
  }
  return {windowEdge(minX, shiftX, s, *width()), windowEdge(minY, shiftY, s, *height()), 0};
}

void AbstractDAEDrawingTool::switchControler() { updateControlView(*SOLO_DAE_TOOL_CONTROLLER()); }

std::shared_ptr<ToolController> AbstractDAEDrawingTool::createController() {
  switchControler();
  return SOLO_DAE_TOOL_CONTROLLER();
}

void AbstractDAEDrawingTool::updateControlView(DAEDialController& dial) {
  dial.setView(std::any(toolViewer()->rotation()));
  dial.setChangeValue(shared_from_this());
  dial.setMaxAngle(static_cast<float>(std::numbers::pi * 2.0));
  dial.setMinAngle(0);
}

void AbstractDAEDrawingTool::changedValue(const std::any& value) {
  DrawingPaint& paint = AppManager().requiredCurrentPaint("AbstractDAEDrawingTool.changedValue");
  const auto viewer = std::dynamic_pointer_cast<DefaultToolViewer>(toolViewer());
  if (!viewer) foundation::fatalError("changedValue needs the tool's DefaultToolViewer");
  const float* angle = std::any_cast<float>(&value);
  if (!angle) foundation::fatalError("changedValue: the dial's value is not a Float");
  if (!isRotation(*angle, "changedValue")) return;
  viewer->setRotation(*angle);
  const auto& brushView = paint.brushView();
  const auto node = brushView ? brushView->toolNode() : nullptr;
  if (!node) foundation::fatalError("changedValue needs the brush view's tool node");
  const scene::Vector3 euler = node->eulerAngles();
  if (euler.x == 0 && euler.y == 0 && euler.z == 0) {
    node->setEulerX(std::numbers::pi_v<float> / 4);
    node->setEulerZ(std::numbers::pi_v<float> / 4);
  }
  const scene::Vector3 shown = node->eulerAngles();
  foundation::consoleLine("Tool euler angles: " + foundation::describe(shown.x) + ", " + foundation::describe(shown.y) +
                          ", " + foundation::describe(shown.z));
  if (const auto& model = viewer->toolModel()) {
    if (DAEDescriptorSource* head = descriptorSourceOf(*model)) head->setDescriptorRotation(viewer->rotation());
  }
}

void AbstractDAEDrawingTool::encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  AbstractDrawingTool::encode(paint, buffer);
  encodeSurfaceSteps(paint, buffer);
}

void AbstractDAEDrawingTool::fillColor(const graphics::Color& color, float force, std::optional<float> wetness) {
  if (!takesFill(wetness)) return;
  if (const char* refusal = fillRefusal()) {
    foundation::consoleLine(std::string(describe(toolType())) + ": " + refusal + "; no colour is filled");
    Application().hanldeError(ErrorMessage::CannotFillColor);
    return;
  }
  const foundation::Date start = foundation::Date::now();
  DrawingPaint& paint = AppManager().requiredCurrentPaint("AbstractDAEDrawingTool.fillColor");
  const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  for (const auto& initializer : getInitializers()) initializer->encode(paint, *buffer);
  DAEColorFill(*this, WetnessUtil::toWetnessColor(color, wetness), force).encode(paint, *buffer);
  if (DEBUG_DAE_KNIFE == KnifeDebugMode::Height) {
    DAEPaintingShow().encode(paint, *buffer);
    paint.redraw(DrawingMode::Refresh);
  }
  if (DEBUG_DAE_KNIFE != KnifeDebugMode::None) {
    buffer->addCompletedHandler([start](gpu::CommandBuffer&) {
      foundation::consoleLine("Fiil Color Execution time: " +
                              foundation::describe(foundation::Date::now().timeIntervalSince(start)));
    });
  }
  buffer->commit();
  AbstractDrawingTool::fillColor(color, force, wetness);
}

const char* AbstractDAEDrawingTool::fillRefusal() {
  // The fill passes fill the current tool's head in the working textures of the current canvas.
  auto& manager = AppManager();
  const auto& paint = manager.currentPaint();
  if (!paint) return "no current canvas";
  if (manager.currentTool().get() != static_cast<DrawingTool*>(this)) return "not the current tool";
  if (!manager.surfaceTextures().makeAll()) return "the working textures are missing";
  // A head is measured once the canvas has started; a fill that comes first measures it then.
  if (!toolSurface()->getModel() && paint->isStarted()) toolViewer()->loads();
  if (!toolSurface()->getModel()) return "the head is not measured yet";
  return nullptr;
}

void AbstractDAEDrawingTool::interactiveDraw(DrawingPaint& paint, std::function<void()> completed) {
  if (!touchInputs().empty() && !isBusy()) recordPendingSamples(paint, "interactiveDraw");
  AbstractDrawingTool::interactiveDraw(paint, std::move(completed));
}

void AbstractDAEDrawingTool::handleEnd(DrawingPaint& paint) {
  // The closing frame draws the samples still pending: they belong to the stroke's record as much
  // as those of the frames before, or a replay would stop short of the stroke's end.
  if (!touchInputs().empty()) recordPendingSamples(paint, "handleEnd");
  AbstractDrawingTool::handleEnd(paint);
}

void AbstractDAEDrawingTool::recordPendingSamples(DrawingPaint& paint, const char* who) {
  const auto* viewer = dynamic_cast<const AbstractDAEToolViewer*>(toolViewer().get());
  if (!viewer) {
    foundation::fatalError(std::string(who) + " needs the tool's tool-model viewer (an AbstractDAEToolViewer)");
  }
  recordFrame(paint, {{"rotation", std::any(viewer->rotation())}});
}

}  // namespace tessivarium
