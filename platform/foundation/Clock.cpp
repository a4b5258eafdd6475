#include "Clock.h"

#include <chrono>

namespace foundation {
namespace {

TimeSource& currentSource() {
  static TimeSource source;
  return source;
}

}  // namespace

double monotonicSeconds() {
  if (const auto& source = currentSource()) return source();
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

TimeSource setTimeSource(TimeSource source) {
  TimeSource previous = std::move(currentSource());
  currentSource() = std::move(source);
  return previous;
}

Date::Date() : seconds_(monotonicSeconds()) {}

}  // namespace foundation
