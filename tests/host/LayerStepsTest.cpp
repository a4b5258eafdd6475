// Steps that need no painting tool: the layer steps with undo and redo, the storage file that a save
// point writes and --load continues from, and outputs that do not depend on the thread count.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "HostErrors.h"
#include "HostRun.h"
#include "LayerCheck.h"
#include "Painter.h"
#include "StorageFile.h"
#include "graphics/Bitmap.h"
#include "graphics/PNGFile.h"
#include "gpu/Parallel.h"

namespace {

using hosttest::HostFolder;
using hosttest::script;

// A 24 x 16 picture of opaque stripes, to import as paint.
void writePicture(const HostFolder& folder, const std::string& name) {
  std::vector<std::uint8_t> pixels(24 * 16 * 4);
  for (std::size_t i = 0; i < 24 * 16; ++i) {
    pixels[i * 4] = static_cast<std::uint8_t>((i % 24) * 10);
    pixels[i * 4 + 1] = 90;
    pixels[i * 4 + 2] = static_cast<std::uint8_t>((i / 24) * 15);
    pixels[i * 4 + 3] = 255;
  }
  ASSERT_TRUE(graphics::writePNG(*graphics::Bitmap::make(24, 16, pixels, graphics::AlphaMode::Straight), folder.path() / name));
}

struct LayerCase {
  std::string name;
  std::string steps;
  std::vector<bool> hidden;  // the stored layers, by their hidden flags
  std::int64_t current;
  friend void PrintTo(const LayerCase& c, std::ostream* out) { *out << c.name; }
};

std::vector<LayerCase> layerCases() {
  return {
      {"CreateSelectsTheNewLayer", R"({"step": "createLayer"}, {"step": "createLayer"})", {false, false, false}, 2},
      {"SelectAndHide", R"({"step": "createLayer"}, {"step": "selectLayer", "layer": 0}, {"step": "hideLayer", "layer": 1})",
       {false, true}, 0},
      {"ShowAgain", R"({"step": "createLayer"}, {"step": "hideLayer"}, {"step": "showLayer"})", {false, false}, 1},
      {"UndoPutsTheDeletedLayerBackAndSelectsIt",
       R"({"step": "createLayer"}, {"step": "deleteLayer", "layer": 0}, {"step": "undo"})", {false, false}, 0},
      {"RedoDeletesAgain", R"({"step": "createLayer"}, {"step": "deleteLayer", "layer": 0}, {"step": "undo"}, {"step": "redo"})",
       {false}, 0},
      {"MergeMakesOneLayerAtTheFront",
       R"({"step": "createLayer"}, {"step": "createLayer"}, {"step": "mergeLayers", "layers": [2, 0]})", {false, false}, 1},
      {"MoveTowardsTheBack", R"({"step": "createLayer"}, {"step": "hideLayer"}, {"step": "moveLayer", "direction": "back"})",
       {true, false}, 0},
  };
}

class LayerSteps : public ::testing::TestWithParam<LayerCase> {};

TEST_P(LayerSteps, ChangeTheStackAsTheStorageFileKeepsIt) {
  const LayerCase& c = GetParam();
  const HostFolder folder;
  folder.write("script.json", script(c.steps + R"(, {"step": "save", "name": "end"})"));
  const auto result = folder.run({folder.at("script.json"), "-o", folder.at("out"), "--quiet"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(hosttest::filesIn(folder.path() / "out"),
            (std::set<std::string>{"end.png", "end-relief.png", "end.tess", "paint.log"}));
  const auto stored = painthost::StorageReader(folder.path() / "out" / "end.tess").read(320, 256);
  EXPECT_EQ(stored.hidden, c.hidden);
  EXPECT_EQ(stored.currentLayer, c.current);
  EXPECT_EQ(stored.records.size(), c.hidden.size());
}

INSTANTIATE_TEST_SUITE_P(Host, LayerSteps, ::testing::ValuesIn(layerCases()),
                         [](const ::testing::TestParamInfo<LayerCase>& info) { return info.param.name; });

// The check before the run follows the engine's history: which steps it records, and which it can
// still undo. A script passes the check exactly when its layer steps find their layers in the run;
// where texture memory decides what the history still holds, the check says so and the run tells.
struct CheckCase {
  std::string name;
  std::string steps;
  std::uint64_t machineMemory;  // 0: this machine's
  std::string refusal;          // part of the check's refusal; none when it passes
  std::string note;             // part of the check's note; none when it has none
  std::string failure;          // part of what stops the run on a layer step; none when it runs
  // The memory the check counts on, where a row sets it exactly instead of the painter's: the engine's
  // own never comes to a whole number of layers and copies.
  std::optional<painthost::HistoryMemory> memory = std::nullopt;
  friend void PrintTo(const CheckCase& c, std::ostream* out) { *out << c.name; }
};

std::string times(int count, const std::string& step) {
  std::string steps;
  for (int i = 0; i < count; ++i) steps += (i ? ", " : "") + step;
  return steps;
}

const std::string kCreate = R"({"step": "createLayer"})", kUndo = R"({"step": "undo"})", kDry = R"({"step": "dryLayer"})",
                  kStroke = R"({"step": "stroke", "samples": [{"x": 10, "y": 10}, {"x": 40, "y": 12}]})";
// Half of it for textures: the canvas starts with room for a few layers, not for forty snapshots.
constexpr std::uint64_t kSmallMachine = 64ull << 20;

std::string select(int layer) { return R"({"step": "selectLayer", "layer": )" + std::to_string(layer) + "}"; }

// A layer and a copy of its paint as a 320 x 256 canvas counts them, with `room` left.
constexpr std::int64_t kLayer = 4 * 320 * 256 * 4, kCopy = 3 * 320 * 256 * 4;
painthost::HistoryMemory room(std::int64_t bytes) { return {bytes, kLayer, kCopy}; }

std::vector<CheckCase> checkCases() {
  const std::string missing = "does not exist (the canvas has ";
  return {
      {"EveryUndoneCreationIsGone", times(45, kCreate) + ", " + times(45, kUndo) + ", " + select(5), 0,
       "steps[90]: layer 5 " + missing + "1 layer then)", "", "steps[90] (selectLayer): layer 5 " + missing + "1)"},
      {"FortyDriesDoNotPushTheCreationOut", kCreate + ", " + times(40, kDry) + ", " + times(41, kUndo) + ", " + select(1), 0,
       "steps[82]: layer 1 " + missing + "1 layer then)", "", "steps[82] (selectLayer): layer 1 "},
      {"AShowThatChangesNothingIsNotUndone", kCreate + R"(, {"step": "showLayer", "layer": 0}, )" + kUndo + ", " + select(1), 0,
       "steps[3]: layer 1 ", "", "steps[3] (selectLayer): layer 1 "},
      {"AShowThatChangesNothingKeepsTheRedo",
       kCreate + ", " + kUndo + R"(, {"step": "showLayer", "layer": 0}, {"step": "redo"}, )" + select(1), 0, "", "", ""},
      {"AHideThatChangesNothingBeforeTheUndos",
       kCreate + ", " + select(0) + R"(, {"step": "hideLayer", "layer": 0}, {"step": "hideLayer", "layer": 0}, )" + kUndo + ", " +
           kUndo + ", " + select(1),
       0, "steps[6]: layer 1 ", "", "steps[6] (selectLayer): layer 1 "},
      {"AStrokeOnAHiddenLayerIsNotRecorded",
       kCreate + R"(, {"step": "hideLayer"}, )" + kStroke + ", " + kUndo + ", " + kUndo + ", " + select(1),
       0, "steps[5]: layer 1 ", "", "steps[5] (selectLayer): layer 1 "},
      // The undo of the dry selects its hidden layer, where the stroke then records nothing.
      {"AnUndoSelectsTheLayerOfItsStep",
       kCreate + R"(, {"step": "hideLayer", "layer": 0}, {"step": "dryLayer", "layer": 0}, )" + kUndo + ", " + kStroke + ", " +
           kUndo + ", " + kUndo + ", " + select(1),
       0, "steps[7]: layer 1 ", "", "steps[7] (selectLayer): layer 1 "},
      // Short of texture memory, the dries give up the oldest steps, the creation first.
      {"DriesPushTheCreationOut", kCreate + ", " + times(40, kDry) + ", " + times(41, kUndo) + ", " + select(1), kSmallMachine,
       "", "steps[42] (undo): which step this takes back depends on what texture memory leaves", ""},
      {"DriesPushTheDeletionOut",
       kCreate + ", " + kCreate + R"(, {"step": "deleteLayer"}, )" + times(40, kDry) + ", " + times(41, kUndo) + ", " + select(2),
       kSmallMachine, "", "steps[44] (undo): which step", "layer 2 " + missing + "2; texture memory made the undo history give up its "},
      // A new layer takes its room from the history.
      {"CreationsPushTheDriesOut", times(40, kDry) + ", " + kCreate + ", " + kCreate + ", " + select(2), kSmallMachine, "", "", ""},
      // Near the limit: twenty copies of the layer fit beside the creation once the rebuilds' spare
      // working sets have given way, and an undone creation gives its layer's room back.
      {"TwentyDriesFitBesideTheSpareSets", kCreate + ", " + times(20, kDry) + ", " + times(21, kUndo) + ", " + select(1),
       kSmallMachine, "steps[42]: layer 1 " + missing + "1 layer then)", "", "steps[42] (selectLayer): layer 1 "},
      {"AnUndoneCreationGivesItsRoomBack",
       kCreate + ", " + kUndo + ", " + times(21, kDry) + ", " + times(21, kUndo) + ", " + select(0), kSmallMachine, "", "", ""},
      // A copy is made only below the limit, a layer only where it does not pass it; otherwise the
      // steps before them may give way.
      {"ACopyAtTheLimitGivesUpTheHistory", times(3, kDry) + ", " + times(2, kUndo), 0, "",
       "steps[4] (undo): which step this takes back", "", room(2 * kCopy)},
      {"ACopyBelowTheLimitKeepsTheHistory", times(3, kDry) + ", " + times(3, kUndo), 0, "", "", "", room(2 * kCopy + 1)},
      {"ALayerThatFillsTheRoomKeepsTheHistory", kDry + ", " + kCreate + ", " + times(2, kUndo), 0, "", "", "", room(kCopy + kLayer)},
      {"ALayerBeyondTheRoomGivesUpTheHistory", kDry + ", " + kCreate + ", " + times(2, kUndo), 0, "", "steps[3] (undo): which step",
       "", room(kCopy + kLayer - 1)},
      // A move's undo moves the layer back the other way, and a redone merge puts its layer at the
      // front: which layer each selects decides where the stroke is recorded and what the last undo
      // takes back.
      {"AMoveUndoneAfterAStroke",
       kCreate + ", " + kCreate + R"(, {"step": "hideLayer", "layer": 1}, {"step": "moveLayer", "layer": 0, "direction": "front"}, )" +
           select(0) + ", " + kStroke + ", " + times(3, kUndo) + ", " + select(2),
       0, "steps[9]: layer 2 " + missing + "2 layers then)", "", "steps[9] (selectLayer): layer 2 " + missing + "2)"},
      {"ARedoneMergeAtTheFront",
       kCreate + ", " + kCreate + R"(, {"step": "hideLayer", "layer": 2}, {"step": "mergeLayers", "layers": [0, 1]}, )" + kUndo +
           R"(, {"step": "redo"}, )" + kStroke + ", " + kUndo + ", " + select(2),
       0, "steps[8]: layer 2 " + missing + "2 layers then)", "", "steps[8] (selectLayer): layer 2 " + missing + "2)"},
  };
}

class LayerCheck : public ::testing::TestWithParam<CheckCase> {};

// Four worker threads whatever the machine's cores: the rebuilds keep a spare working set for each,
// which a small machine's texture memory holds beside the history.
class FourWorkerThreads {
 public:
  FourWorkerThreads() : previous_(gpu::workerThreadCount()) { gpu::setWorkerThreadCount(4); }
  ~FourWorkerThreads() { gpu::setWorkerThreadCount(previous_); }
  FourWorkerThreads(const FourWorkerThreads&) = delete;
  FourWorkerThreads& operator=(const FourWorkerThreads&) = delete;

 private:
  std::size_t previous_;
};

TEST_P(LayerCheck, PassesExactlyTheScriptsWhoseLayersTheRunFinds) {
  const CheckCase& c = GetParam();
  const HostFolder folder;
  const auto played = painthost::parseScript(script(c.steps), folder.path(), "script.json");
  const FourWorkerThreads threads;
  painthost::Painter painter(played.canvas, c.machineMemory ? c.machineMemory : painthost::physicalMemory());
  std::string refusal, note, failure;
  try {
    note = painthost::checkLayerSteps(played, painter.startingLayers(), c.memory.value_or(painter.historyMemory()), "script.json")
               .value_or("");
  } catch (const painthost::BadInput& e) {
    refusal = e.what();
  }
  for (const auto& step : played.steps) {
    try {
      painter.play(step);
    } catch (const painthost::EngineFailure& e) {
      failure = e.what();
      break;
    }
  }
  const auto says = [](const std::string& text, const std::string& part) {
    return part.empty() ? text.empty() : text.find(part) != std::string::npos;
  };
  EXPECT_TRUE(says(refusal, c.refusal)) << refusal;
  EXPECT_TRUE(says(note, c.note)) << note;
  EXPECT_TRUE(says(failure, c.failure)) << failure;
  if (note.empty()) {
    EXPECT_EQ(refusal.empty(), failure.empty()) << "the check passes exactly when the run finds its layers";
  }
}

INSTANTIATE_TEST_SUITE_P(Host, LayerCheck, ::testing::ValuesIn(checkCases()),
                         [](const ::testing::TestParamInfo<CheckCase>& info) { return info.param.name; });

// Imported paint on two layers, one of them moved and wetted between the two save points.
const std::string kFirstHalf = R"({"step": "importImage", "file": "stripes.png", "x": 40, "y": 30},
  {"step": "createLayer"}, {"step": "importImage", "file": "stripes.png", "x": 50, "y": 36, "wet": true},
  {"step": "tool", "tool": "filbertBrush"}, {"step": "color", "color": "#c03020", "wetness": 0.8},
  {"step": "stroke", "samples": [{"x": 60, "y": 40}, {"x": 70, "y": 44}, {"x": 80, "y": 50}]},
  {"step": "createLayer"}, {"step": "importImage", "file": "stripes.png", "x": 120, "y": 60}, {"step": "hideLayer"},
  {"step": "selectLayer", "layer": 1})";
// Its first import goes into the layer the first half left current.
const std::string kSecondHalf = R"({"step": "importImage", "file": "stripes.png", "x": 200, "y": 100},
  {"step": "moveLayer", "layer": 1, "direction": "back"},
  {"step": "wetLayer", "layer": 0, "wetness": 0.5, "thickness": 0.02}, {"step": "dryLayer"},
  {"step": "save", "name": "end"})";

TEST(LayerStepsRuns, ALoadedSavePointContinuesToTheSamePictureAsOneRun) {
  const HostFolder folder;
  writePicture(folder, "stripes.png");
  folder.write("whole.json", script(kFirstHalf + R"(, {"step": "save", "name": "middle"}, )" + kSecondHalf));
  folder.write("rest.json", script(kSecondHalf));
  ASSERT_EQ(folder.run({folder.at("whole.json"), "-o", folder.at("one"), "-q"}).status, 0);
  const auto split = folder.run({folder.at("rest.json"), "-o", folder.at("two"), "-q", "--load", folder.at("one/middle.tess")});
  ASSERT_EQ(split.status, 0) << split.err;
  for (const std::string file : {"end.png", "end-relief.png", "end.tess"}) {
    EXPECT_EQ(hosttest::bytesOf(folder.path() / "one" / file), hosttest::bytesOf(folder.path() / "two" / file)) << file;
  }
  EXPECT_NE(hosttest::bytesOf(folder.path() / "one" / "middle.png"), hosttest::bytesOf(folder.path() / "one" / "end.png"));

  // Every layer of a loaded canvas composes its picture afresh: the same picture as the save point's.
  folder.write("again.json", script(R"({"step": "save", "name": "again"})"));
  ASSERT_EQ(folder.run({folder.at("again.json"), "-o", folder.at("three"), "-q", "--load", folder.at("one/end.tess")}).status, 0);
  EXPECT_EQ(hosttest::bytesOf(folder.path() / "three" / "again.png"), hosttest::bytesOf(folder.path() / "one" / "end.png"));
}

// A stroke on a hidden layer paints nothing, whatever steps came before it (here an import undone and
// redone on the hidden layer, which gives a layer its frames back): the save point is the one the
// same script writes without those strokes.
struct HiddenStrokesCase {
  std::string name;
  std::string before, hiddenStrokes, after;
  friend void PrintTo(const HiddenStrokesCase& c, std::ostream* out) { *out << c.name; }
};

// A stroke of ten samples from (x0, y0) to (x1, y1), zigzagging 8 points.
std::string strokeStep(double x0, double y0, double x1, double y1) {
  std::string samples;
  for (int i = 0; i < 10; ++i) {
    const double t = i / 9.0;
    samples += std::string(i ? ", " : "") + R"({"x": )" + std::to_string(x0 + (x1 - x0) * t) + R"(, "y": )" +
               std::to_string(y0 + (y1 - y0) * t + (i % 2) * 8) + R"(, "force": 0.5})";
  }
  return R"({"step": "stroke", "samples": [)" + samples + "]}";
}

std::vector<HiddenStrokesCase> hiddenStrokesCases() {
  const std::string importUndoneAndRedone =
      R"({"step": "importImage", "file": "paint.png", "x": 40, "y": 90, "thickness": 0.1, "wet": true},
         {"step": "undo"}, {"step": "redo"})";
  return {
      {"KnifeStrokesOnTheHiddenBackLayer",
       R"({"step": "importImage", "file": "paint.png", "x": 20, "y": 40, "thickness": 0.1, "wet": true},
          {"step": "tool", "tool": "knife2"}, )" + strokeStep(30, 100, 200, 110) + R"(, {"step": "undo"},
          {"step": "hideLayer", "layer": 0}, )" + importUndoneAndRedone + ", ",
       strokeStep(40, 60, 210, 60) + ", " + strokeStep(40, 120, 210, 130) + ", " + strokeStep(40, 180, 210, 200) + ", ",
       R"({"step": "showLayer", "layer": 0})"},
      {"ABrushStrokeOnAHiddenFrontLayerThenAKnifeBehindIt",
       R"({"step": "tool", "tool": "flatBrush"}, {"step": "color", "color": "#2050c0"}, )" + strokeStep(40, 60, 210, 80) +
           R"(, {"step": "createLayer"}, {"step": "hideLayer", "layer": 1}, )" + importUndoneAndRedone +
           R"(, {"step": "color", "color": "#c02020"}, )",
       strokeStep(40, 150, 210, 170) + ", ",
       R"({"step": "selectLayer", "layer": 0}, {"step": "tool", "tool": "knife2"}, )" + strokeStep(30, 200, 220, 70)},
  };
}

