#pragma once
// Dates and the monotonic clock. Both read one time source, which tests may replace to make
// timings and dates repeatable.

#include <functional>

namespace foundation {

// Seconds on a monotonic scale (arbitrary origin).
using TimeSource = std::function<double()>;

// Current monotonic time in seconds.
double monotonicSeconds();

// Installs a time source and returns the one it replaces; an empty source restores the real clock.
TimeSource setTimeSource(TimeSource source);

// A point in time, as seconds on the clock's scale.
class Date {
 public:
  Date();  // now
  explicit Date(double seconds) : seconds_(seconds) {}

  static Date now() { return Date(); }

  // Seconds from `other` to this date (positive when this date is later).
  double timeIntervalSince(const Date& other) const { return seconds_ - other.seconds_; }
  double timeIntervalSinceNow() const { return seconds_ - monotonicSeconds(); }
  double seconds() const { return seconds_; }

  friend bool operator==(const Date&, const Date&) = default;

 private:
  double seconds_;
};

}  // namespace foundation
