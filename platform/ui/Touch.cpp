#include "ui/Touch.h"

#include <cmath>

#include "foundation/Fatal.h"
#include "ui/View.h"

namespace ui {

Touch::Touch(const TouchState& state, const View* view) { update(state, view); }

void Touch::update(const TouchState& state, const View* view) {
  if (state.type == TouchType::Stylus && !(state.maximumPossibleForce > 0.0)) {
    foundation::fatalError("A stylus touch needs a positive maximum possible force.");
  }
  if (!std::isfinite(state.location.x) || !std::isfinite(state.location.y)) {
    foundation::fatalError("A touch needs a finite location.");
  }
  type_ = state.type;
  phase_ = state.phase;
  windowLocation_ = view ? view->convert(state.location, nullptr) : state.location;
  force_ = state.force;
  maximumPossibleForce_ = state.maximumPossibleForce;
  altitudeAngle_ = state.altitudeAngle;
  azimuthAngle_ = state.azimuthAngle;
  timestamp_ = state.timestamp;
}

graphics::Point Touch::location(const View* view) const {
  return view ? view->convertFrom(windowLocation_, nullptr) : windowLocation_;
}

double Touch::azimuthAngle(const View*) const { return azimuthAngle_; }

}  // namespace ui
