#pragma once
// What the colour and pattern picker managers share: the pickers a pick installed, one per canvas,
// the host's callback for a successful pick, and the strongest pressure of the current gesture.
//
// The manager owns its pickers and each picker owns its manager until end() takes the pickers out
// of their canvases and empties the list, which breaks that cycle; the host owns the manager. A
// manager is made as a std::shared_ptr (the pickers hold it so). Main thread only.

#include <functional>
#include <memory>
#include <vector>

#include "tools/colorPicker/AbstractTouchHandler.h"

namespace tessivarium {

class AbstractPaintPicker;
class DrawingPaint;

class AbstractPickerManager : public AbstractTouchHandler,
                              public std::enable_shared_from_this<AbstractPickerManager> {
 public:
  using Pickers = std::vector<std::shared_ptr<AbstractPaintPicker>>;
  using Paints = std::vector<std::shared_ptr<DrawingPaint>>;

  const Pickers& pickers() const { return pickers_; }
  void setPickers(Pickers pickers) { pickers_ = std::move(pickers); }
  const std::function<void()>& done() const { return done_; }
  void setDone(std::function<void()> done) { done_ = std::move(done); }
  // The strongest normalised pressure of the gesture: 0 at touch-down, raised by the moves.
  double force() const { return force_; }
  void setForce(double force) { force_ = force; }

  // Takes every picker out of its canvas and empties the list; `done` and `force` stay.
  void end();
  // Runs `done` when it is set.
  void notifySelection();

 protected:
  using MakePicker = std::shared_ptr<AbstractPaintPicker> (*)(const std::shared_ptr<DrawingPaint>&,
                                                              std::shared_ptr<AbstractPickerManager>);
  // Installs one picker made by `make` on each canvas, in order, beside any installed before.
  // `who` names the caller in the fatal stop of a manager not held by a std::shared_ptr.
  void install(const Paints& paints, MakePicker make, const char* who);

 private:
  Pickers pickers_;
  std::function<void()> done_;
  double force_ = 0;
};

}  // namespace tessivarium
