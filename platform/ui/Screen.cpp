#include "ui/Screen.h"

#include <cmath>

#include "foundation/Fatal.h"

namespace ui {

namespace {

bool used = false;

bool isPositive(double value) { return value > 0.0 && std::isfinite(value); }

}  // namespace

Screen& Screen::instance() {
  static Screen screen;
  return screen;
}

Screen& Screen::main() {
  used = true;
  return instance();
}

void Screen::setMainNativeSize(graphics::Size pixels, double scale) {
  if (used) foundation::fatalError("The main screen's native bounds are set before its first use.");
  if (!isPositive(pixels.width) || !isPositive(pixels.height) || !isPositive(scale)) {
    foundation::fatalError("The main screen needs a positive, finite size and scale.");
  }
  instance().pixels_ = pixels;
  instance().scale_ = scale;
}

graphics::Rect Screen::bounds() const {
  return graphics::Rect(0.0, 0.0, pixels_.width / scale_, pixels_.height / scale_);
}

void Screen::resetMain() {
  instance() = Screen();
  used = false;
}

}  // namespace ui
