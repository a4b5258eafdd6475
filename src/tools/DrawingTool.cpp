#include "tools/DrawingTool.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "Application.h"
#include "ErrorMessage.h"
#include "commands/Command.h"
#include "commands/CommandData.h"
#include "commands/CommandManager.h"
#include "commands/DrawingArtworkDrawingOperation.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "components/RawData.h"
#include "foundation/Clock.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/GaussianBlur.h"
#include "gpu/Texture.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEPaintingShow.h"
#include "tools/DAEToolModelOverlay.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/DebugSwitches.h"
#include "tools/DefaultToolViewer.h"
#include "tools/EncodersProvider.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolController.h"
#include "tools/ToolModel.h"
#include "tools/ToolSurface.h"
#include "tools/ToolViewer.h"
#include "tools/dryer/DryerDAEEncoders.h"
#include "tools/wetter/WetterDAEEncoders.h"
#include "ui/Event.h"
#include "ui/GPUView.h"
#include "ui/TouchSet.h"

namespace tessivarium {

bool isRotation(float rotation, std::string_view who) {
  if (std::isfinite(rotation)) return true;
  foundation::consoleLine(std::string(who) + ": the rotation " + foundation::describe(rotation) +
                          " is not finite; the rotation stays");
  return false;
}

AbstractDrawingTool::AbstractDrawingTool(ToolType type)
    : toolType_(type), depth_(MAC_DEPTH), command_(std::make_shared<Command>(type, foundation::Date::now())) {}

AbstractDrawingTool::~AbstractDrawingTool() = default;

// --- Observed state ---------------------------------------------------------------------------------

void AbstractDrawingTool::setRotation(float rotation) {
  if (!isRotation(rotation, "setRotation")) return;
  const bool changed = rotation != rotation_;
  rotation_ = rotation;
  if (changed) toolViewer()->setRotation(rotation);
}

void AbstractDrawingTool::setAutoReset(bool autoReset) {
  autoReset_ = autoReset;
  if (autoReset) {
    savePattern();
    reset();
  }
}

void AbstractDrawingTool::setAutoClean(bool autoClean) {
  autoClean_ = autoClean;
  if (autoClean) clean();
}

void AbstractDrawingTool::setCanWetDrawing(bool value) {
  canWetDrawing_ = value;
  if (!value) wetDrawing_ = false;
}

void AbstractDrawingTool::setEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled) handleDisabled();
}

const std::shared_ptr<ToolController>& AbstractDrawingTool::controller() {
  if (!controller_) controller_ = createController();
  return *controller_;
}

const std::shared_ptr<ToolViewer>& AbstractDrawingTool::toolViewer() {
  if (!toolViewer_) toolViewer_ = createToolViewer();
  return toolViewer_;
}

const std::shared_ptr<ToolSurface>& AbstractDrawingTool::toolSurface() {
  if (!toolSurface_) toolSurface_ = createToolSurface();
  return toolSurface_;
}

// --- Operations -------------------------------------------------------------------------------------

void AbstractDrawingTool::initialize() {
  if (initialized_) return;
  EncodersProvider().startup();
  // The shared tool-model passes every tool may run, each fetched and its pipeline built, in order.
  auto& encoders = DAEEncoders();
  const std::shared_ptr<AbstractShaderUnit> passes[] = {
      encoders.getMasker(), encoders.getTextureOverlayMap(), encoders.getTextureDryLayer(),
      encoders.getTextureWetLayer(), encoders.getInitializer(), encoders.getDryerEncoder(),
      encoders.getWetterEncoder(), encoders.getDryerInitializer(), encoders.getWetterInitializer(),
      encoders.getPaintHeight()};
  for (const auto& pass : passes) pass->shaderPipelineState();
  initialized_ = true;
}

void AbstractDrawingTool::loads() {
  auto& manager = AppManager();
  const auto previous = manager.currentTool();
  manager.setCurrentTool(shared_from_this());
  // The previous tool becomes current again however the loading ends.
  try {
    toolViewer()->loads();
    toolSurface()->loads();
    if (controller()) controller()->loads();
  } catch (...) {
    manager.setCurrentTool(previous);
    throw;
  }
  manager.setCurrentTool(previous);
}

void AbstractDrawingTool::switchTo(DrawingPaint& paint) {
  width_ = paint.artwork()->width();
  height_ = paint.artwork()->height();
  if (controller()) switchControler();
}

std::optional<RawData> AbstractDrawingTool::getToolPattern() {
  const auto& model = toolViewer()->toolModel();
  if (!hasColorPattern_ || !model) return std::nullopt;
  // A head whose texture could not be made (reported as NoMoreHeap when it was) has no pattern.
  const auto& texture = model->colorTexture0();
  if (!texture) return std::nullopt;
  return RawData(*texture);
}

