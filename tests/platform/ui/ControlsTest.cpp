#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/Button.h"
#include "ui/ProgressView.h"
#include "ui/TouchSet.h"

namespace {

TEST(ProgressView, KeepsItsProgressWithinZeroAndOne) {
  struct Case {
    float set;
    float stored;
  } const cases[] = {
      {0.5f, 0.5f}, {0.0f, 0.0f}, {1.0f, 1.0f}, {2.0f, 1.0f}, {-2.0f, 0.0f},
      {std::numeric_limits<float>::infinity(), 1.0f}, {std::nanf(""), 0.0f},
  };
  for (const auto& c : cases) {
    ui::ProgressView bar;
    bar.setProgress(c.set, /*animated=*/true);
    EXPECT_EQ(bar.progress(), c.stored) << "set " << c.set;
  }
  ui::ProgressView bar;
  EXPECT_EQ(bar.progress(), 0.0f);
  EXPECT_EQ(bar.style(), ui::ProgressViewStyle::Default);
}

// A button subclass acts on a press and then calls the base, as the system's buttons do.
class RecordingButton : public ui::Button {
 public:
  using Button::Button;
  void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) override {
    seen += touches.size();
    Button::touchesBegan(touches, event);
  }
  std::size_t seen = 0;
};

TEST(Button, TheBaseCountsTheHandlerCallsItReceives) {
  RecordingButton button(graphics::Rect(0, 0, 44, 44));
  ui::TouchSet touches{ui::Touch::make({})};
  ui::View& asView = button;
  asView.touchesBegan(touches, nullptr);  // through the view's interface
  button.touchesMoved(touches, nullptr);
  button.touchesMoved(touches, nullptr);
  button.touchesEnded(touches, nullptr);
  button.touchesCancelled(touches, nullptr);
  EXPECT_EQ(button.seen, 1u);
  EXPECT_EQ(button.touchesBeganCount(), 1);
  EXPECT_EQ(button.touchesMovedCount(), 2);
  EXPECT_EQ(button.touchesEndedCount(), 1);
  EXPECT_EQ(button.touchesCancelledCount(), 1);
}

}  // namespace
