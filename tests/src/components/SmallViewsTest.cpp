#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "Application.h"
#include "FatalStop.h"
#include "components/PressureButton.h"
#include "components/ProgressView.h"
#include "ui/Coder.h"
#include "ui/Touch.h"
#include "ui/TouchSet.h"

namespace tessivarium {
namespace {

TEST(SmallViews, ShowsThePinnedProgressAsAPercentage) {
  ProgressView view(graphics::Rect(0, 0, 200, 100));
  view.updateProgress(0.5f);
  EXPECT_EQ(view.progressLabel()->text(), "50.0 %");
  view.updateProgress(2.0f);
  EXPECT_EQ(view.progressLabel()->text(), "100.0 %");
  view.updateProgress(-2.0f);
  EXPECT_EQ(view.progressLabel()->text(), "0.0 %");
  for (int i = 0; i < 3; ++i) view.updateProgress();
  EXPECT_EQ(view.progressLabel()->text(), "15.000001 %");
  EXPECT_FLOAT_EQ(view.progressView()->progress(), 0.15f);
}

TEST(SmallViews, PlacesItsSubviewsFromItsCentre) {
  ProgressView view(graphics::Rect(40, 20, 200, 100));  // centre (140, 70) in the superview
  ASSERT_EQ(view.subviews().size(), 2u);
  EXPECT_EQ(view.subviews()[0], view.progressView());
  EXPECT_EQ(view.subviews()[1], view.progressLabel());
  EXPECT_EQ(view.progressView()->center(), graphics::Point(140, 70));
  EXPECT_EQ(view.progressLabel()->frame(), graphics::Rect(115, 45, 50, 50));
  EXPECT_FATAL(ProgressView(ui::Coder{}), "init(coder:) has not been implemented");
}

ui::TouchSet touchAt(double force, double maximum = 1.0) {
  ui::TouchState state;
  state.force = force;
  state.maximumPossibleForce = maximum;
  return ui::TouchSet{ui::Touch::make(state)};
}

TEST(SmallViews, KeepsThePeakOfAPress) {
  Application().setSensibility(3.0f);
  PressureButton button;
  button.touchesBegan(touchAt(0.9), nullptr);
  EXPECT_EQ(button.force(), 0.0);  // touch-down is not measured
  button.touchesMoved(touchAt(0.2), nullptr);
  EXPECT_NEAR(button.force(), 0.6, 1e-6);
  button.touchesMoved(touchAt(0.5), nullptr);
  button.touchesEnded(touchAt(0.3), nullptr);
  EXPECT_EQ(button.force(), 1.0);
  EXPECT_EQ(button.touchesMovedCount(), 2);
  EXPECT_EQ(button.touchesEndedCount(), 1);

  button.setForce(0.4);
  button.touchesBegan(touchAt(0.1), nullptr);
  EXPECT_EQ(button.force(), 0.0);
  EXPECT_EQ(button.touchesBeganCount(), 2);
}

TEST(SmallViews, AFingerWithoutMaximumForce) {
  PressureButton button;
  button.touchesBegan(touchAt(0, 0), nullptr);
  button.setForce(0.25);
  button.touchesMoved(touchAt(0, 0), nullptr);  // 0 / 0: no number, force kept
  EXPECT_EQ(button.force(), 0.25);
  button.touchesMoved(touchAt(0.5, 0), nullptr);  // infinite, capped at 1
  EXPECT_EQ(button.force(), 1.0);
  EXPECT_EQ(PressureButton::fromCoder(ui::Coder{}), nullptr);
}

}  // namespace
}  // namespace tessivarium
