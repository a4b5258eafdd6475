// The demonstration, played step by step as the program plays it: every tool of the manager strokes,
// every stroke changes the layer it paints (so no wetter stroke goes over paint the tube laid wet),
// the dial, cleaning and reloading are shown, and its save points hold the picture and the relief.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "HostRun.h"
#include "Painter.h"
#include "SavePoint.h"
#include "Script.h"
#include "ToolNames.h"
#include "components/DrawingPaint.h"
#include "components/RawData.h"
#include "foundation/Bundle.h"
#include "graphics/Bitmap.h"
#include "graphics/PNGFile.h"

namespace {

using namespace painthost;
using hosttest::Box;

// The paint of one layer, all three arrays.
std::vector<std::uint8_t> layerBytes(Painter& painter, std::size_t layer) {
  const auto records = painter.canvas().getStorageData();
  const auto& r = records.at(layer);
  std::vector<std::uint8_t> bytes = r.grid();
  bytes.insert(bytes.end(), r.wet().begin(), r.wet().end());
  bytes.insert(bytes.end(), r.dry().begin(), r.dry().end());
  return bytes;
}

bool isOneColour(const graphics::Bitmap& bitmap) {
  const auto& p = bitmap.pixels();
  for (std::size_t i = 4; i < p.size(); i += 4) {
    if (!std::equal(p.begin(), p.begin() + 4, p.begin() + static_cast<std::ptrdiff_t>(i))) return false;
  }
  return true;
}

bool isTubeOrBrush(const std::string& tool) {
  return tool == "tube" || tool.find("Brush") != std::string::npos;
}

TEST(Demo, EveryToolStrokesAndEveryStrokeChangesItsLayer) {
  const Script script = readScript(foundation::Bundle::main().root() / "examples" / "demo.json");
  EXPECT_EQ(script.canvas.width, 1024);
  EXPECT_EQ(script.canvas.height, 768);
  const hosttest::HostFolder folder;
  Painter painter(script.canvas);

  std::set<std::string> chosen, stroked, settings;
  std::vector<Box> reliefBoxes;  // where the tube and the brushes painted
  std::vector<std::string> saves;
  for (const Step& step : script.steps) {
    if (const auto* tool = std::get_if<ChooseTool>(&step.action)) {
      chosen.insert(tool->tool);
      if (tool->rotation) settings.insert("rotation");
      if (tool->autoClean.value_or(false)) settings.insert("autoClean");
      if (tool->autoReset.value_or(false)) settings.insert("autoReset");
    }
    if (std::holds_alternative<CleanTool>(step.action)) settings.insert("clean");
    const auto* strokes = std::get_if<Strokes>(&step.action);
    if (!strokes) {
      painter.play(step);
      if (const auto* save = std::get_if<Save>(&step.action)) {
        writeSavePoint(painter, folder.path(), save->name);
        saves.push_back(save->name);
      }
      continue;
    }
    const auto layer = static_cast<std::size_t>(painter.canvas().layerIndex());
    const auto before = layerBytes(painter, layer);
    painter.play(step);
    EXPECT_NE(layerBytes(painter, layer), before) << step.where << ": the " << painter.toolName() << "'s stroke";
    stroked.insert(painter.toolName());
    if (isTubeOrBrush(painter.toolName())) {
      for (const auto& stroke : strokes->strokes) {
        Box box;
        for (const auto& s : stroke) box.add(s);
        reliefBoxes.push_back(box);
      }
    }
  }
  EXPECT_EQ(stroked, chosen) << "every tool chosen strokes";
  EXPECT_EQ(chosen, std::set<std::string>(toolNames().begin(), toolNames().end())) << "every tool of the manager";
  for (const std::string kind : {"pickColor", "pickPattern"}) {
    EXPECT_TRUE(std::any_of(script.steps.begin(), script.steps.end(), [&](const Step& s) { return s.kind == kind; })) << kind;
  }
  EXPECT_EQ(settings, (std::set<std::string>{"rotation", "autoClean", "autoReset", "clean"})) << "the dial, cleaning and reloading";
  EXPECT_EQ(painter.canvas().layers().size(), 2u);

  ASSERT_FALSE(saves.empty());
  for (const auto& name : saves) {
    const auto picture = graphics::readPNG(folder.path() / (name + ".png"));
    ASSERT_TRUE(picture) << name;
    EXPECT_EQ(picture->width(), 1024u);
    EXPECT_EQ(picture->height(), 768u);
    EXPECT_FALSE(isOneColour(*picture)) << name;
  }
  // The paint's own relief: the written one stands on the canvas's weave everywhere.
  const auto cells = painter.cellSize();
  painthost::Relief paint(static_cast<std::size_t>(cells.width), static_cast<std::size_t>(cells.height));
  painter.eachRecord([&](bool hidden, const tessivarium::ArtworkRawData& record) { paint.add(record, hidden); });
  const auto painted = paint.picture();
  std::vector<std::uint8_t> grey;
  for (const auto g : painted.pixels) grey.insert(grey.end(), {g, g, g, 255});
  const auto relief = graphics::Bitmap::make(painted.width, painted.height, std::move(grey), graphics::AlphaMode::Straight);
  for (const auto& box : reliefBoxes) {
    EXPECT_TRUE(hosttest::showsReliefIn(*relief, box)) << "no height in " << box.left << ", " << box.top << " to " << box.right << ", " << box.bottom;
  }
}

// The demonstration's text, and the folder of the files it names.
std::string demonstrationText() {
  std::ifstream in(foundation::Bundle::main().root() / "examples" / "demo.json", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every tool at 1 and at 8 worker threads, and a run continued with --load from a save point before
// the second layer: there every tool of the second half is fresh in both runs, as in a loaded one,
// so the continued run paints with every one of them the same bytes as the run without the split.
TEST(Demo, WritesTheSameFilesAt1And8ThreadsAndWhenContinuedFromASavePoint) {
  const hosttest::HostFolder folder;
  for (const auto& entry : std::filesystem::directory_iterator(foundation::Bundle::main().root() / "examples")) {
    if (entry.path().extension() != ".json") std::filesystem::copy_file(entry.path(), folder.path() / entry.path().filename());
  }
  const std::string demo = demonstrationText();
  const std::string split = R"({"step": "createLayer"})", steps = R"("steps": [)";
  const auto at = demo.find(split), stepsAt = demo.find(steps);
  ASSERT_NE(at, std::string::npos);
  ASSERT_EQ(demo.find(split, at + 1), std::string::npos) << "the demonstration makes its second layer once";
  ASSERT_NE(stepsAt, std::string::npos);
  folder.write("whole.json", demo.substr(0, at) + R"({"step": "save", "name": "middle"}, )" + demo.substr(at));
  folder.write("rest.json", demo.substr(0, stepsAt + steps.size()) + demo.substr(at));

  for (const std::string threads : {"1", "8"}) {
    const auto run = folder.run({folder.at("whole.json"), "-o", folder.at("t" + threads), "-q", "--threads", threads});
    ASSERT_EQ(run.status, 0) << run.err;
  }
  const auto rest = folder.run({folder.at("rest.json"), "-o", folder.at("rest"), "-q", "--load", folder.at("t1/middle.tess")});
  ASSERT_EQ(rest.status, 0) << rest.err;

  const auto bytes = [&](const std::string& run, const std::string& file) { return hosttest::bytesOf(folder.path() / run / file); };
  for (const std::string save : {"middle", "final"}) {
    for (const std::string& file : {save + ".png", save + "-relief.png", save + ".tess"}) {
      EXPECT_FALSE(bytes("t1", file).empty()) << file;
      EXPECT_TRUE(bytes("t1", file) == bytes("t8", file)) << file << " at 1 and at 8 threads";
      if (save == "final") {
        EXPECT_TRUE(bytes("t1", file) == bytes("rest", file)) << file << " continued with --load";
      }
    }
  }
}

}  // namespace
