// InkML pen data: one stroke per trace, the channels the file has turned into sample values and
// the defaults for those it lacks, the difference encodings, and the fit into the canvas.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "HostRun.h"
#include "InkML.h"
#include "Painter.h"
#include "Script.h"
#include "commands/CommandManager.h"
#include "components/DrawingPaint.h"
#include "graphics/Bitmap.h"
#include "graphics/PNGFile.h"

namespace {

using hosttest::Box;
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
      // Values packed as pen software writes them: a qualifier or a sign starts the next value.
      {"PackedQualifiers", xy, "<trace>10 20,'3'-2,\"1\"0,'4'4</trace>", false, {{at(10, 20), at(13, 18), at(17, 16), at(21, 20)}}},
      {"PackedSigns", xy, "<trace>100 '120,110-5,120+7,\"1\"-1</trace>", false,
       {{at(100, 120), at(110, 115), at(120, 122), at(131, 128)}}},
      // White space may follow a qualifier, and a value may carry an exponent.
      {"SpaceAfterAQualifier", xy, "<trace>10 20, ' 5 ' 6, \" 1 !30</trace>", false, {{at(10, 20), at(15, 26), at(21, 30)}}},
      {"Exponents", xy, "<trace>1.5e1 2E1, 17.12e-15 '1e+1</trace>", false, {{at(15, 20), at(17.12e-15, 30)}}},
      // A channel without a qualifier keeps its last; points end at commas, wherever the lines break.
      {"CommasNewlinesAndLastingQualifiers", xy, "<trace>\n 10 20 ,\n'3 '4\n,\t5 6 ,!40 1\n</trace>", false,
       {{at(10, 20), at(13, 24), at(18, 30), at(40, 31)}}},
      {"WithinTheLastPoint", xy, "<trace>319.5 255.5, 0 0</trace>", false, {{at(319.5, 255.5), at(0, 0)}}},
      // Each channel's values count in steps of 1 / its resolution of its unit; positions in
      // points, 72 to the inch.
      {"ResolutionsAndUnits",
       R"(<channel name="X" units="mm"/><channel name="Y"/><channel name="F"/><channel name="OE"/><channel name="OA" units="deg"/>)",
       R"(<channelProperties><channelProperty channel="X" name="resolution" value="10" units="1/mm"/>
          <channelProperty channel="Y" name="resolution" value="100" units="1/in"/>
          <channelProperty channel="F" name="resolution" value="1000"/>
          <channelProperty channel="OE" name="resolution" value="1000" units="1/rad"/>
          <channelProperty channel="OA" name="resolution" value="10"/></channelProperties>
          <trace>254 150 250 785 900, 127 50 1000 1570 -450</trace>)",
       false, {{at(72, 108, 0.25, 0.785, kPi / 2), at(36, 36, 1.0, 1.57, -kPi / 4)}}},
      // A channel given a second resolution keeps its first.
      {"TheFirstResolutionOfAChannelCounts", R"(<channel name="X" units="mm"/><channel name="Y"/>)",
       R"(<channelProperties><channelProperty channel="X" name="resolution" value="10" units="1/mm"/>
          <channelProperty channel="X" name="resolution" value="1" units="1/mm"/></channelProperties>
          <trace>254 20, 127 40</trace>)",
       false, {{at(72, 20), at(36, 40)}}},
      {"ATraceOfOnePointIsATap", xy, "<trace>10 20</trace><trace>30 40, 50 60</trace>", false,
       {{at(10, 20), at(10, 20)}, {at(30, 40), at(50, 60)}}},
      // Two traces spanning 0 to 100 by 0 to 50, fitted into 320 x 256 with a margin of 12.8:
      // the width decides the scale, (319 - 25.6) / 100; the height is centred.
      {"FitIntoTheCanvas", xy, "<trace>0 0, 100 50</trace><trace>50 0, 50 50</trace>", true,
       {{at(12.8, 54.15), at(306.2, 200.85)}, {at(159.5, 54.15), at(159.5, 200.85)}}},
      // Fitted, a length of a unit this program does not know is scaled in all the same.
      {"FitsPositionsOfAnUnknownUnit", R"(<channel name="X" units="furlong"/><channel name="Y" units="furlong"/>)",
       "<trace>0 0, 100 50</trace><trace>50 0, 50 50</trace>", true,
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
  painthost::CanvasSettings canvas;
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

// Played: one stroke per trace, each changing the paint only around its own points.
namespace {

struct PaintedCase {
  std::string name;
  std::string format;
  std::vector<std::string> traces;
  friend void PrintTo(const PaintedCase& c, std::ostream* out) { *out << c.name; }
};

class InkMLStrokes : public ::testing::TestWithParam<PaintedCase> {};

// The cells whose grid, wet or dry texel differ between two records of one layer.
std::vector<std::pair<std::size_t, std::size_t>> changedCells(const tessivarium::ArtworkRawData& a,
                                                              const tessivarium::ArtworkRawData& b) {
  std::vector<std::pair<std::size_t, std::size_t>> cells;
  const auto w = static_cast<std::size_t>(a.width());
  for (std::size_t i = 0; i < a.grid().size() / 4; ++i) {
    const auto differs = [&](const std::vector<std::uint8_t>& x, const std::vector<std::uint8_t>& y) {
      return !std::equal(x.begin() + i * 4, x.begin() + i * 4 + 4, y.begin() + i * 4);
    };
    if (differs(a.grid(), b.grid()) || differs(a.wet(), b.wet()) || differs(a.dry(), b.dry())) cells.emplace_back(i % w, i / w);
  }
  return cells;
}

TEST_P(InkMLStrokes, PaintOneStrokePerTraceWhereItsPointsLie) {
  const PaintedCase& c = GetParam();
  const hosttest::HostFolder folder;
  folder.writePaint("paint.png", 240, 200);
  std::string traces;
  for (const auto& t : c.traces) traces += "<trace>" + t + "</trace>";
  folder.write("pen.inkml", R"(<ink xmlns="http://www.w3.org/2003/InkML"><traceFormat>)" + c.format + "</traceFormat>" + traces + "</ink>");
  // A thin film: a knife moves paint where the paint stands lower or higher than its blade, so on a
  // thick even layer a blade filled on the first trace would leave the later ones unchanged.
  folder.write("script.json", hosttest::script(R"({"step": "importImage", "file": "paint.png", "x": 80, "y": 60, "thickness": 0.02, "wet": true},
    {"step": "tool", "tool": "knife2"}, {"step": "stroke", "inkml": "pen.inkml"})", 512, 384));
  const auto script = painthost::readScript(folder.path() / "script.json");
  ASSERT_EQ(std::get<painthost::Strokes>(script.steps[2].action).strokes.size(), c.traces.size());

  painthost::Painter painter(script.canvas);
  painter.play(script.steps[0]);
  painter.play(script.steps[1]);
  const auto before = painter.canvas().getStorageData().front();
  const auto steps = painter.canvas().commandManager()->operationPool().operations().size();
  painter.play(script.steps[2]);
  EXPECT_EQ(painter.canvas().commandManager()->operationPool().operations().size(), steps + c.traces.size())
      << "one undo step per trace";
  const auto changed = changedCells(before, painter.canvas().getStorageData().front());

  // Each trace's points, widened by the tool's reach.
  constexpr double kReach = 40;
  std::vector<Box> boxes;
  for (const auto& stroke : std::get<painthost::Strokes>(script.steps[2].action).strokes) {
    Box box;
    for (const auto& s : stroke) box.add(s);
    boxes.push_back({box.left - kReach, box.top - kReach, box.right + kReach, box.bottom + kReach});
  }
  std::vector<bool> touched(boxes.size(), false);
  for (const auto& [x, y] : changed) {
    bool inside = false;
    for (std::size_t t = 0; t < boxes.size(); ++t) {
      if (boxes[t].contains(static_cast<double>(x), static_cast<double>(y))) inside = touched[t] = true;
    }
    EXPECT_TRUE(inside) << "cell " << x << ", " << y << " changed away from every trace";
    if (!inside) break;
  }
  for (std::size_t t = 0; t < boxes.size(); ++t) EXPECT_TRUE(touched[t]) << "trace " << t + 1 << " painted nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Host, InkMLStrokes,
    ::testing::Values(
        PaintedCase{"PositionsOnly", R"(<channel name="X"/><channel name="Y"/>)",
                    {"100 90, 130 92, 160 95, 190 99, 220 100", "100 240, 140 236, 180 232, 220 230"}},
        PaintedCase{"ForceAndTilt",
                    R"(<channel name="X"/><channel name="Y"/><channel name="F" max="255"/><channel name="OTx"/><channel name="OTy"/>)",
                    {"100 90 120 10 5, 140 94 180 12 5, 180 98 220 14 6, 220 100 200 16 6",
                     "100 170 90 -10 0, 160 172 150 -12 0, 220 175 250 -14 2",
                     "100 240 200 0 20, 160 238 200 0 22, 220 236 200 0 24"}}),
    [](const ::testing::TestParamInfo<PaintedCase>& info) { return info.param.name; });

}  // namespace

// Pen files as users bring them, in tests/host/pen/: a tablet's export with force and tilt, each
// channel with its resolution; a signature pad's, pressure only; a handwriting collection's, with
// numbers for identifiers and one-point traces.
namespace {

struct PenFile {
  std::string name;
  std::string file;
  bool fit;
  std::size_t traces;
  Sample first;  // the first trace's first sample on a 512 x 384 canvas
  friend void PrintTo(const PenFile& c, std::ostream* out) { *out << c.name; }
};

class InkMLPenFiles : public ::testing::TestWithParam<PenFile> {};

const std::filesystem::path kPenFiles = "tests/host/pen";

TEST_P(InkMLPenFiles, ReadWithTheirUnits) {
  const PenFile& c = GetParam();
  painthost::CanvasSettings canvas;
  canvas.width = 512;
  canvas.height = 384;
  const auto strokes = painthost::readInkML(kPenFiles / c.file, canvas, {c.fit});
  ASSERT_EQ(strokes.size(), c.traces);
  const Sample& got = strokes.front().front();
  EXPECT_NEAR(got.x, c.first.x, 1e-2);
  EXPECT_NEAR(got.y, c.first.y, 1e-2);
  EXPECT_NEAR(got.force, c.first.force, 1e-6);
  EXPECT_NEAR(got.altitude, c.first.altitude, 1e-6);
  EXPECT_NEAR(got.azimuth, c.first.azimuth, 1e-6);
}

// Through a brush that reloads after every stroke, every trace leaves paint, taps included, and
// nothing but the program's own lines reaches the terminal.
TEST_P(InkMLPenFiles, PaintEveryTraceThroughABrushThatReloadsAndPrintNothing) {
  const PenFile& c = GetParam();
  const hosttest::HostFolder folder;
  std::filesystem::copy_file(kPenFiles / c.file, folder.path() / "pen.inkml");
  folder.write("script.json", hosttest::script(R"({"step": "tool", "tool": "filbertBrush", "autoReset": true},
    {"step": "color", "color": "#a83226", "wetness": 0.8},
    {"step": "stroke", "inkml": "pen.inkml", "fit": )" + std::string(c.fit ? "true" : "false") + R"(},
    {"step": "save", "name": "end"})", 512, 384));
  ::testing::internal::CaptureStderr();
  const auto result = folder.run({folder.at("script.json"), "-o", folder.at("out"), "--quiet"});
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");

  const auto script = painthost::readScript(folder.path() / "script.json");
  const auto relief = graphics::readPNG(folder.path() / "out" / "end-relief.png");
  ASSERT_TRUE(relief);
  const auto& strokes = std::get<painthost::Strokes>(script.steps[2].action).strokes;
  for (std::size_t t = 0; t < strokes.size(); ++t) {
    Box box;
    for (const auto& s : strokes[t]) box.add(s);
    EXPECT_TRUE(hosttest::showsReliefIn(*relief, box)) << "trace " << t + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Host, InkMLPenFiles,
    ::testing::Values(
        // Hundredths of a millimetre; tilt 19.02 and -4.5 degrees in hundredths.
        PenFile{"ForceAndTiltWithResolutions", "tilt.inkml", false, 3, Sample{110.0126, 90.0, 9000.0 / 32767, 1.2309285763817501, -0.22446026496309382}},
        PenFile{"PressureOnly", "pressure.inkml", true, 3, Sample{44.5204, 94.8281, 200.0 / 1023, kDefaults.altitude, kDefaults.azimuth}},
        PenFile{"CollectionWithTaps", "handwriting.inkml", true, 5, Sample{86.28, 93.04, kDefaults.force, kDefaults.altitude, kDefaults.azimuth}}),
    [](const ::testing::TestParamInfo<PenFile>& info) { return info.param.name; });

}  // namespace
