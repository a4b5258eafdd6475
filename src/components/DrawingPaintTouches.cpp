// The canvas's touch routing and its hand-off to the current tool and the layers' frames: which
// touches start, go on with and end a stroke, who hears of them in which order, and how the canvas
// asks every layer for a frame of a mode.

#include <memory>
#include <vector>

#include "commands/CommandManager.h"
#include "components/DrawingPaint.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "ui/Touch.h"
#include "ui/TouchSet.h"

namespace tessivarium {
namespace {

using Handlers = std::vector<std::shared_ptr<TouchHandler>>;
using Message = void (TouchHandler::*)(const ui::TouchSet&, const ui::Event*);

// `handlers` is the list as it was before the event's first call, so a handler that adds or
// removes handlers changes neither this walk nor the handler being called.
void tell(const Handlers& handlers, Message message, const ui::TouchSet& touches, const ui::Event* event) {
  for (const auto& handler : handlers) ((*handler).*message)(touches, event);
}

// A move or an end of the stroke on the current layer, passed on to the tool, the delegate and the
// handlers, in that order; an end first ends the stroke. Without a stroke nobody hears of it.
void passOnStroke(DrawingPaint& paint, Message message, const ui::TouchSet& touches, const ui::Event* event) {
  const auto layer = paint.currentContent();
  if (!layer || !layer->isDrawing()) return;
  const Handlers handlers = paint.touchHandlers();
  const auto delegate = paint.paintingDelegate();
  if (message == &TouchHandler::touchesEnded) layer->setIsDrawing(false);
  ((*paint.drawingTool()).*message)(touches, event);
  if (delegate) ((*delegate).*message)(touches, event);
  tell(handlers, message, touches, event);
}

}  // namespace

bool DrawingPaint::isPaintingTouch(const ui::TouchSet& touches) const {
  const auto first = touches.first();
  return first && first->type() == ui::TouchType::Stylus;
}

void DrawingPaint::touchesBegan(const ui::TouchSet& touches, const ui::Event* event) {
  if (layers_.empty()) return;
  if (!isPaintingTouch(touches)) {
    AppManager().setCurrentPaint(shared_from_this());
    return;
  }
  const Handlers handlers = touchHandlers_;
  const auto delegate = paintingDelegate_;
  enabledCurrentTool(false);
  if (delegate) delegate->touchesBegan(touches, event);
  if (const auto layer = currentContent()) layer->setIsDrawing(true);
  drawingTool()->touchesBegan(touches, event);
  tell(handlers, &TouchHandler::touchesBegan, touches, event);
}

void DrawingPaint::touchesMoved(const ui::TouchSet& touches, const ui::Event* event) {
  passOnStroke(*this, &TouchHandler::touchesMoved, touches, event);
}

void DrawingPaint::touchesEnded(const ui::TouchSet& touches, const ui::Event* event) {
  passOnStroke(*this, &TouchHandler::touchesEnded, touches, event);
}

// No receiver knows of cancelling: a cancelled stroke ends like any other.
void DrawingPaint::touchesCancelled(const ui::TouchSet& touches, const ui::Event* event) {
  touchesEnded(touches, event);
}

void DrawingPaint::redraw(DrawingMode mode) {
  for (const auto& layer : layers_) layer->setDrawingMode(mode);
  if (mode != DrawingMode::Refresh) drawingTool()->updateChange();
}

void DrawingPaint::cleanPaint() {
  if (supportCommand_) commandManager()->clean();
  cleanAllLayers();
}

}  // namespace tessivarium