void AbstractDrawingTool::setToolPattern(const RawData& toolPattern) {
  const auto& model = toolViewer()->toolModel();
  if (!model) return;
  try {
    model->setToolPattern(toolPattern);
  } catch (const Error& error) {
    if (error.message() == ErrorMessage::TextureFormatIncompatible) throw;
    throw Error(ErrorMessage::ToolPatternNotNeed);
  } catch (...) {
    throw Error(ErrorMessage::ToolPatternNotNeed);
  }
}

gpu::uint3 AbstractDrawingTool::findWorkingOffset(const std::vector<graphics::Point>& points, float) {
  const auto& canvas = AppManager().canvas();
  if (!canvas) foundation::fatalError("findWorkingOffset needs the main canvas");
  if (!width_ || !height_) foundation::fatalError("findWorkingOffset needs the canvas size (switchTo)");
  const double s = canvas->artwork()->scale();
  const auto w = static_cast<std::int64_t>(static_cast<double>(*width_) * s);
  const auto h = static_cast<std::int64_t>(static_cast<double>(*height_) * s);
  // No points: the corner of the artwork.
  if (points.empty()) return {0, 0, 0};
  std::int64_t minX = std::numeric_limits<std::int64_t>::max();
  std::int64_t minY = minX;
  for (const auto& p : points) {
    // Raised first, lowered second: on an artwork narrower than the window the upper bound wins.
    const auto cx = std::min(std::max(static_cast<std::int64_t>(p.x * s), MAC_HALF_WIDTH), w - MAC_HALF_WIDTH);
    const auto cy = std::min(std::max(static_cast<std::int64_t>(p.y * s), MAC_HALF_WIDTH), h - MAC_HALF_WIDTH);
    minX = std::min(minX, cx);
    minY = std::min(minY, cy);
  }
  return {static_cast<std::uint32_t>(std::max<std::int64_t>(minX - MAC_HALF_WIDTH, 0)),
          static_cast<std::uint32_t>(std::max<std::int64_t>(minY - MAC_HALF_WIDTH, 0)), 0};
}

std::vector<std::shared_ptr<ToolEncoder>> AbstractDrawingTool::getInitializers() {
  return {DAEEncoders().getInitializer()};
}

void AbstractDrawingTool::handleEnabled(bool force) {
  if (handledEnabled_ && !force) return;
  switchTo(AppManager().requiredCurrentPaint("AbstractDrawingTool.handleEnabled"));
  updateChange();
  attachViewer();
  toolSurface()->touchEnd();
  handledEnabled_ = true;
}

void AbstractDrawingTool::handleDisabled() { handledEnabled_ = false; }

void AbstractDrawingTool::attachViewer() { toolViewer()->attachView(); }

// A viewer that was never made was never attached: making one now would need a canvas, which the
// application's clean-up has already released.
void AbstractDrawingTool::dettachViewer() {
  if (toolViewer_) toolViewer_->dettachView();
}

void AbstractDrawingTool::clean() {
  if (canClean_) toolViewer()->clean();
  if (autoReset_) savePattern();
  if (DEBUG_DAE_KNIFE != KnifeDebugMode::Height) return;
  auto& paint = AppManager().requiredCurrentPaint("AbstractDrawingTool.clean");
  if (!DAEPaintingShow::hasHeadToShow(paint)) return;
  const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  DAEPaintingShow().encode(paint, *buffer);
  buffer->commit();
  paint.redraw(DrawingMode::Refresh);
}

void AbstractDrawingTool::reset() {
  if (canReset_) toolViewer()->reset();
}

void AbstractDrawingTool::savePattern() {
  if (canSavePattern_) toolViewer()->savePattern();
}

void AbstractDrawingTool::pickPattern(const TouchInput& touchInput, float rotation) {
  if (!canSavePattern_) return;
  toolViewer()->pickPattern(touchInput, rotation);
  if (autoReset_) savePattern();
}

void AbstractDrawingTool::updateChange() {
  toolViewer()->updateOnToolChange();
  toolSurface()->updateChange();
}

std::shared_ptr<ToolViewer> AbstractDrawingTool::createToolViewer() {
  return std::make_shared<DefaultToolViewer>(*this, 1.0f);
}

std::shared_ptr<ToolSurface> AbstractDrawingTool::createToolSurface() { return std::make_shared<ToolSurface>(*this); }

void AbstractDrawingTool::fillColor(const graphics::Color&, float, std::optional<float>) {
  if (autoReset_) savePattern();
}

