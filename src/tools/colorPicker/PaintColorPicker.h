#pragma once
// The colour picker: at touch-up it reads the colour under the touch from its canvas and fills the
// current tool with it at the gesture's strongest pressure; under a ColorPickerManager it then
// tells the host and ends the pick. Without a colour there it reports NoColorSelected and stays.

#include <memory>

#include "tools/colorPicker/AbstractPaintPicker.h"

namespace tessivarium {

class PaintColorPicker : public AbstractPaintPicker {
 public:
  // A colour picker installed on `paint`, after the handlers already there.
  static std::shared_ptr<AbstractPaintPicker> make(const std::shared_ptr<DrawingPaint>& paint,
                                                   std::shared_ptr<AbstractPickerManager> manager);

  void touchesEnded(const ui::TouchSet& touches, const ui::Event* event) override;

 private:
  friend class AbstractPaintPicker;
  using AbstractPaintPicker::AbstractPaintPicker;
};

}  // namespace tessivarium
