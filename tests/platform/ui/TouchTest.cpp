#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "FatalStop.h"
#include "ui/Event.h"
#include "ui/Touch.h"
#include "ui/TouchSet.h"
#include "ui/View.h"

namespace {

using graphics::Point;
using graphics::Rect;
using ui::Touch;
using ui::TouchPhase;
using ui::TouchState;
using ui::TouchType;

std::shared_ptr<Touch> stylusAt(double x, double y, TouchPhase phase = TouchPhase::Moved) {
  TouchState state;
  state.type = TouchType::Stylus;
  state.phase = phase;
  state.location = {x, y};
  state.force = 2.0;
  state.maximumPossibleForce = 4.0;
  state.altitudeAngle = 0.5;
  state.azimuthAngle = 1.25;
  return Touch::make(state);
}

TEST(Touch, ReportsWhatTheScreenGaveAndItsLocationInAnyView) {
  auto window = std::make_shared<ui::View>(Rect(0, 0, 800, 600));
  auto canvas = std::make_shared<ui::View>(Rect(100, 50, 400, 300));
  window->addSubview(canvas);

  TouchState state;
  state.type = TouchType::Stylus;
  state.phase = TouchPhase::Stationary;
  state.location = {10, 20};  // in the canvas
  state.force = 1.5;
  state.maximumPossibleForce = 4.5;
  state.altitudeAngle = 0.75;
  state.azimuthAngle = 2.0;
  Touch touch(state, canvas.get());
  EXPECT_EQ(touch.type(), TouchType::Stylus);
  EXPECT_EQ(touch.phase(), TouchPhase::Stationary);
  EXPECT_EQ(touch.location(canvas.get()), (Point{10, 20}));
  EXPECT_EQ(touch.location(window.get()), (Point{110, 70}));
  EXPECT_EQ(touch.location(nullptr), (Point{110, 70}));
  EXPECT_EQ(touch.force(), 1.5);
  EXPECT_EQ(touch.maximumPossibleForce(), 4.5);
  EXPECT_EQ(touch.altitudeAngle(), 0.75);
  EXPECT_EQ(touch.azimuthAngle(canvas.get()), 2.0);
  EXPECT_EQ(static_cast<int>(TouchType::Stylus), 2);

  state.phase = TouchPhase::Ended;
  state.location = {0, 0};
  touch.update(state, window.get());
  EXPECT_EQ(touch.phase(), TouchPhase::Ended);
  EXPECT_EQ(touch.location(canvas.get()), (Point{-100, -50}));
}

TEST(Touch, AStylusNeedsAPositiveMaximumForceAFingerDoesNot) {
  TouchState state;
  state.type = TouchType::Stylus;
  state.maximumPossibleForce = 0.0;
  EXPECT_FATAL(Touch{state}, "A stylus touch needs a positive maximum possible force.");
  state.type = TouchType::Direct;
  Touch finger(state);
  EXPECT_EQ(finger.maximumPossibleForce(), 0.0);
  state.location = {std::nan(""), 0};
  EXPECT_FATAL(Touch{state}, "A touch needs a finite location.");
}

TEST(TouchSet, KeepsInsertionOrderAndEachTouchOnce) {
  auto a = stylusAt(1, 1), b = stylusAt(2, 2), c = stylusAt(3, 3);
  ui::TouchSet set{c, a};
  EXPECT_TRUE(set.insert(b));
  EXPECT_FALSE(set.insert(a));  // already there: stays in its place
  EXPECT_EQ(set.size(), 3u);
  EXPECT_EQ(set.first(), c);
  std::vector<std::shared_ptr<Touch>> seen(set.begin(), set.end());
  EXPECT_EQ(seen, (std::vector<std::shared_ptr<Touch>>{c, a, b}));

  EXPECT_TRUE(set.erase(*c));
  EXPECT_FALSE(set.erase(*c));
  EXPECT_EQ(set.first(), a);
  EXPECT_FALSE(set.contains(*c));
  EXPECT_TRUE(ui::TouchSet{}.empty());
  EXPECT_EQ(ui::TouchSet{}.first(), nullptr);
  EXPECT_FATAL(set.insert(nullptr), "Cannot add an absent touch to a touch set.");
}

TEST(Touch, GivesTheCoalescedTouchesOfEachTouchInOrder) {
  auto touch = stylusAt(30, 30);
  auto other = stylusAt(50, 50);
  std::vector<std::shared_ptr<Touch>> samples{stylusAt(10, 10), stylusAt(20, 20, TouchPhase::Stationary),
                                              touch};
  ui::Event event;
  EXPECT_FALSE(event.coalescedTouches(*touch));  // none yet
  event.setCoalescedTouches(touch, samples);
  event.setCoalescedTouches(other, {});
  const auto coalesced = event.coalescedTouches(*touch);
  ASSERT_TRUE(coalesced);
  EXPECT_EQ(*coalesced, samples);
  EXPECT_EQ((*coalesced)[1]->phase(), TouchPhase::Stationary);
  ASSERT_TRUE(event.coalescedTouches(*other));
  EXPECT_TRUE(event.coalescedTouches(*other)->empty());

  event.setCoalescedTouches(touch, {samples[2]});  // replaces
  EXPECT_EQ(event.coalescedTouches(*touch)->size(), 1u);
  EXPECT_FATAL(event.setCoalescedTouches(touch, {nullptr}),
               "An event's coalesced touches cannot be absent.");
}

}  // namespace
