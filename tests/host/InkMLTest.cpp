// InkML pen data: one stroke per trace, the channels the file has turned into sample values and
// the defaults for those it lacks, the difference encodings, and the fit into the canvas.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "HostRun.h"
#include "InkML.h"

namespace {

using painthost::Sample;

struct InkCase {
  std::string name;
  std::string format;  // the channels of the trace format
  std::string traces;  // the <trace> elements
  bool fit;
  std::vector<std::vector<Sample>> expected;
  friend void PrintTo(const InkCase& c, std::ostream* out) { *out << c.name; }
};

constexpr double kPi = std::numbers::pi;
const Sample kDefaults{};

Sample at(double x, double y, double force = kDefaults.force, double altitude = kDefaults.altitude,
          double azimuth = kDefaults.azimuth) {
  return Sample{x, y, force, altitude, azimuth};
}

std::vector<InkCase> cases() {
  const std::string xy = R"(<channel name="X"/><channel name="Y"/>)";
  return {
      {"PositionsOnlyTakeTheDefaults", xy, "<trace>10 20, 30 40</trace><trace>50 60, 70 80, 90 100</trace>", false,
       {{at(10, 20), at(30, 40)}, {at(50, 60), at(70, 80), at(90, 100)}}},
      {"ForceOverItsMax", xy + R"(<channel name="F" max="1024"/>)", "<trace>10 20 256, 11 21 1024</trace>", false,
       {{at(10, 20, 0.25), at(11, 21, 1.0)}}},
      {"TiltInDegrees", xy + R"(<channel name="OTx" units="deg"/><channel name="OTy" units="deg"/>)",
       "<trace>10 20 0 0, 11 21 45 0, 12 22 0 -45</trace>", false,
       {{at(10, 20, kDefaults.force, kPi / 2, 0), at(11, 21, kDefaults.force, kPi / 4, 0),
         at(12, 22, kDefaults.force, kPi / 4, -kPi / 2)}}},
      {"ElevationAndAzimuthInRadians", xy + R"(<channel name="OE" units="rad"/><channel name="OA" units="rad"/>)",
       "<trace>10 20 1.2 0.5, 11 21 0.8 -1</trace>", false,
       {{at(10, 20, kDefaults.force, 1.2, 0.5), at(11, 21, kDefaults.force, 0.8, -1)}}},
      {"DifferencesFirstAndSecond", xy, "<trace>10 20, '5 '1, 5 1, \"1 !30</trace>", false,
       {{at(10, 20), at(15, 21), at(20, 22), at(26, 30)}}},
      // Two traces spanning 0 to 100 by 0 to 50, fitted into 320 x 256 with a margin of 12.8:
      // the width decides the scale, (319 - 25.6) / 100; the height is centred.
      {"FitIntoTheCanvas", xy, "<trace>0 0, 100 50</trace><trace>50 0, 50 50</trace>", true,
       {{at(12.8, 54.15), at(306.2, 200.85)}, {at(159.5, 54.15), at(159.5, 200.85)}}},
  };
}

class InkML : public ::testing::TestWithParam<InkCase> {};

TEST_P(InkML, GivesOneStrokePerTraceWithItsChannels) {
  const InkCase& c = GetParam();
  const hosttest::HostFolder folder;
  const auto file = folder.write("pen.inkml", R"(<?xml version="1.0"?><ink xmlns="http://www.w3.org/2003/InkML"><definitions>)"
                                                  R"(<context xml:id="c"><traceFormat>)" +
                                                  c.format + "</traceFormat></context></definitions>" + c.traces + "</ink>");
  painthost::CanvasSpec canvas;
  canvas.width = 320;
  canvas.height = 256;
  const auto strokes = painthost::readInkML(file, canvas, {c.fit});
  ASSERT_EQ(strokes.size(), c.expected.size());
  for (std::size_t t = 0; t < strokes.size(); ++t) {
    ASSERT_EQ(strokes[t].size(), c.expected[t].size()) << "trace " << t;
    for (std::size_t i = 0; i < strokes[t].size(); ++i) {
      const Sample &got = strokes[t][i], &want = c.expected[t][i];
      SCOPED_TRACE("trace " + std::to_string(t) + ", point " + std::to_string(i));
      EXPECT_NEAR(got.x, want.x, 1e-3);
      EXPECT_NEAR(got.y, want.y, 1e-3);
      EXPECT_NEAR(got.force, want.force, 1e-9);
      EXPECT_NEAR(got.altitude, want.altitude, 1e-9);
      EXPECT_NEAR(got.azimuth, want.azimuth, 1e-9);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Host, InkML, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<InkCase>& info) { return info.param.name; });

}  // namespace