bool AbstractDrawingTool::takesFill(std::optional<float>& wetness) const {
  if (!canFillColor_) {
    Application().hanldeError(ErrorMessage::CannotFillColor);
    return false;
  }
  if (wetness && std::isnan(*wetness)) {
    foundation::consoleLine(std::string(describe(toolType_)) + ": the wetness " + foundation::describe(*wetness) +
                            " is not a number; no colour is filled");
    Application().hanldeError(ErrorMessage::CannotFillColor);
    return false;
  }
  // The wetness colour carries 0 to 1 only; beyond either end the paint is as dry or as wet as it gets.
  if (wetness) wetness = std::clamp(*wetness, 0.0f, 1.0f);
  return true;
}

// --- The stroke -------------------------------------------------------------------------------------

std::vector<std::shared_ptr<ui::Touch>> AbstractDrawingTool::sampledTouches(const ui::TouchSet& touches,
                                                                            const ui::Event* event) {
  std::vector<std::shared_ptr<ui::Touch>> sampled;
  const auto first = touches.first();
  if (!first || !event) return sampled;
  const auto coalesced = event->coalescedTouches(*first);
  if (!coalesced) return sampled;
  for (const auto& touch : *coalesced) {
    if (TouchInput::canSample(*touch, nullptr)) sampled.push_back(touch);
  }
  return sampled;
}

void AbstractDrawingTool::appendSamples(const std::vector<std::shared_ptr<ui::Touch>>& touches,
                                        const DrawingPaint& canvas) {
  for (const auto& touch : touches) {
    if (touch->phase() != ui::TouchPhase::Stationary) touchInputs_.push_back(std::make_shared<TouchInput>(*touch, &canvas));
  }
}

void AbstractDrawingTool::touchesBegan(const ui::TouchSet& touches, const ui::Event* event) {
  if (!enabled_) return;
  // A touch-down that brings no usable touch starts no stroke.
  const auto sampled = sampledTouches(touches, event);
  if (sampled.empty()) return;
  touchCount_ = 0;
  auto& canvas = AppManager().requiredCurrentPaint("AbstractDrawingTool.touchesBegan");
  toolSurface()->touchInputData().reset();
  toolViewer()->touchesBegan(touches, event);
  appendSamples(sampled, canvas);
  if (canvas.supportCommand()) {
    const auto layer = canvas.currentLayer();
    // Without the layer's snapshot no undo could give it back: the stroke paints unrecorded.
    commandOperations_ = canvas.saveBefore(layer)
                             ? std::make_shared<DrawingArtworkDrawingOperation>(canvas.shared_from_this(), layer)
                             : nullptr;
    command_ = std::make_shared<Command>(toolType_, foundation::Date::now());
  }
}

void AbstractDrawingTool::touchesMoved(const ui::TouchSet& touches, const ui::Event* event) {
  if (!enabled_) return;
  auto& canvas = AppManager().requiredCurrentPaint("AbstractDrawingTool.touchesMoved");
  toolViewer()->touchesMoved(touches, event);
  appendSamples(sampledTouches(touches, event), canvas);
}

void AbstractDrawingTool::touchesEnded(const ui::TouchSet& touches, const ui::Event* event) {
  if (!enabled_) return;
  auto& canvas = AppManager().requiredCurrentPaint("AbstractDrawingTool.touchesEnded");
  touchesMoved(touches, event);
  toolViewer()->touchesEnded(touches, event);
  // A hidden layer's view draws no frame, so a stroke on it is neither painted nor ended: nothing of
  // it may wait, its samples to be painted with the next stroke, its step to keep the history from
  // undoing. A stroke whose layer was hidden after its frames had painted it holds a window,
  // though: it ends as every stroke does, its window going back and its step handed over.
  if (const auto layer = canvas.currentContent(); layer && layer->metalView()->isHidden()) {
    touchInputs_.clear();
    if (toolSurface()->origin()) {
      handleEnd(canvas);
    } else if (canvas.supportCommand()) {
      commandOperations_.reset();
      command_.reset();
    }
    return;
  }
  canvas.redraw(DrawingMode::End);
}

