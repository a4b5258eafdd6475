#pragma once
// Touches: one finger or stylus on the screen. A touch is an object that the host (or a test) makes
// from what the screen reports and may update as the touch goes on; receivers compare touches by
// identity, so they are held by std::shared_ptr.
//
// The location is kept in window coordinates (View.h) and converted on request. Views have no
// rotation, so the azimuth angle is the same in every view.
//
// Threads: main thread only; no locks.

#include <cstdint>
#include <memory>
#include <numbers>

#include "graphics/Geometry.h"

namespace ui {

class View;

enum class TouchType : std::int64_t {
  Direct = 0,    // a finger
  Indirect = 1,  // a touch not on the screen
  Stylus = 2,
};

enum class TouchPhase : std::int64_t {
  Began = 0,
  Moved = 1,
  Stationary = 2,
  Ended = 3,
  Cancelled = 4,
};

// What the screen reports of a touch at one moment.
struct TouchState {
  TouchType type = TouchType::Direct;
  TouchPhase phase = TouchPhase::Began;
  graphics::Point location;  // in the coordinates of the view given with the state
  double force = 0.0;
  // A stylus touch needs a positive maximum force (forces are divided by it); a finger may report 0.
  double maximumPossibleForce = 1.0;
  double altitudeAngle = std::numbers::pi / 2;  // radians above the surface; pi/2 is upright
  double azimuthAngle = 0.0;                    // radians in the plane of the screen
  double timestamp = 0.0;                       // seconds
};

class Touch {
 public:
  // A touch at `state.location` in `view`'s coordinates (window coordinates when `view` is none).
  // A stylus touch without a positive maximum force, or a non-finite location, stops fatally.
  explicit Touch(const TouchState& state, const View* view = nullptr);

  static std::shared_ptr<Touch> make(const TouchState& state, const View* view = nullptr) {
    return std::make_shared<Touch>(state, view);
  }

  Touch(const Touch&) = delete;
  Touch& operator=(const Touch&) = delete;

  // The touch moves on: a new state, checked as at construction.
  void update(const TouchState& state, const View* view = nullptr);

  TouchType type() const { return type_; }
  TouchPhase phase() const { return phase_; }
  // The location in `view`'s bounds coordinates (window coordinates when none), converted from
  // the touch's window coordinates through the view's own tree.
  graphics::Point location(const View* view) const;
  double force() const { return force_; }
  double maximumPossibleForce() const { return maximumPossibleForce_; }
  double altitudeAngle() const { return altitudeAngle_; }
  double azimuthAngle(const View* view) const;
  double timestamp() const { return timestamp_; }

 private:
  TouchType type_ = TouchType::Direct;
  TouchPhase phase_ = TouchPhase::Began;
  graphics::Point windowLocation_;
  double force_ = 0.0;
  double maximumPossibleForce_ = 0.0;
  double altitudeAngle_ = 0.0;
  double azimuthAngle_ = 0.0;
  double timestamp_ = 0.0;
};

}  // namespace ui
