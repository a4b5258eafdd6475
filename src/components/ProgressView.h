#pragma once
// A progress bar with a percentage label centred on it, for the host's own interface: each
// updateProgress() call advances the bar by a step and rewrites the label ("50.0 %"). The bar and
// the label are placed from the view's centre in its superview's coordinates, so for a frame whose
// origin is not (0, 0) they sit offset from the view's middle by that origin. Main thread only.

#include <memory>

#include "ui/Label.h"
#include "ui/ProgressView.h"
#include "ui/View.h"

namespace ui {
class Coder;
}

namespace tessivarium {

class ProgressView : public ui::View {
 public:
  // The only usable constructor: a default-style bar centred on the view's centre and a 50 x 50
  // label over it.
  explicit ProgressView(graphics::Rect frame);
  // A progress view cannot come from an archive: a fatal stop.
  explicit ProgressView(const ui::Coder& coder);

  const std::shared_ptr<ui::ProgressView>& progressView() const { return progressView_; }
  const std::shared_ptr<ui::Label>& progressLabel() const { return progressLabel_; }

  // Moves the bar by `step` (backwards when negative; the bar pins its progress to 0 ... 1) and
  // shows the pinned progress as a percentage followed by " %".
  void updateProgress(float step = 0.05f);

 private:
  std::shared_ptr<ui::ProgressView> progressView_;
  std::shared_ptr<ui::Label> progressLabel_;
};

}  // namespace tessivarium
