#pragma once
// A picker: the touch handler a pick installs on one canvas. During a gesture it keeps the
// strongest normalised pressure in its manager; its subclasses act at touch-up.
//
// A picker owns its manager until cleanUp(); it does not own its canvas, which owns it while it is
// installed: it holds the canvas weakly, so that a picker outliving its canvas neither keeps it
// alive nor touches it. A picker without a manager (its pick has ended, possibly while the canvas
// was still walking its handlers) ignores every touch. Main thread only.

#include <memory>

#include "tools/colorPicker/AbstractTouchHandler.h"

namespace tessivarium {

class AbstractPickerManager;
class DrawingPaint;

class AbstractPaintPicker : public AbstractTouchHandler, public std::enable_shared_from_this<AbstractPaintPicker> {
 public:
  // Touch-down: the gesture's pressure starts at 0.
  void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) override;
  void touchesEnded(const ui::TouchSet& touches, const ui::Event* event) override;
  // Raises the manager's force to the pressure of each moved touch that is at least as strong;
  // a pressure that is not a number changes nothing.
  void touchesMoved(const ui::TouchSet& touches, const ui::Event* event) override;

  const std::shared_ptr<AbstractPickerManager>& manager() const { return manager_; }
  void setManager(std::shared_ptr<AbstractPickerManager> manager) { manager_ = std::move(manager); }
  // The canvas; none once it is gone.
  std::shared_ptr<DrawingPaint> paint() const { return paint_.lock(); }

  // Takes the picker's first entry out of its canvas's touch handlers (a canvas that is gone has
  // none) and drops the manager, also when there was no entry.
  void cleanUp();

 protected:
  AbstractPaintPicker(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<AbstractPickerManager> manager);

  // A picker of class `Picker` on `paint` under `manager`, appended to the canvas's touch
  // handlers; `who` names the class in the fatal stop for a missing canvas or manager.
  template <class Picker>
  static std::shared_ptr<Picker> installed(const std::shared_ptr<DrawingPaint>& paint,
                                           std::shared_ptr<AbstractPickerManager> manager, const char* who) {
    checkParts(paint.get(), manager.get(), who);
    const std::shared_ptr<Picker> picker(new Picker(paint, std::move(manager)));
    picker->install();
    return picker;
  }

 private:
  static void checkParts(const DrawingPaint* paint, const AbstractPickerManager* manager, const char* who);
  void install();

  std::shared_ptr<AbstractPickerManager> manager_;
  std::weak_ptr<DrawingPaint> paint_;
};

}  // namespace tessivarium
