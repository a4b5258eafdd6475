#include "tools/colorPicker/PaintColorPicker.h"

#include <optional>

#include "Application.h"
#include "components/DrawingPaint.h"
#include "tools/DrawingTool.h"
#include "tools/colorPicker/ColorPickerManager.h"
#include "ui/Touch.h"
#include "ui/TouchSet.h"

namespace tessivarium {

std::shared_ptr<AbstractPaintPicker> PaintColorPicker::make(const std::shared_ptr<DrawingPaint>& paint,
                                                            std::shared_ptr<AbstractPickerManager> manager) {
  return installed<PaintColorPicker>(paint, std::move(manager), "PaintColorPicker");
}

void PaintColorPicker::touchesEnded(const ui::TouchSet& touches, const ui::Event* event) {
  AbstractPaintPicker::touchesEnded(touches, event);
  // Ending the pick may drop the last references to this picker and to its manager.
  const auto keepAlive = shared_from_this();
  const auto manager = this->manager();
  const auto touch = touches.first();
  const auto canvas = paint();
  if (!manager || !touch || !canvas) return;
  const auto color = canvas->pickColor(touch->location(canvas.get()));
  if (!color) {
    Application().hanldeError(ErrorMessage::NoColorSelected);
    return;
  }
  // Each call may make another tool current, so the tool is asked for afresh.
  canvas->drawingTool()->setEnabled(true);
  canvas->drawingTool()->switchTo(*canvas);
  canvas->drawingTool()->fillColor(*color, static_cast<float>(manager->force()), std::nullopt);
  if (dynamic_cast<ColorPickerManager*>(manager.get())) {
    manager->notifySelection();
    manager->end();
  }
}

}  // namespace tessivarium
