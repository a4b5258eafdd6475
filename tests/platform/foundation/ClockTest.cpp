#include <gtest/gtest.h>

#include "foundation/Clock.h"

namespace {

TEST(Clock, DatesReadTheInstalledTimeSource) {
  double now = 100.0;
  foundation::setTimeSource([&] { return now; });
  const foundation::Date start;
  now = 102.5;
  const auto end = foundation::Date::now();
  EXPECT_DOUBLE_EQ(end.timeIntervalSince(start), 2.5);
  EXPECT_DOUBLE_EQ(start.timeIntervalSince(end), -2.5);
  EXPECT_DOUBLE_EQ(start.timeIntervalSinceNow(), -2.5);
}

TEST(Clock, RealClockIsMonotonic) {
  const double a = foundation::monotonicSeconds();
  const double b = foundation::monotonicSeconds();
  EXPECT_LE(a, b);
}

}  // namespace
