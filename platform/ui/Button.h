#pragma once
// A button. A subclass overrides the touch handlers to act on a press and calls the base, which
// keeps count of the calls it received (tests read the counts). There is no event delivery: the
// host and tests call the handlers.
//
// Threads: main thread only.

#include "ui/View.h"

namespace ui {

class Button : public View {
 public:
  explicit Button(graphics::Rect frame = {});

  void touchesBegan(const TouchSet& touches, const Event* event) override;
  void touchesMoved(const TouchSet& touches, const Event* event) override;
  void touchesEnded(const TouchSet& touches, const Event* event) override;
  void touchesCancelled(const TouchSet& touches, const Event* event) override;

  // How often each base handler ran.
  int touchesBeganCount() const { return began_; }
  int touchesMovedCount() const { return moved_; }
  int touchesEndedCount() const { return ended_; }
  int touchesCancelledCount() const { return cancelled_; }

 private:
  int began_ = 0, moved_ = 0, ended_ = 0, cancelled_ = 0;
};

}  // namespace ui
