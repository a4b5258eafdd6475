#pragma once
// A button that remembers the strongest pressure of the current press: touch-down resets `force`
// to 0, each move and the lift raise it to the touch's pressure (normalised force through the
// settings' sensibility, at most 1), and it keeps its value after the lift until the next press or
// until the host writes it. Main thread only.

#include <memory>

#include "ui/Button.h"

namespace ui {
class Coder;
}

namespace tessivarium {

class PressureButton : public ui::Button {
 public:
  explicit PressureButton(graphics::Rect frame = {});
  // From an archive: the button class of this platform restores no button, so there is never one.
  static std::shared_ptr<PressureButton> fromCoder(const ui::Coder& coder);

  double force() const { return force_; }
  void setForce(double force) { force_ = force; }

  void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) override;
  void touchesMoved(const ui::TouchSet& touches, const ui::Event* event) override;
  void touchesEnded(const ui::TouchSet& touches, const ui::Event* event) override;

 private:
  // Raises `force` to the pressure of each touch; a pressure that is no number leaves it.
  void measure(const ui::TouchSet& touches);

  double force_ = 0.0;
};

}  // namespace tessivarium
