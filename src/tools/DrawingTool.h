#pragma once
// The painting tools: the role under which the application keeps every tool (DrawingTool), and
// the base class of every tool the system makes (AbstractDrawingTool), with the state all tools
// share, their three companions (stroke surface, 3-D viewer, optional controller, each made on
// first read) and the path of one stroke from touch-down to the hand-over to undo.
//
// Threads: main thread only; no locks.

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gpu/Vectors.h"
#include "graphics/Color.h"
#include "graphics/Geometry.h"
#include "tools/ToolChangeValue.h"
#include "tools/ToolEncoder.h"
#include "tools/ToolType.h"
#include "tools/TouchInput.h"
#include "tools/colorPicker/TouchHandler.h"

namespace gpu {
class CommandBuffer;
}

namespace ui {
class Event;
class Touch;
class TouchSet;
}  // namespace ui

namespace tessivarium {

class Command;
class DrawingArtworkDrawingOperation;
class DrawingPaint;
class RawData;
class ToolController;
class ToolSurface;
class ToolViewer;

// Whether `rotation` can turn a tool: a finite angle. Any other prints "<who>: the rotation <r> is
// not finite; the rotation stays" (a NaN would otherwise bounce between tool and viewer for ever,
// as it never equals itself).
bool isRotation(float rotation, std::string_view who);

// A tool as the application manager and the host keep it.
class DrawingTool : public ToolChangeValue {
 public:
  virtual bool initialized() const = 0;
  virtual ToolType toolType() const = 0;
  // Replays a recorded stroke, on `buffer` when one is given.
  virtual void execute(Command& command, const std::shared_ptr<gpu::CommandBuffer>& buffer) = 0;
  virtual void switchTo(DrawingPaint& paint) = 0;
  virtual void updateChange() = 0;
  virtual void initialize() = 0;
  virtual const std::shared_ptr<ToolController>& controller() = 0;
  virtual bool enabled() const = 0;
  // false makes the tool let go of its canvas.
  virtual void setEnabled(bool enabled) = 0;
  virtual bool autoReset() const = 0;
  virtual void setAutoReset(bool autoReset) = 0;
  virtual void reset() = 0;
  virtual void savePattern() = 0;
  virtual bool canSavePattern() const = 0;
  virtual bool canClean() const = 0;
  virtual bool isThickPressureSensitive() const = 0;
  virtual float thickness() const = 0;
  virtual void setThickness(float thickness) = 0;
  virtual bool canWetDrawing() const = 0;
  virtual bool wetDrawing() const = 0;
  virtual void setWetDrawing(bool wetDrawing) = 0;
  virtual bool autoClean() const = 0;
  virtual void setAutoClean(bool autoClean) = 0;
  virtual void clean() = 0;
  virtual bool canReset() const = 0;
  virtual bool canFillColor() const = 0;
  virtual void fillColor(const graphics::Color& color, float force = 1.0f,
                         std::optional<float> wetness = std::nullopt) = 0;
  virtual void attachViewer() = 0;
  virtual void dettachViewer() = 0;
  virtual float rotation() const = 0;
  virtual void setRotation(float rotation) = 0;
  // The head's colour as a pattern; none for a tool without one.
  virtual std::optional<RawData> getToolPattern() = 0;
  // Throws Error (TextureFormatIncompatible or ToolPatternNotNeed).
  virtual void setToolPattern(const RawData& toolPattern) = 0;
  // Loads the tool's viewer, stroke state and controller; throws Error.
  virtual void loads() = 0;
};

// The base class of every painting tool. A constructor records state only: the application
// manager makes some tools while it starts, so no constructor may reach it.
class AbstractDrawingTool : public DrawingTool,
                            public TouchHandler,
                            public std::enable_shared_from_this<AbstractDrawingTool> {
 public:
  explicit AbstractDrawingTool(ToolType type);
  ~AbstractDrawingTool() override;
  AbstractDrawingTool(const AbstractDrawingTool&) = delete;
  AbstractDrawingTool& operator=(const AbstractDrawingTool&) = delete;

  // --- State ---------------------------------------------------------------------------------
  bool initialized() const override { return initialized_; }
  void setInitialized(bool value) { initialized_ = value; }
  // True between handleEnabled() and handleDisabled().
  bool handledEnabled() const { return handledEnabled_; }
  void setHandledEnabled(bool value) { handledEnabled_ = value; }
  bool canFillColor() const override { return canFillColor_; }
  void setCanFillColor(bool value) { canFillColor_ = value; }
  // A change reaches the viewer; writing the same value does not, nor one that is not finite
  // (see isRotation).
  float rotation() const override { return rotation_; }
  void setRotation(float rotation) override;
  // Samples the stroke surface has consumed in the current stroke; 0 at touch-down.
  std::int64_t touchCount() const { return touchCount_; }
  void setTouchCount(std::int64_t count) { touchCount_ = count; }
  bool hasColorPattern() const { return hasColorPattern_; }
  void setHasColorPattern(bool value) { hasColorPattern_ = value; }
  bool canClean() const override { return canClean_; }
  void setCanClean(bool value) { canClean_ = value; }
  bool canReset() const override { return canReset_; }
  void setCanReset(bool value) { canReset_ = value; }
  bool canSavePattern() const override { return canSavePattern_; }
  void setCanSavePattern(bool value) { canSavePattern_ = value; }
  // Writing true saves the pattern and then resets the head.
  bool autoReset() const override { return autoReset_; }
  void setAutoReset(bool autoReset) override;
  // Writing true cleans the head.
  bool autoClean() const override { return autoClean_; }
  void setAutoClean(bool autoClean) override;
  ToolType toolType() const override { return toolType_; }
  float thickness() const override { return thickness_; }
  void setThickness(float thickness) override { thickness_ = thickness; }
  bool isThickPressureSensitive() const override { return isThickPressureSensitive_; }
  void setIsThickPressureSensitive(bool value) { isThickPressureSensitive_ = value; }
  bool wetDrawing() const override { return wetDrawing_; }
  void setWetDrawing(bool wetDrawing) override { wetDrawing_ = wetDrawing; }
  // Writing false also switches wet drawing off.
  bool canWetDrawing() const override { return canWetDrawing_; }
  void setCanWetDrawing(bool value);
  // A disabled tool ignores touches; every write of false lets go of the canvas (handleDisabled).
  bool enabled() const override { return enabled_; }
  void setEnabled(bool enabled) override;
  // Made on first read by createController(); none is kept as an answer too.
  const std::shared_ptr<ToolController>& controller() override;
  void setController(std::shared_ptr<ToolController> controller) { controller_ = std::move(controller); }
  bool resizableOnPressure() const { return resizableOnPressure_; }
  void setResizableOnPressure(bool value) { resizableOnPressure_ = value; }
  // Made on first read by createToolViewer() / createToolSurface(); owned here.
  const std::shared_ptr<ToolViewer>& toolViewer();
  void setToolViewer(std::shared_ptr<ToolViewer> viewer) { toolViewer_ = std::move(viewer); }
  const std::shared_ptr<ToolSurface>& toolSurface();
  void setToolSurface(std::shared_ptr<ToolSurface> surface) { toolSurface_ = std::move(surface); }
  // The current canvas's artwork size, unset until switchTo().
  std::optional<std::int64_t> width() const { return width_; }
  void setWidth(std::optional<std::int64_t> width) { width_ = width; }
  std::optional<std::int64_t> height() const { return height_; }
  void setHeight(std::optional<std::int64_t> height) { height_ = height; }
  std::int64_t depth() const { return depth_; }
  // The record of the current stroke and its undo step, owned until the stroke end hands them over.
  const std::shared_ptr<Command>& command() const { return command_; }
  void setCommand(std::shared_ptr<Command> command) { command_ = std::move(command); }
  const std::shared_ptr<DrawingArtworkDrawingOperation>& commandOperations() const { return commandOperations_; }
  void setCommandOperations(std::shared_ptr<DrawingArtworkDrawingOperation> step) {
    commandOperations_ = std::move(step);
  }
  // The samples received and not yet drawn.
  const TouchInputs& touchInputs() const { return touchInputs_; }
  void setTouchInputs(TouchInputs inputs) { touchInputs_ = std::move(inputs); }
  // Set while a frame is encoded, so that the frame is not entered twice.
  bool isBusy() const { return isBusy_; }
  void setIsBusy(bool busy) { isBusy_ = busy; }
  bool pendingUpdate() const { return pendingUpdate_; }
  void setPendingUpdate(bool value) { pendingUpdate_ = value; }

  // --- Operations ------------------------------------------------------------------------------
  // Once: starts the texture-pass registry and builds the pipelines of the shared tool-model passes.
  void initialize() override;
  // Loads viewer, surface and controller with this tool current, then makes the previous tool
  // current again, also when a load fails (the failure is passed on).
  void loads() override;
  // Takes the canvas's artwork size; then lets a controller follow the canvas.
  void switchTo(DrawingPaint& paint) override;
  std::optional<RawData> getToolPattern() override;
  void setToolPattern(const RawData& toolPattern) override;
  // The corner of the working window for a stroke starting at `points` (view points, at least
  // one): the window centred on the points, kept inside the artwork; needs switchTo() first.
  virtual gpu::uint3 findWorkingOffset(const std::vector<graphics::Point>& points, float azimuth);
  virtual std::vector<std::shared_ptr<ToolEncoder>> getInitializers();
  // Connects the tool to the current canvas, unless already connected and not forced.
  virtual void handleEnabled(bool force = false);
  virtual void handleDisabled();
  virtual void switchControler() {}
  void attachViewer() override;
  void dettachViewer() override;
  virtual std::shared_ptr<ToolController> createController() { return nullptr; }
  void changedValue(const std::any&) override {}
  // Empties the head (when canClean), saves it while autoReset holds and, while DEBUG_DAE_KNIFE is
  // Height, shows the current tool's head heights when it has a head.
  void clean() override;
  void reset() override;
  void savePattern() override;
  virtual void pickPattern(const TouchInput& touchInput, float rotation);
  void updateChange() override;
  virtual std::shared_ptr<ToolViewer> createToolViewer();
  virtual std::shared_ptr<ToolSurface> createToolSurface();
  // The base uses no colour: it only saves the pattern when autoReset is set.
  void fillColor(const graphics::Color& color, float force = 1.0f,
                 std::optional<float> wetness = std::nullopt) override;

  // --- The stroke ------------------------------------------------------------------------------
  // Only the first touch of the set is sampled, through the event's coalesced touches; stationary
  // touches and touches with values that are not finite are skipped. On a canvas with commands a
  // touch-down snapshots the layer and starts the stroke's undo step; a stroke whose snapshot
  // cannot be made (NoMoreHeap) paints without one.
  void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) override;
  void touchesMoved(const ui::TouchSet& touches, const ui::Event* event) override;
  void touchesEnded(const ui::TouchSet& touches, const ui::Event* event) override;
  // One frame of the current layer: encodes and shows the pending samples on one command buffer.
  // While the working textures cannot be made the samples stay pending and nothing is encoded.
  virtual void interactiveDraw(DrawingPaint& paint, std::function<void()> completed);
  // The stroke end: writes the working window back and hands the record and the undo step over.
  // Samples still pending when the working textures cannot be made are dropped, with a console
  // line.
  virtual void handleEnd(DrawingPaint& paint);
  // The working window in the current layer's cells, clipped to the layer as the write-back is, so
  // that no undo snapshot reaches outside a layer narrower or shorter than the window; none while
  // no window is open.
  std::optional<graphics::Rect> windowRect(DrawingPaint& paint);
  // The tool's GPU work for the pending samples; nothing in the base.
  virtual void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer);
  void execute(Command& command, const std::shared_ptr<gpu::CommandBuffer>& buffer) override;

 protected:
  // The checks a colour fill starts with: false, reporting CannotFillColor, for a tool that cannot
  // take a colour or a wetness that is not a number (that one also prints "<tool>: the wetness nan
  // is not a number; no colour is filled"); true otherwise, with `wetness` brought into 0 to 1.
  bool takesFill(std::optional<float>& wetness) const;
  // Appends the pending samples with `toolData` to the stroke's command as one batch, when the
  // frame will draw them (samples pending, not busy, a layer to draw on, the working textures
  // made) on a canvas that keeps commands: a palette's command is never handed over, so it would
  // grow without bound.
  void recordFrame(DrawingPaint& paint, std::map<std::string, std::any> toolData);
  // The step loop of the tools that paint through their stroke surface: hands the pending samples
  // to the surface (through `reset` when given, else the surface's own reset) and runs as many
  // window steps (encodeStart, then encodeLoop) as they need, resetting with the samples each step
  // leaves, all on `buffer`; with DEBUG_CFD only the surface's encodeLoop, once.
  void encodeSurfaceSteps(DrawingPaint& paint, gpu::CommandBuffer& buffer,
                          const std::function<void(const TouchInputs&)>& reset = {});

 private:
  // The coalesced touches of the first touch that can be sampled (stationary ones included).
  static std::vector<std::shared_ptr<ui::Touch>> sampledTouches(const ui::TouchSet& touches, const ui::Event* event);
  void appendSamples(const std::vector<std::shared_ptr<ui::Touch>>& touches, const DrawingPaint& canvas);

  bool initialized_ = false;
  bool handledEnabled_ = false;
  bool canFillColor_ = true;
  float rotation_ = 0;
  std::int64_t touchCount_ = 0;
  bool hasColorPattern_ = true;
  bool canClean_ = true;
  bool canReset_ = true;
  bool canSavePattern_ = true;
  bool autoReset_ = false;
  bool autoClean_ = false;
  ToolType toolType_;
  float thickness_ = 1.0f;
  bool isThickPressureSensitive_ = false;
  bool wetDrawing_ = false;
  bool canWetDrawing_ = false;
  bool enabled_ = true;
  std::optional<std::shared_ptr<ToolController>> controller_;
  bool resizableOnPressure_ = false;
  std::shared_ptr<ToolViewer> toolViewer_;
  std::shared_ptr<ToolSurface> toolSurface_;
  std::optional<std::int64_t> width_;
  std::optional<std::int64_t> height_;
  std::int64_t depth_;
  std::shared_ptr<Command> command_;
  std::shared_ptr<DrawingArtworkDrawingOperation> commandOperations_;
  TouchInputs touchInputs_;
  bool isBusy_ = false;
  bool pendingUpdate_ = false;
};

}  // namespace tessivarium
