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
  const auto layer = currentContent();
  if (!layer || !layer->isDrawing()) return;
  const Handlers handlers = touchHandlers_;
  const auto delegate = paintingDelegate_;
  drawingTool()->touchesMoved(touches, event);
  if (delegate) delegate->touchesMoved(touches, event);
  tell(handlers, &TouchHandler::touchesMoved, touches, event);
}

void DrawingPaint::touchesEnded(const ui::TouchSet& touches, const ui::Event* event) {
  const auto layer = currentContent();
  if (!layer || !layer->isDrawing()) return;
  const Handlers handlers = touchHandlers_;
  const auto delegate = paintingDelegate_;
  layer->setIsDrawing(false);
  drawingTool()->touchesEnded(touches, event);
  if (delegate) delegate->touchesEnded(touches, event);
  tell(handlers, &TouchHandler::touchesEnded, touches, event);
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
