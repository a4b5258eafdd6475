#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/ProgressView.h"

namespace {

TEST(ProgressView, KeepsItsProgressWithinZeroAndOne) {
  struct Case {
    float set;
    float stored;
  } const cases[] = {
      {0.5f, 0.5f}, {0.0f, 0.0f}, {1.0f, 1.0f}, {2.0f, 1.0f}, {-2.0f, 0.0f},
      {std::numeric_limits<float>::infinity(), 1.0f}, {std::nanf(""), 0.0f},
  };
  for (const auto& c : cases) {
    ui::ProgressView bar;
    bar.setProgress(c.set, /*animated=*/true);
    EXPECT_EQ(bar.progress(), c.stored) << "set " << c.set;
  }
  ui::ProgressView bar;
  EXPECT_EQ(bar.progress(), 0.0f);
  EXPECT_EQ(bar.style(), ui::ProgressViewStyle::Default);
}

}  // namespace
