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
  const auto touch = touches.first();
  const auto canvas = paint();
  if (!manager() || !touch || !canvas) return;
  const auto tool = canvas->drawingTool();
  const auto location = touch->location(canvas.get());
  const double altitude = touch->altitudeAngle();
  const double azimuth = touch->azimuthAngle(canvas.get());
  const float rotation = tool->rotation();
  const TouchInput sample(location, static_cast<float>(manager()->force()), static_cast<float>(altitude),
                          static_cast<float>(azimuth));
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
