#pragma once
// Stylus touches for the stroke tests: pressed at a quarter of the maximum force unless told.

#include <memory>

#include "ui/Touch.h"

namespace testsupport {

inline std::shared_ptr<ui::Touch> stylusTouch(double x, double y, ui::TouchPhase phase = ui::TouchPhase::Moved,
                                              double force = 1.0) {
  ui::TouchState state;
  state.type = ui::TouchType::Stylus;
  state.phase = phase;
  state.location = {x, y};
  state.force = force;
  state.maximumPossibleForce = 4.0;
  state.altitudeAngle = 0.9;
  state.azimuthAngle = 0.4;
  return ui::Touch::make(state);
}

}  // namespace testsupport
