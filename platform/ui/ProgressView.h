#pragma once
// A progress bar: a view with a progress from 0 (empty) to 1 (full), stored as a 32-bit float.
// Values outside are pinned to the nearer limit, a NaN to 0. A new bar is empty, its frame
// (0, 0, 0, 2): no width until placed, the height of the bar's track.
//
// Threads: main thread only.

#include "ui/View.h"

namespace ui {

enum class ProgressViewStyle {
  Default,
  Bar,
};

class ProgressView : public View {
 public:
  explicit ProgressView(ProgressViewStyle style = ProgressViewStyle::Default);

  ProgressViewStyle style() const { return style_; }
  float progress() const { return progress_; }
  // With or without animation, the stored progress is the new one at once.
  void setProgress(float progress, bool animated = false);

 private:
  ProgressViewStyle style_;
  float progress_ = 0.0f;
};

}  // namespace ui
