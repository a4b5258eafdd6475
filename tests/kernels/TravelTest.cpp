// The walk a cell corner at a time (kernels/Travel.h): which corners a path visits and how far it
// travels to each, however its samples fall into steps.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "kernels/Travel.h"

namespace {

using kernels::Sample;

// The corners a walk visits, in order, and the travel to each.
struct Walked {
  std::vector<std::pair<long, long>> corners;
  std::vector<float> travels;
};

Walked walk(const std::vector<Sample>& samples, const std::optional<Sample>& start) {
  const kernels::CellVisits visits = kernels::cellVisits(samples, start);
  Walked out;
  for (const Sample& s : visits.samples) out.corners.emplace_back(std::lround(std::floor(s.x + 0.5f)), std::lround(std::floor(s.y + 0.5f)));
  out.travels = kernels::travelsOf(visits);
  return out;
}

// A path walked in one step, and again with its samples split after the first `split` of them, the
// second step coming on from the first's last sample: the same corners, each visited once, with
// the same travels. Where the path lands it travels one cell, alone in its step or not, and a step
// whose samples stay on the corner the path came to visits none.
TEST(Travel, APathVisitsTheSameCornersHoweverItsSamplesFallIntoSteps) {
  const struct {
    const char* name;
    std::vector<Sample> samples;
    std::size_t split;
    std::size_t visits;
  } cases[] = {
      {"along a row", {{5, 5}, {8, 5}, {11, 5}}, 1, 7},
      {"half a cell apart", {{5, 5}, {5.5f, 5}, {6, 5}, {6.5f, 5}, {7, 5}}, 2, 3},
      {"on a slope", {{5, 5}, {8, 7.4f}, {11, 9.8f}}, 1, 12},
      {"on the corner it came to", {{5, 5}, {5.2f, 5.1f}, {5.4f, 5.2f}}, 1, 1},
  };
  for (const auto& c : cases) {
    const Walked whole = walk(c.samples, std::nullopt);
    EXPECT_EQ(whole.corners.size(), c.visits) << c.name;
    ASSERT_FALSE(whole.travels.empty()) << c.name;
    EXPECT_EQ(whole.travels.front(), 1.0f) << c.name << ": where the path lands";
    for (std::size_t i = 1; i < whole.corners.size(); ++i) {
      const auto [x0, y0] = whole.corners[i - 1];
      const auto [x1, y1] = whole.corners[i];
      EXPECT_LE(std::abs(x1 - x0) + std::abs(y1 - y0), 2) << c.name << ": visit " << i << " is the next corner";
      EXPECT_NE(whole.corners[i], whole.corners[i - 1]) << c.name << ": visit " << i;
    }

    const std::vector<Sample> head(c.samples.begin(), c.samples.begin() + static_cast<std::ptrdiff_t>(c.split));
    const std::vector<Sample> tail(c.samples.begin() + static_cast<std::ptrdiff_t>(c.split), c.samples.end());
    Walked split = walk(head, std::nullopt);
    const Walked rest = walk(tail, head.back());
    split.corners.insert(split.corners.end(), rest.corners.begin(), rest.corners.end());
    split.travels.insert(split.travels.end(), rest.travels.begin(), rest.travels.end());
    EXPECT_EQ(split.corners, whole.corners) << c.name;
    ASSERT_EQ(split.travels.size(), whole.travels.size()) << c.name;
    for (std::size_t i = 0; i < whole.travels.size(); ++i)
      EXPECT_NEAR(split.travels[i], whole.travels[i], 1e-5f) << c.name << ": the travel to visit " << i;
  }
}

}  // namespace
