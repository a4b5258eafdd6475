#pragma once
// Touch samples: one sample of one touch (TouchInput), the flat per-frame arrays in which samples
// are uploaded to the kernels (TouchInputData), and the two conversions the texture passes use.
//
// Threads: main thread only; no locks.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/Geometry.h"

namespace ui {
class Touch;
class View;
}  // namespace ui

namespace tessivarium {

// One sample of one touch; never changes after construction.
class TouchInput {
 public:
  // A finger's force and both angles, whatever the screen reports for it.
  static constexpr float FingerForce = 0.5f;
  static constexpr float FingerAngle = 0.7853982f;  // pi/4

  // A sample of a platform touch, located in `view`. A stylus's force goes through the
  // application's sensitivity curve, its altitude is held within 0 to pi/2 and its azimuth within
  // one turn either way (fmod); a finger gets the finger defaults.
  TouchInput(const ui::Touch& touch, const ui::View* view);
  // A sample the system makes up (midpoints, a picked pattern): always a stylus sample.
  TouchInput(graphics::Point location, float force, float altitudeAngle, float azimuthAngle);

  // Whether a sample of `touch` would hold only finite values (a stylus also needs a positive
  // maximum force); touch receivers skip the touches this refuses.
  static bool canSample(const ui::Touch& touch, const ui::View* view);

  // This sample at another place.
  TouchInput movedTo(graphics::Point location) const {
    TouchInput moved = *this;
    moved.location_ = location;
    return moved;
  }

  bool isStylus() const { return isStylus_; }
  graphics::Point location() const { return location_; }
  float force() const { return force_; }
  float altitudeAngle() const { return altitudeAngle_; }
  float azimuthAngle() const { return azimuthAngle_; }

 private:
  bool isStylus_;
  graphics::Point location_;
  float force_;
  float altitudeAngle_;
  float azimuthAngle_;
};

using TouchInputs = std::vector<std::shared_ptr<TouchInput>>;

// The samples of one frame as the kernels read them: `locations` holds three values (x, y, z) per
// sample and each other array one, so every array has exactly `count` samples.
class TouchInputData {
 public:
  TouchInputData() = default;

  // Adds exactly one sample at the end; nothing is interpolated or filtered here.
  void append(float x, float y, float z, float force, float altitude, float azimuth);
  // The same with force and angles of `touchInput`; the position is the caller's (window-local).
  void append(float x, float y, float z, const TouchInput& touchInput);
  // Empties every array and releases its storage.
  void reset();

  std::int64_t count() const { return count_; }
  const std::vector<float>& locations() const { return locations_; }
  const std::vector<float>& forces() const { return forces_; }
  const std::vector<float>& altitudes() const { return altitudes_; }
  const std::vector<float>& azimuths() const { return azimuths_; }

  // Write access for the stroke surface, which rewrites samples in place (altitude curves).
  void setCount(std::int64_t count) { count_ = count; }
  std::vector<float>& locations() { return locations_; }
  std::vector<float>& forces() { return forces_; }
  std::vector<float>& altitudes() { return altitudes_; }
  std::vector<float>& azimuths() { return azimuths_; }

 private:
  std::int64_t count_ = 0;
  std::vector<float> locations_;
  std::vector<float> forces_;
  std::vector<float> altitudes_;
  std::vector<float> azimuths_;
};

enum class XY { x, y };

// One coordinate of each sample's location, truncated toward zero. Callers pass finite
// coordinates within the 32-bit range (view coordinates always are).
std::vector<std::int32_t> TouchLocationsToVector(const TouchInputs& inputs, XY xy);
// The force of each sample, in order.
std::vector<float> TouchForcesToVector(const TouchInputs& inputs);

}  // namespace tessivarium
