// The sprayer's samples made denser before they are painted: no step between neighbours, the last
// sample of the frame before included, is longer than 11 points.

#include <gtest/gtest.h>

#include "DropToolFixture.h"
#include "tools/DropSurface.h"

namespace droptest {
namespace {

using SprayerToolTest = DropToolTest;

TEST_F(SprayerToolTest, StepsLongerThanElevenPointsAreHalvedAgainstTheSampleBefore) {
  AppManager().setCurrentTool(AppManager().sprayer());
  auto& surface = static_cast<DropSurface&>(*AppManager().sprayer()->toolSurface());
  const struct {
    const char* what;
    bool newStroke;
    std::vector<double> xs, uploaded;
  } cases[] = {
      {"40 apart", true, {100, 140}, {100, 110, 120, 130, 140}},
      {"11.0 apart", true, {100, 111}, {100, 111}},
      {"11.5 apart", true, {100, 111.5}, {100, 105.75, 111.5}},
      {"against the frame before", false, {131.5}, {121.5, 131.5}},
      {"a new stroke", true, {160}, {160}},
  };
  for (const auto& c : cases) {
    if (c.newStroke) surface.touchEnd();
    TouchInputs batch;
    for (double x : c.xs) batch.push_back(sample(x, 100));
    surface.reset(batch, graphics::Color::white());
    std::vector<double> xs;
    const auto& locations = surface.touchInputData().locations();
    for (std::size_t i = 0; i < locations.size(); i += 3) xs.push_back(locations[i] + surface.offset().x);
    EXPECT_EQ(xs, c.uploaded) << c.what;
  }
}

}  // namespace
}  // namespace droptest
