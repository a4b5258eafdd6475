#include "ui/Button.h"

namespace ui {

Button::Button(graphics::Rect frame) : View(frame) {}

void Button::touchesBegan(const TouchSet&, const Event*) { ++began_; }

void Button::touchesMoved(const TouchSet&, const Event*) { ++moved_; }

void Button::touchesEnded(const TouchSet&, const Event*) { ++ended_; }

void Button::touchesCancelled(const TouchSet&, const Event*) { ++cancelled_; }

}  // namespace ui
