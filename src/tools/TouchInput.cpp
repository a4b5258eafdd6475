#include "tools/TouchInput.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Application.h"
#include "ui/Touch.h"

namespace tessivarium {

TouchInput::TouchInput(const ui::Touch& touch, const ui::View* view)
    : isStylus_(touch.type() == ui::TouchType::Stylus), location_(touch.location(view)) {
  if (isStylus_) {
    force_ = static_cast<float>(Application().forceValue(touch.force() / touch.maximumPossibleForce()));
    // The angles as a stylus can hold them: an altitude from flat to upright, an azimuth within one
    // turn (the same direction), so that no angle turns infinite as a float.
    altitudeAngle_ = static_cast<float>(std::clamp(touch.altitudeAngle(), 0.0, std::numbers::pi / 2));
    azimuthAngle_ = static_cast<float>(std::fmod(touch.azimuthAngle(view), 2 * std::numbers::pi));
  } else {
    force_ = FingerForce;
    altitudeAngle_ = FingerAngle;
    azimuthAngle_ = FingerAngle;
  }
}

TouchInput::TouchInput(graphics::Point location, float force, float altitudeAngle, float azimuthAngle)
    : isStylus_(true),
      location_(location),
      force_(force),
      altitudeAngle_(altitudeAngle),
      azimuthAngle_(azimuthAngle) {}

bool TouchInput::canSample(const ui::Touch& touch, const ui::View* view) {
  const auto location = touch.location(view);
  if (!std::isfinite(location.x) || !std::isfinite(location.y)) return false;
  if (touch.type() != ui::TouchType::Stylus) return true;
  return touch.maximumPossibleForce() > 0.0 && std::isfinite(touch.maximumPossibleForce()) &&
         std::isfinite(touch.force()) && std::isfinite(touch.altitudeAngle()) &&
         std::isfinite(touch.azimuthAngle(view));
}

void TouchInputData::append(float x, float y, float z, float force, float altitude, float azimuth) {
  ++count_;
  locations_.insert(locations_.end(), {x, y, z});
  forces_.push_back(force);
  altitudes_.push_back(altitude);
  azimuths_.push_back(azimuth);
}

void TouchInputData::append(float x, float y, float z, const TouchInput& touchInput) {
  append(x, y, z, touchInput.force(), touchInput.altitudeAngle(), touchInput.azimuthAngle());
}

void TouchInputData::reset() {
  count_ = 0;
  // Swapping with empty vectors gives the storage back, as clear() alone would not.
  std::vector<float>().swap(forces_);
  std::vector<float>().swap(altitudes_);
  std::vector<float>().swap(azimuths_);
  std::vector<float>().swap(locations_);
}

std::vector<std::int32_t> TouchLocationsToVector(const TouchInputs& inputs, XY xy) {
  std::vector<std::int32_t> values;
  values.reserve(inputs.size());
  for (const auto& input : inputs) {
    const auto location = input->location();
    values.push_back(static_cast<std::int32_t>(xy == XY::x ? location.x : location.y));
  }
  return values;
}

std::vector<float> TouchForcesToVector(const TouchInputs& inputs) {
  std::vector<float> values;
  values.reserve(inputs.size());
  for (const auto& input : inputs) values.push_back(input->force());
  return values;
}

}  // namespace tessivarium
