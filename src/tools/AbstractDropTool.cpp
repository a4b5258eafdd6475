#include "tools/AbstractDropTool.h"

#include <any>
#include <string>

#include "commands/Command.h"
#include "commands/CommandData.h"
#include "components/DrawingPaint.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "tools/ApplicationManager.h"
#include "tools/DropSurface.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolViewer.h"
#include "utils/KernelInterface.h"
#include "utils/WetnessUtil.h"

namespace tessivarium {
namespace {

constexpr const char* kColorKey = "color";

// The colour a batch was drawn with; none when its tool data holds no colour under "color".
std::optional<graphics::Color> recordedColor(const CommandData& batch) {
  if (!batch.toolData()) return std::nullopt;
  const auto found = batch.toolData()->find(kColorKey);
  if (found == batch.toolData()->end()) return std::nullopt;
  if (const auto* color = std::any_cast<graphics::Color>(&found->second)) return *color;
  return std::nullopt;
}

// The tool's colour for a fill of `wetness`, or, without one, of the colour's own alpha. The kernels
// lay a colour without wetness (alpha 0, the tools' starting red) fully wet; a fill below the first
// level (a NaN alpha too) would read as that, or as no wetness at all, so it is given the first
// level, the driest paint the tools lay, as the brushes and knives take it, and a fill's wetness
// rises from there.
graphics::Color filledColor(const graphics::Color& color, std::optional<float> wetness) {
  graphics::Color filled = WetnessUtil::toWetnessColor(color, wetness);
  constexpr double kFirstLevel = static_cast<double>(1 << TOOL_CELL_WETNESS_SHIFT) / MAX_DEPTH_CGFLOAT;
  if (!(filled.alpha() >= kFirstLevel)) filled = filled.withAlpha(kFirstLevel);
  return filled;
}

}  // namespace

AbstractDropTool::AbstractDropTool(ToolType type) : AbstractDrawingTool(type) {
  setCanClean(false);
  setCanReset(false);
  setCanSavePattern(false);
  setResizableOnPressure(true);
  setHasColorPattern(false);
  setCanFillColor(true);
}

void AbstractDropTool::setColor(graphics::Color color) {
  color_ = std::move(color);
  // The viewer is made for the main canvas and lights the current one's brush view.
  if (AppManager().currentPaint() && AppManager().canvas()) toolViewer()->updateOnToolChange();
}

DropSurface& AbstractDropTool::dropSurface() {
  auto* surface = dynamic_cast<DropSurface*>(toolSurface().get());
  if (!surface) foundation::fatalError(std::string(describe(toolType())) + ": a drop tool needs a DropSurface");
  return *surface;
}

void AbstractDropTool::interactiveDraw(DrawingPaint& paint, std::function<void()> completed) {
  recordFrame(paint, {{kColorKey, std::any(color_)}});
  AbstractDrawingTool::interactiveDraw(paint, std::move(completed));
}

void AbstractDropTool::handleEnd(DrawingPaint& paint) {
  // The closing frame draws the samples still pending: they belong to the stroke's record as much
  // as those of the frames before, or a replay would stop short of the stroke's end.
  recordFrame(paint, {{kColorKey, std::any(color_)}});
  AbstractDrawingTool::handleEnd(paint);
}

void AbstractDropTool::encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  AbstractDrawingTool::encode(paint, buffer);
  // The surface is reached once the step loop has taken the samples: a surface made here first
  // takes no batch of its own, so its first step does not follow a sample of this very frame.
  encodeSurfaceSteps(paint, buffer, [this](const TouchInputs& samples) { dropSurface().reset(samples, color_); });
}

void AbstractDropTool::execute(Command& command, const std::shared_ptr<gpu::CommandBuffer>& buffer) {
  auto& manager = AppManager();
  const std::string name = describe(toolType());
  // The drop passes find their samples through the current tool: another tool's replay would
  // paint that tool's samples.
  if (manager.currentTool().get() != static_cast<DrawingTool*>(this)) {
    foundation::consoleLine(name + ": not the current tool; the stroke is not replayed");
    return;
  }
  const std::shared_ptr<DrawingPaint> paint = manager.currentPaint();
  if (!paint) {
    foundation::consoleLine(name + ": no current canvas; the stroke is not replayed");
    return;
  }
  // Without the working textures (the failed make has reported NoMoreHeap) nothing can be painted.
  if (!manager.surfaceTextures().makeAll()) {
    foundation::consoleLine(name + ": the working textures are missing; the stroke is not replayed");
    return;
  }
  const graphics::Color saved = color_;
  const TouchInputs pending = touchInputs();
  const auto replay = buffer ? buffer : manager.commandQueue()->makeCommandBuffer();
  for (const auto& batch : command.data()) {
    if (!batch) continue;
    // A host may build batches of its own: a missing sample is left out, not followed.
    TouchInputs samples;
    for (const auto& input : batch->touchInputs()) {
      if (input) samples.push_back(input);
    }
    // Nothing to paint; taking an empty batch would also move the surface off its open window.
    if (samples.empty()) continue;
    setTouchInputs(std::move(samples));
    if (auto recorded = recordedColor(*batch)) setColor(std::move(*recorded));
    encode(*paint, *replay);
  }
  // A live stroke ends with its window written back; a replay must too, or its last window
  // stays in the shared working textures until another tool loads one over it.
  DropSurface& surface = dropSurface();
  if (surface.origin()) surface.encodeSave(*paint, *replay);
  surface.touchEnd();
  setTouchInputs(pending);
  setColor(saved);
  if (!buffer) {
    replay->commit();
    replay->waitUntilCompleted();
  }
}

void AbstractDropTool::fillColor(const graphics::Color& color, float force, std::optional<float> wetness) {
  if (!takesFill(wetness)) return;
  setColor(filledColor(color, wetness));
  AbstractDrawingTool::fillColor(color, force, wetness);
}

}  // namespace tessivarium
