// Tool steps: the settings a script gives a tool (wet drawing, the dial's angle, cleaning and
// resetting to its saved head) reach the engine's tool, and change the paint as they should.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "HostRun.h"
#include "Painter.h"
#include "Script.h"
#include "ToolNames.h"
#include "components/DrawingPaint.h"
#include "components/RawData.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEDialController.h"
#include "tools/DrawingTool.h"

namespace {

using hosttest::Box;
using painthost::Painter;

painthost::Script scriptOf(const std::string& steps, const hosttest::HostFolder& folder) {
  return painthost::parseScript(hosttest::script(steps, 640, 480), folder.path(), "script.json");
}

// Plays every step of `script` on a new painter.
void playAll(Painter& painter, const painthost::Script& script) {
  for (const auto& step : script.steps) painter.play(step);
}

// The paint's thickness, wet and dry together, in a box of the first layer.
std::int64_t paintIn(Painter& painter, const Box& box) {
  const auto record = painter.canvas().getStorageData().front();
  const auto width = static_cast<std::size_t>(record.width());
  std::int64_t sum = 0;
  for (auto y = static_cast<std::size_t>(box.top); y <= static_cast<std::size_t>(box.bottom); ++y) {
    for (auto x = static_cast<std::size_t>(box.left); x <= static_cast<std::size_t>(box.right); ++x) {
      sum += record.wet()[(y * width + x) * 4 + 3] + record.dry()[(y * width + x) * 4 + 3];
    }
  }
  return sum;
}

// A short stroke to the right from (x, y), and the box around it that the heads reach.
std::string strokeFrom(double x, double y) {
  std::string samples;
  for (int i = 0; i < 3; ++i) {
    samples += (i ? ", " : "") + std::string(R"({"x": )") + std::to_string(x + 30 * i) + R"(, "y": )" + std::to_string(y + 2 * i) +
               R"(, "force": 0.6})";
  }
  return R"({"step": "stroke", "samples": [)" + samples + "]}";
}
Box reachOf(double x, double y) { return {x - 40, y - 30, x + 100, y + 34}; }

// Strokes in a grid of two columns, 70 points apart, each preceded by `before(i)`.
struct Strokes {
  std::string steps;
  std::vector<Box> boxes;
};
Strokes strokes(int count, const std::function<std::string(int)>& before = {}) {
  Strokes made;
  for (int i = 0; i < count; ++i) {
    const double x = 40 + (i % 2) * 280, y = 40 + (i / 2) * 70;
    if (before) made.steps += before(i);
    made.steps += ", " + strokeFrom(x, y);
    made.boxes.push_back(reachOf(x, y));
  }
  return made;
}

TEST(ToolSteps, OfferWhatTheEnginesToolsOfferAndLayPaintWetWhereTheyCan) {
  const hosttest::HostFolder folder;
  std::string steps;
  for (const auto& name : painthost::toolNames()) steps += std::string(steps.empty() ? "" : ", ") + R"({"step": "tool", "tool": ")" + name + R"("})";
  const auto script = scriptOf(steps, folder);
  Painter painter(script.canvas);
  for (const auto& step : script.steps) {
    painter.play(step);
    const std::string& name = std::get<painthost::ChooseTool>(step.action).tool;
    SCOPED_TRACE(name);
    const auto abilities = painthost::abilitiesOf(name);
    const auto& tool = tessivarium::AppManager().currentTool();
    EXPECT_EQ(tool->wetDrawing(), tool->canWetDrawing());
    EXPECT_EQ(tool->canClean(), abilities.clean);
    EXPECT_EQ(tool->canReset(), abilities.reset);
    EXPECT_EQ(tool->canFillColor(), abilities.fill);
    const auto dial = std::dynamic_pointer_cast<tessivarium::DAEDialController>(tool->controller());
    const bool takesTheDial = dial && dial->changeValue().get() == static_cast<tessivarium::ToolChangeValue*>(tool.get());
    ASSERT_EQ(takesTheDial, abilities.dial.has_value());
    if (takesTheDial) {
      EXPECT_FLOAT_EQ(dial->minAngle(), static_cast<float>(abilities.dial->least));
      EXPECT_FLOAT_EQ(dial->maxAngle(), static_cast<float>(abilities.dial->most));
    }
  }
}

// A tool that offers wet drawing lays dry paint with it off, each in a place of its own: no stroke
// leaves wet paint, every stroke dry paint.
TEST(ToolSteps, WithWetDrawingOffEveryToolThatOffersItLaysDryPaint) {
  const hosttest::HostFolder folder;
  std::string steps;
  std::vector<Box> boxes;
  for (const auto& name : painthost::toolNames()) {
    const auto abilities = painthost::abilitiesOf(name);
    if (!abilities.wetDrawing) continue;
    const double x = 40 + static_cast<double>(boxes.size() % 4) * 150, y = 40 + static_cast<double>(boxes.size() / 4) * 90;
    steps += std::string(steps.empty() ? "" : ", ") + R"({"step": "tool", "tool": ")" + name + R"(", "wet": false}, )" +
             (abilities.fill ? R"({"step": "color", "color": "#c03020", "wetness": 0.8}, )" : "") + strokeFrom(x, y);
    boxes.push_back(reachOf(x, y));
  }
  const auto script = scriptOf(steps, folder);
  Painter painter(script.canvas);
  std::size_t stroke = 0;
  for (const auto& step : script.steps) {
    painter.play(step);
    if (!std::holds_alternative<painthost::Strokes>(step.action)) continue;
    const auto record = painter.canvas().getStorageData().front();
    SCOPED_TRACE(painter.toolName());
    EXPECT_TRUE(std::all_of(record.wet().begin(), record.wet().end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_GT(paintIn(painter, boxes[stroke++]), 0);
  }
}

// The rows of a box of the first layer that hold paint.
int paintedRows(Painter& painter, const Box& box) {
  int rows = 0;
  for (double y = box.top; y <= box.bottom; ++y) rows += paintIn(painter, {box.left, y, box.right, y}) > 0 ? 1 : 0;
  return rows;
}

TEST(ToolSteps, AKnifeDragsTheTubesPaintUnlessTheTubeLaidItDry) {
  for (const std::string wet : {"", R"(, "wet": false)"}) {
    SCOPED_TRACE(wet);
    const hosttest::HostFolder folder;
    // The tube as chosen, its starting colour carrying no wetness of its own.
    const auto script = scriptOf(R"({"step": "tool", "tool": "tube")" + wet + R"(},
      {"step": "stroke", "samples": [{"x": 120, "y": 60, "force": 0.7}, {"x": 120, "y": 120, "force": 0.7}, {"x": 120, "y": 180, "force": 0.7}]},
      {"step": "tool", "tool": "knife2"},
      {"step": "stroke", "samples": [{"x": 40, "y": 120, "force": 0.15}, {"x": 120, "y": 121, "force": 0.15}, {"x": 200, "y": 122, "force": 0.15}]})",
                                 folder);
    Painter painter(script.canvas);
    for (std::size_t i = 0; i < 3; ++i) painter.play(script.steps[i]);
    const auto laid = painter.canvas().getStorageData().front();
    painter.play(script.steps[3]);
    const auto cut = painter.canvas().getStorageData().front();
    EXPECT_EQ(laid.wet() != cut.wet() || laid.dry() != cut.dry(), wet.empty());
  }
}

TEST(ToolSteps, TheDialTurnsAFlatBrushToPaintWithItsBroadSide) {
  std::vector<int> rows;
  for (const std::string rotation : {"0", "1.5707963"}) {
    const hosttest::HostFolder folder;
    const auto script = scriptOf(R"({"step": "tool", "tool": "flatBrush", "rotation": )" + rotation +
                                     R"(}, {"step": "color", "color": "#2e7d4f", "wetness": 0.8}, )" + strokeFrom(200, 200),
                                 folder);
    Painter painter(script.canvas);
    playAll(painter, script);
    rows.push_back(paintedRows(painter, reachOf(200, 200)));
  }
  EXPECT_GT(rows[0], 0);
  EXPECT_GT(rows[1], rows[0] * 3 / 2) << "turned a quarter, the brush paints a band half as wide again at least";
}

struct SettingsCase {
  std::string name;
  std::string steps;
  bool wet, autoClean, autoReset;
  float rotation;
  friend void PrintTo(const SettingsCase& c, std::ostream* out) { *out << c.name; }
};

class ToolSettings : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(ToolSettings, ReachTheCurrentTool) {
  const SettingsCase& c = GetParam();
  const hosttest::HostFolder folder;
  const auto script = scriptOf(c.steps, folder);
  Painter painter(script.canvas);
  playAll(painter, script);
  const auto& tool = tessivarium::AppManager().currentTool();
  EXPECT_EQ(tool->wetDrawing(), c.wet);
  EXPECT_EQ(tool->autoClean(), c.autoClean);
  EXPECT_EQ(tool->autoReset(), c.autoReset);
  EXPECT_FLOAT_EQ(tool->rotation(), c.rotation);
}

INSTANTIATE_TEST_SUITE_P(
    Host, ToolSettings,
    ::testing::Values(
        SettingsCase{"TheTubeLaysWetPaint", R"({"step": "tool", "tool": "tube"})", true, false, false, 0},
        SettingsCase{"WetDrawingOff", R"({"step": "tool", "tool": "knife2", "wet": false})", false, false, false, 0},
        SettingsCase{"TheDialTurnsAKnifeBackwards", R"({"step": "tool", "tool": "knife3", "rotation": -1.2})", true, false, false, -1.2f},
        SettingsCase{"TheDialTurnsABrushAllRound", R"({"step": "tool", "tool": "flatBrush", "rotation": 6.283185307179586})", true,
                     false, false, 6.2831855f},
        SettingsCase{"AutoCleanAndAutoReset", R"({"step": "tool", "tool": "filbertBrush", "autoClean": true, "autoReset": true})",
                     true, true, true, 0},
        SettingsCase{"TheTowelCleansItself", R"({"step": "tool", "tool": "towel", "autoClean": true})", false, true, false, 0},
        SettingsCase{"SettingsStayWithTheTool",
                     R"({"step": "tool", "tool": "fanBrush", "rotation": 2, "autoReset": true, "wet": false},
                        {"step": "tool", "tool": "tube"}, {"step": "tool", "tool": "fanBrush"})",
                     false, false, true, 2},
        SettingsCase{"SwitchedOffAgain",
                     R"({"step": "tool", "tool": "bigFanBrush", "autoClean": true, "autoReset": true},
                        {"step": "tool", "tool": "bigFanBrush", "autoClean": false, "autoReset": false})",
                     true, false, false, 0}),
    [](const ::testing::TestParamInfo<SettingsCase>& info) { return info.param.name; });

// How much paint a tool's strokes change, each on paint of its own: a brush loaded once lays less
// and less; with autoReset every stroke end puts the loaded head back. The towel takes up wet paint
// until it is full; a clean empties it.
struct HeadCase {
  std::string name;
  std::string setup;       // the steps before the strokes
  int strokes;
  std::string beforeLast;  // the steps before the last stroke
  bool lastAsFirst;
  friend void PrintTo(const HeadCase& c, std::ostream* out) { *out << c.name; }
};

class ToolHead : public ::testing::TestWithParam<HeadCase> {};

TEST_P(ToolHead, DecidesWhetherTheLastStrokeChangesAsMuchPaintAsTheFirst) {
  const HeadCase& c = GetParam();
  const hosttest::HostFolder folder;
  folder.writePaint("paint.png", 600, 300);
  const auto made = strokes(c.strokes, [&](int i) { return i + 1 == c.strokes ? c.beforeLast : ""; });
  const auto script = scriptOf(c.setup + made.steps, folder);
  Painter painter(script.canvas);
  std::size_t step = 0;
  for (; !std::holds_alternative<painthost::Strokes>(script.steps[step].action); ++step) painter.play(script.steps[step]);
  std::vector<std::int64_t> before;
  for (const auto& box : made.boxes) before.push_back(paintIn(painter, box));
  for (; step < script.steps.size(); ++step) painter.play(script.steps[step]);
  const auto changed = [&](std::size_t i) { return std::abs(static_cast<double>(paintIn(painter, made.boxes[i]) - before[i])); };
  const double first = changed(0), last = changed(made.boxes.size() - 1);
  ASSERT_GT(first, 0);
  if (c.lastAsFirst) {
    EXPECT_NEAR(last, first, 0.05 * first);
  } else {
    EXPECT_LT(last, first / 2);
  }
}

const std::string kLoadedBrush = R"(, {"step": "color", "color": "#c03020", "wetness": 0.8})";
// Thick enough that the towel, whose cloth soaks up many bytes a cell, is full within a few strokes.
const std::string kWetPaint = R"({"step": "importImage", "file": "paint.png", "x": 20, "y": 10, "thickness": 1, "wet": true}, )";

INSTANTIATE_TEST_SUITE_P(
    Host, ToolHead,
    ::testing::Values(
        HeadCase{"ABrushRunsDry", R"({"step": "tool", "tool": "filbertBrush"})" + kLoadedBrush, 10, "", false},
        HeadCase{"AutoResetReloadsIt", R"({"step": "tool", "tool": "filbertBrush", "autoReset": true})" + kLoadedBrush, 10, "", true},
        // The stroke end cleans the head, which with autoReset saves the emptied head as the
        // pattern, then resets to it.
        HeadCase{"AutoCleanThenAutoResetEmptiesIt",
                 R"({"step": "tool", "tool": "filbertBrush", "autoClean": true, "autoReset": true})" + kLoadedBrush, 10, "", false},
        HeadCase{"TheTowelFillsUp", kWetPaint + R"({"step": "tool", "tool": "towel"})", 4, "", false},
        HeadCase{"ACleanEmptiesTheTowel", kWetPaint + R"({"step": "tool", "tool": "towel"})", 4, R"(, {"step": "clean"})", true},
        HeadCase{"AutoCleanEmptiesItEveryTime", kWetPaint + R"({"step": "tool", "tool": "towel", "autoClean": true})", 4, "", true}),
    [](const ::testing::TestParamInfo<HeadCase>& info) { return info.param.name; });

// The wettest paint laid in a box of a layer's record (the wetness byte of a cell holding wet
// paint); none when the box holds none.
std::optional<int> wettestIn(const tessivarium::ArtworkRawData& record, const Box& box) {
  const auto width = static_cast<std::size_t>(record.width());
  std::optional<int> wettest;
  for (auto y = static_cast<std::size_t>(box.top); y <= static_cast<std::size_t>(box.bottom); ++y) {
    for (auto x = static_cast<std::size_t>(box.left); x <= static_cast<std::size_t>(box.right); ++x) {
      const std::size_t at = (y * width + x) * 4;
      if (record.wet()[at + 3] > 0) wettest = std::max(wettest.value_or(0), int{record.grid()[at]});
    }
  }
  return wettest;
}

// A fill's wetness means the same on every tool that takes one: the wetness given, or without one
// the colour's alpha, brought to the nearest wetness level but never below the first (the driest
// paint laid), so that it rises with the fill; a colour picked from the driest paint (whose alpha
// is 0) fills as the driest too. Before any fill the drop tools lay their starting colour fully
// wet. Each row strokes in a 320 x 240 cell of the canvas of its own; one tool is one test, so that
// CTest runs them side by side.
struct FillRow {
  const char* what;
  std::string fill;   // the fields of the colour step before the stroke; none for the tool as it starts
  int laid;           // the wetness laid (for no fill: what the drop tools lay)
  bool pick = false;  // instead, a colour pick of the tube's stroke at wetness 0 above the tool's
};

const FillRow kFillRows[] = {
    {"the starting colour", "", 252},
    {"wetness 0", R"("color": "#c03020", "wetness": 0)", 4},
    {"wetness 0.5", R"("color": "#c03020", "wetness": 0.5)", 124},
    {"wetness 1", R"("color": "#c03020", "wetness": 1)", 252},
    {"alpha 0", R"("color": "#c0302000")", 4},
    {"alpha 1", R"("color": "#c0302001")", 4},
    {"alpha 2", R"("color": "#c0302002")", 4},
    {"alpha 128", R"("color": "#c0302080")", 128},
    {"alpha 255", R"("color": "#c03020ff")", 252},
    {"a pick of the driest paint", "", 4, true},
};

class FillWetness : public ::testing::TestWithParam<std::string> {};

TEST_P(FillWetness, RisesFromTheDriestPaintTheToolLays) {
  const std::string& name = GetParam();
  ASSERT_TRUE(painthost::toolNamed(name)->canFillColor());
  const hosttest::HostFolder folder;
  std::string steps = R"({"step": "tool", "tool": ")" + name + R"("})";
  const auto cellOf = [](std::size_t i) { return std::pair{320.0 * static_cast<double>(i % 4), 240.0 * static_cast<double>(i / 4)}; };
  for (std::size_t i = 0; i < std::size(kFillRows); ++i) {
    const auto [left, top] = cellOf(i);
    const FillRow& row = kFillRows[i];
    if (row.pick) {
      steps += R"(, {"step": "tool", "tool": "tube"}, {"step": "color", "color": "#c03020", "wetness": 0}, )" +
               strokeFrom(left + 60, top + 40) + R"(, {"step": "tool", "tool": ")" + name +
               R"("}, {"step": "pickColor", "x": )" + std::to_string(left + 90) + R"(, "y": )" + std::to_string(top + 42) + "}";
    } else if (!row.fill.empty()) {
      steps += R"(, {"step": "color", )" + row.fill + "}";
    }
    steps += ", " + strokeFrom(left + 60, top + 160);
  }
  const auto script = painthost::parseScript(hosttest::script(steps, 1280, 720), folder.path(), "script.json");
  Painter painter(script.canvas);
  playAll(painter, script);
  const auto record = painter.canvas().getStorageData().front();
  const bool dropTool = name == "tube" || name == "sprayer";
  for (std::size_t i = 0; i < std::size(kFillRows); ++i) {
    const auto [left, top] = cellOf(i);
    const FillRow& row = kFillRows[i];
    const auto laid = wettestIn(record, {left, top, left + 319, top + 239});
    if (row.fill.empty() && !row.pick && !dropTool) {
      EXPECT_GE(laid.value_or(255), 4) << "nothing laid is drier than a fill at 0";
    } else {
      EXPECT_EQ(laid, row.laid) << row.what;
    }
  }
}

// The tools that take a fill (their engine's canFillColor, which the first test holds to).
std::vector<std::string> toolsThatTakeAFill() {
  std::vector<std::string> names;
  for (const auto& name : painthost::toolNames()) {
    if (painthost::abilitiesOf(name).fill) names.push_back(name);
  }
  return names;
}

INSTANTIATE_TEST_SUITE_P(EveryToolThatTakesOne, FillWetness, ::testing::ValuesIn(toolsThatTakeAFill()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
