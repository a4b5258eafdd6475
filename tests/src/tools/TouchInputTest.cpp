#include "tools/TouchInput.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "Application.h"
#include "ui/Touch.h"
#include "ui/View.h"

namespace {

using namespace tessivarium;
using graphics::Point;
using graphics::Rect;
using ui::TouchState;
using ui::TouchType;

TouchState touchState(TouchType type, double force, double maximum, Point location = {130.0, 75.0}) {
  TouchState state;
  state.type = type;
  state.location = location;
  state.force = force;
  state.maximumPossibleForce = maximum;
  state.altitudeAngle = 0.3;
  state.azimuthAngle = 1.1;
  return state;
}

// A finger never reports pressure or angles worth keeping; a stylus's force goes through the
// sensitivity curve (3.0 by default), saturating at a third of the maximum, with no lower clamp.
TEST(TouchInput, FingerDefaultsAndStylusForceMapping) {
  auto window = std::make_shared<ui::View>(Rect(0, 0, 800, 600));
  auto canvas = std::make_shared<ui::View>(Rect(100, 50, 400, 300));
  window->addSubview(canvas);

  const ui::Touch finger(touchState(TouchType::Direct, 3.0, 4.0));
  const TouchInput fingerInput(finger, canvas.get());
  EXPECT_FALSE(fingerInput.isStylus());
  EXPECT_EQ(fingerInput.force(), 0.5f);
  EXPECT_EQ(fingerInput.altitudeAngle(), 0.7853982f);
  EXPECT_EQ(fingerInput.azimuthAngle(), 0.7853982f);

  struct Case {
    double force, maximum;
    float expected;
  } cases[] = {{0.5, 4.0, 0.375f}, {1.0, 3.0, 1.0f}, {3.9, 4.0, 1.0f}, {0.0, 2.0, 0.0f}};
  for (const auto& c : cases) {
    const ui::Touch stylus(touchState(TouchType::Stylus, c.force, c.maximum), window.get());
    const TouchInput input(stylus, canvas.get());
    EXPECT_TRUE(input.isStylus());
    EXPECT_FLOAT_EQ(input.force(), c.expected) << c.force << " of " << c.maximum;
    EXPECT_EQ(input.altitudeAngle(), 0.3f);
    EXPECT_EQ(input.azimuthAngle(), 1.1f);
    EXPECT_EQ(input.location(), (Point{30.0, 25.0}));  // window (130, 75) in the canvas at (100, 50)
  }

  Application().setSensibility(1.5f);
  const ui::Touch stylus(touchState(TouchType::Stylus, 1.0, 4.0));
  EXPECT_FLOAT_EQ(TouchInput(stylus, nullptr).force(), 0.375f);

  const TouchInput synthetic({7.25, -2.5}, 0.2f, 0.4f, 0.6f);
  EXPECT_TRUE(synthetic.isStylus());
  EXPECT_EQ(synthetic.location(), (Point{7.25, -2.5}));
  EXPECT_EQ(synthetic.force(), 0.2f);
  EXPECT_EQ(synthetic.altitudeAngle(), 0.4f);
  EXPECT_EQ(synthetic.azimuthAngle(), 0.6f);
}

TEST(TouchInput, RefusesToSampleTouchesWithValuesThatAreNotFinite) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(TouchInput::canSample(ui::Touch(touchState(TouchType::Stylus, 1.0, 4.0)), nullptr));
  EXPECT_FALSE(TouchInput::canSample(ui::Touch(touchState(TouchType::Stylus, nan, 4.0)), nullptr));
  EXPECT_FALSE(TouchInput::canSample(ui::Touch(touchState(TouchType::Stylus, 1.0, inf)), nullptr));
  auto angled = touchState(TouchType::Stylus, 1.0, 4.0);
  angled.altitudeAngle = nan;
  EXPECT_FALSE(TouchInput::canSample(ui::Touch(angled), nullptr));
  angled = touchState(TouchType::Stylus, 1.0, 4.0);
  angled.azimuthAngle = -inf;
  EXPECT_FALSE(TouchInput::canSample(ui::Touch(angled), nullptr));
  // A finger's force and angles are never used, so they cannot spoil its sample.
  EXPECT_TRUE(TouchInput::canSample(ui::Touch(touchState(TouchType::Direct, nan, 0.0)), nullptr));
}

TEST(TouchInputData, AppendAddsOneSampleAndResetEmptiesEveryArray) {
  TouchInputData data;
  EXPECT_EQ(data.count(), 0);
  data.append(10.0f, 20.0f, 5.0f, 0.25f, 0.75f, 1.5f);
  data.append(110.0f, 20.0f, 5.0f, TouchInput({900.0, 900.0}, 0.125f, 0.375f, 2.5f));
  EXPECT_EQ(data.count(), 2);  // 100 points apart and still no midpoint
  EXPECT_EQ(data.locations(), (std::vector<float>{10.0f, 20.0f, 5.0f, 110.0f, 20.0f, 5.0f}));
  EXPECT_EQ(data.forces(), (std::vector<float>{0.25f, 0.125f}));
  EXPECT_EQ(data.altitudes(), (std::vector<float>{0.75f, 0.375f}));
  EXPECT_EQ(data.azimuths(), (std::vector<float>{1.5f, 2.5f}));

  data.reset();
  EXPECT_EQ(data.count(), 0);
  EXPECT_TRUE(data.locations().empty() && data.forces().empty() && data.altitudes().empty() &&
              data.azimuths().empty());
  EXPECT_EQ(data.locations().capacity(), 0u);
  data.append(3.0f, 4.0f, 5.0f, 0.5f, 0.5f, 0.5f);
  EXPECT_EQ(data.count(), 1);
  EXPECT_EQ(data.locations(), (std::vector<float>{3.0f, 4.0f, 5.0f}));
  EXPECT_EQ(data.forces().size(), 1u);
}

TEST(TouchInput, VectorsTruncateTowardZeroAndKeepTheOrder) {
  const TouchInputs inputs{std::make_shared<TouchInput>(Point{12.9, -3.7}, 0.3f, 0.0f, 0.0f),
                           std::make_shared<TouchInput>(Point{-0.99, 400.2}, 0.7f, 0.0f, 0.0f)};
  EXPECT_EQ(TouchLocationsToVector(inputs, XY::x), (std::vector<std::int32_t>{12, 0}));
  EXPECT_EQ(TouchLocationsToVector(inputs, XY::y), (std::vector<std::int32_t>{-3, 400}));
  EXPECT_EQ(TouchForcesToVector(inputs), (std::vector<float>{0.3f, 0.7f}));
  EXPECT_TRUE(TouchLocationsToVector({}, XY::y).empty());
  EXPECT_TRUE(TouchForcesToVector({}).empty());
}

}  // namespace
