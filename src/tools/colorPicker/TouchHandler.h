#pragma once
// The role of everything that takes a canvas's painting touches: the tools, their viewers, the
// host's painting delegate and the pickers. A cancelled touch reaches a handler as ended; the
// event may be absent. Main thread only.

namespace ui {
class Event;
class TouchSet;
}  // namespace ui

namespace tessivarium {

class TouchHandler {
 public:
  virtual ~TouchHandler() = default;
  virtual void touchesMoved(const ui::TouchSet& touches, const ui::Event* event) = 0;
  virtual void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) = 0;
  virtual void touchesEnded(const ui::TouchSet& touches, const ui::Event* event) = 0;
};

}  // namespace tessivarium
