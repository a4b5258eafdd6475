#include "tools/colorPicker/PaintPatternPicker.h"

#include "components/DrawingPaint.h"
#include "tools/DrawingTool.h"
#include "tools/ToolViewer.h"
#include "tools/TouchInput.h"
#include "tools/colorPicker/AbstractPickerManager.h"
#include "ui/Touch.h"
#include "ui/TouchSet.h"

namespace tessivarium {

std::shared_ptr<AbstractPaintPicker> PaintPatternPicker::make(const std::shared_ptr<DrawingPaint>& paint,
                                                              std::shared_ptr<AbstractPickerManager> manager) {
  return installed<PaintPatternPicker>(paint, std::move(manager), "PaintPatternPicker");
}

void PaintPatternPicker::touchesMoved(const ui::TouchSet& touches, const ui::Event* event) {
  AbstractPaintPicker::touchesMoved(touches, event);
  const auto canvas = paint();
  if (manager() && canvas) canvas->drawingTool()->toolViewer()->touchesMoved(touches, event);
}

void PaintPatternPicker::touchesEnded(const ui::TouchSet& touches, const ui::Event* event) {
  AbstractPaintPicker::touchesEnded(touches, event);
  // Ending the pick may drop the last reference to this picker.
  const auto keepAlive = shared_from_this();
  const auto touch = touches.first();
  const auto canvas = paint();
  if (!manager() || !touch || !canvas) return;
  const float rotation = canvas->drawingTool()->rotation();
  const TouchInput sample(touch->location(canvas.get()), static_cast<float>(manager()->force()),
                          static_cast<float>(touch->altitudeAngle()),
                          static_cast<float>(touch->azimuthAngle(canvas.get())));
  // Each call may make another tool current, so the tool is asked for afresh.
  canvas->drawingTool()->setEnabled(true);
  canvas->drawingTool()->switchTo(*canvas);
  canvas->drawingTool()->pickPattern(sample, rotation);
  // The host's callback may end the pick itself; the manager is read again before each call and
  // kept alive through it.
  if (const auto manager = this->manager()) manager->notifySelection();
  if (const auto manager = this->manager()) manager->end();
}

}  // namespace tessivarium