void AbstractDrawingTool::interactiveDraw(DrawingPaint& paint, std::function<void()> completed) {
  const auto layer = paint.currentContent();
  if (!layer) return;  // a canvas whose layers could not be made has nothing to show
  const auto& view = layer->metalView();
  // Without the working textures (the failed make has reported NoMoreHeap) the samples wait for
  // a frame that can paint them.
  if (touchInputs_.empty() || isBusy_ || !AppManager().surfaceTextures().makeAll()) {
    view->setPaused(!layer->isDrawing());
    return;
  }
  isBusy_ = true;
  const auto start = foundation::Date::now();
  auto& manager = AppManager();
  const auto buffer = manager.commandQueue()->makeCommandBuffer();
  encode(paint, *buffer);
  // Without a drawable the frame is still committed: encode has already moved the surface's
  // window and samples on, so dropping its work would leave them pointing at work never done.
  const auto drawable = view->currentDrawable();
  if (drawable) {
    manager.blur()->encode(*buffer, layer->paintingTexture(), drawable->texture());
  } else {
    foundation::consoleLine("currentDrawable returned nil");
  }
  if (DEBUG_DAE_KNIFE != KnifeDebugMode::None) {
    buffer->addCompletedHandler([start](gpu::CommandBuffer&) {
      foundation::consoleLine("Execution time: " + foundation::describe(foundation::Date::now().timeIntervalSince(start)));
    });
  }
  if (completed) buffer->addCompletedHandler([completed](gpu::CommandBuffer&) { completed(); });
  if (drawable) buffer->present(drawable);
  buffer->commit();
  isBusy_ = false;
  touchInputs_.clear();
}

void AbstractDrawingTool::handleEnd(DrawingPaint& paint) {
  auto& surface = *toolSurface();
  if (!touchInputs_.empty() && !AppManager().surfaceTextures().makeAll()) {
    foundation::consoleLine(std::string(describe(toolType_)) +
                            ": the working textures are missing; the stroke's last samples are not drawn");
    touchInputs_.clear();
  }
  // Samples still pending (another layer's closing frame came first) are drawn before the window
  // goes back, so the end of the stroke is never lost; the surface's closing step then levels the
  // trail the last step held back.
  if (!touchInputs_.empty() || surface.origin() || surface.lastTouchInput()) {
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    if (!touchInputs_.empty()) encode(paint, *buffer);
    surface.encodeEnd(paint, *buffer);
    buffer->commit();
  }
  touchInputs_.clear();
  if (paint.supportCommand()) {
    if (command_ && !command_->data().empty()) paint.commandManager()->append(command_);
    if (commandOperations_) {
      if (const auto rect = windowRect(paint)) commandOperations_->rects().push_back(*rect);
      if (!commandOperations_->rects().empty()) {
        commandOperations_->save(*paint.before());
        if (!commandOperations_->noMemory()) paint.commandManager()->append(commandOperations_);
      }
      commandOperations_.reset();
    }
  }
  if (autoClean_) clean();
  if (autoReset_) reset();
  surface.touchEnd();
}

std::optional<graphics::Rect> AbstractDrawingTool::windowRect(DrawingPaint& paint) {
  const auto origin = toolSurface()->origin();
  const auto layer = paint.currentContent();
  if (!origin || !layer) return std::nullopt;
  const auto& grid = layer->gridTexture();
  const auto w = std::min<std::size_t>(MAC_WIDTH, grid->width());
  const auto h = std::min<std::size_t>(MAC_WIDTH, grid->height());
  return graphics::Rect(static_cast<double>(origin->x), static_cast<double>(origin->y), static_cast<double>(w),
                        static_cast<double>(h));
}

void AbstractDrawingTool::encode(DrawingPaint&, gpu::CommandBuffer&) {}

void AbstractDrawingTool::recordFrame(DrawingPaint& paint, std::map<std::string, std::any> toolData) {
  const bool draws = !touchInputs_.empty() && !isBusy_ && paint.currentContent() &&
                     AppManager().surfaceTextures().makeAll();
  if (!draws || !paint.supportCommand() || !command_) return;
  command_->data().push_back(std::make_shared<CommandData>(touchInputs_, std::move(toolData)));
}

void AbstractDrawingTool::encodeSurfaceSteps(DrawingPaint& paint, gpu::CommandBuffer& buffer,
                                             const std::function<void(const TouchInputs&)>& reset) {
  const TouchInputs taken = touchInputs_;
  touchInputs_.clear();
  auto& surface = *toolSurface();
  const auto take = [&](const TouchInputs& samples) {
    if (reset) {
      reset(samples);
    } else {
      surface.reset(samples);
    }
  };
  take(taken);
  if (DEBUG_CFD) {
    surface.encodeLoop(paint, buffer);
    return;
  }
  while (surface.touchInputData().count() >= 1) {
    surface.encodeStart(paint, buffer);
    surface.encodeLoop(paint, buffer);
    if (surface.touchInputs().empty()) break;
    // reset() may replace the carried list it is given.
    const TouchInputs carried = surface.touchInputs();
    take(carried);
  }
}

void AbstractDrawingTool::execute(Command&, const std::shared_ptr<gpu::CommandBuffer>&) {}

}  // namespace tessivarium
