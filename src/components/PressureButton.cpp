#include "components/PressureButton.h"

#include <cmath>

#include "Application.h"
#include "ui/TouchSet.h"

namespace tessivarium {

PressureButton::PressureButton(graphics::Rect frame) : ui::Button(frame) {}

std::shared_ptr<PressureButton> PressureButton::fromCoder(const ui::Coder&) { return nullptr; }

void PressureButton::touchesBegan(const ui::TouchSet& touches, const ui::Event* event) {
  ui::Button::touchesBegan(touches, event);
  force_ = 0.0;
}

void PressureButton::touchesMoved(const ui::TouchSet& touches, const ui::Event* event) {
  measure(touches);
  ui::Button::touchesMoved(touches, event);
}

void PressureButton::touchesEnded(const ui::TouchSet& touches, const ui::Event* event) {
  measure(touches);
  ui::Button::touchesEnded(touches, event);
}

void PressureButton::measure(const ui::TouchSet& touches) {
  for (const auto& touch : touches) {
    const double value = Application().forceValue(touch->force() / touch->maximumPossibleForce());
    if (!std::isnan(value) && value > force_) force_ = value;
  }
}

}  // namespace tessivarium