class LayerStepsHiddenStrokes : public ::testing::TestWithParam<HiddenStrokesCase> {};

TEST_P(LayerStepsHiddenStrokes, LeaveTheSavePointAsWithoutThem) {
  const HiddenStrokesCase& c = GetParam();
  const HostFolder folder;
  folder.writePaint("paint.png", 120, 80);
  const std::string save = R"(, {"step": "save", "name": "end"})";
  folder.write("with.json", script(c.before + c.hiddenStrokes + c.after + save, 256, 256));
  folder.write("without.json", script(c.before + c.after + save, 256, 256));
  for (const std::string run : {"with", "without"}) {
    const auto result = folder.run({folder.at(run + ".json"), "-o", folder.at(run), "-q"});
    ASSERT_EQ(result.status, 0) << run << ": " << result.err;
  }
  for (const std::string file : {"end.tess", "end.png"}) {
    EXPECT_TRUE(hosttest::bytesOf(folder.path() / "with" / file) == hosttest::bytesOf(folder.path() / "without" / file))
        << file << " differs";
  }
}

INSTANTIATE_TEST_SUITE_P(Host, LayerStepsHiddenStrokes, ::testing::ValuesIn(hiddenStrokesCases()),
                         [](const ::testing::TestParamInfo<HiddenStrokesCase>& info) { return info.param.name; });

TEST(LayerStepsRuns, TheOutputsDoNotDependOnTheThreadCount) {
  const HostFolder folder;
  writePicture(folder, "stripes.png");
  folder.write("script.json", script(kFirstHalf + ", " + kSecondHalf));
  for (const std::string threads : {"1", "8"}) {
    ASSERT_EQ(folder.run({folder.at("script.json"), "-o", folder.at("t" + threads), "-q", "--threads", threads}).status, 0);
  }
  for (const std::string file : {"end.png", "end-relief.png", "end.tess"}) {
    EXPECT_EQ(hosttest::bytesOf(folder.path() / "t1" / file), hosttest::bytesOf(folder.path() / "t8" / file)) << file;
  }
}

}  // namespace
