#pragma once
// The pattern picker: the current tool's viewer follows the picking gesture, and at touch-up the
// current tool picks the paint under a stylus sample of the touch up onto its head, at its own
// rotation and the gesture's strongest pressure; then the host is told and the pick ends, whatever
// the manager's class.

#include <memory>

#include "tools/colorPicker/AbstractPaintPicker.h"

namespace tessivarium {

class PaintPatternPicker : public AbstractPaintPicker {
 public:
  // A pattern picker installed on `paint`, after the handlers already there.
  static std::shared_ptr<AbstractPaintPicker> make(const std::shared_ptr<DrawingPaint>& paint,
                                                   std::shared_ptr<AbstractPickerManager> manager);

  void touchesEnded(const ui::TouchSet& touches, const ui::Event* event) override;
  void touchesMoved(const ui::TouchSet& touches, const ui::Event* event) override;

 private:
  friend class AbstractPaintPicker;
  using AbstractPaintPicker::AbstractPaintPicker;
};

}  // namespace tessivarium
