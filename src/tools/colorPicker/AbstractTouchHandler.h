#pragma once
// A touch handler that ignores every touch: the base of the picker managers and the pickers, which
// override only what they need.

#include "tools/colorPicker/TouchHandler.h"

namespace tessivarium {

class AbstractTouchHandler : public TouchHandler {
 public:
  void touchesMoved(const ui::TouchSet&, const ui::Event*) override {}
  void touchesBegan(const ui::TouchSet&, const ui::Event*) override {}
  void touchesEnded(const ui::TouchSet&, const ui::Event*) override {}
};

}  // namespace tessivarium
