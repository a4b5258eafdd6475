#pragma once
// A label: a view that shows one text. Fonts and layout are the platform's and are not modelled;
// the text is kept for whoever reads it.
//
// Threads: main thread only.

#include <string>

#include "ui/View.h"

namespace ui {

class Label : public View {
 public:
  explicit Label(graphics::Rect frame = {}) : View(frame) {}

  const std::string& text() const { return text_; }
  void setText(std::string text) { text_ = std::move(text); }

 private:
  std::string text_;
};

}  // namespace ui
