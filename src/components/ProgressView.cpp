#include "components/ProgressView.h"

#include "foundation/Fatal.h"
#include "foundation/NumberText.h"

namespace tessivarium {

ProgressView::ProgressView(graphics::Rect frame)
    : ui::View(frame),
      progressView_(std::make_shared<ui::ProgressView>(ui::ProgressViewStyle::Default)),
      progressLabel_(std::make_shared<ui::Label>()) {
  const graphics::Point c = center();
  progressView_->setCenter(c);
  addSubview(progressView_);
  progressLabel_->setFrame(graphics::Rect(c.x - 25.0, c.y - 25.0, 50.0, 50.0));
  addSubview(progressLabel_);
}

ProgressView::ProgressView(const ui::Coder&) {
  foundation::fatalError("init(coder:) has not been implemented");
}

void ProgressView::updateProgress(float step) {
  progressView_->setProgress(progressView_->progress() + step, false);
  const float p = progressView_->progress();
  progressLabel_->setText(foundation::describe(p * 100.0f) + " %");
}

}  // namespace tessivarium
