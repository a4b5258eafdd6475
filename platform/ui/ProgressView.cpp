#include "ui/ProgressView.h"

#include <algorithm>
#include <cmath>

namespace ui {

ProgressView::ProgressView(ProgressViewStyle style)
    : View(graphics::Rect(0.0, 0.0, 0.0, 2.0)), style_(style) {}

void ProgressView::setProgress(float progress, bool) {
  progress_ = std::isnan(progress) ? 0.0f : std::clamp(progress, 0.0f, 1.0f);
}

}  // namespace ui
