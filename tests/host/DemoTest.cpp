// The demonstration, played step by step as the program plays it: every tool of the manager strokes,
// every stroke changes the layer it paints (so no wetter stroke goes over paint the tube laid wet),
// the dial, cleaning and reloading are shown, and its save points hold the picture and the relief.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
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
#include "utils/TextureUtil.h"

namespace {

using namespace painthost;
using hosttest::Box;

// Under the sanitizers the engine runs several times slower: there the demonstration plays the same
// samples and steps in fewer, larger frames, so that each test stays well inside the per-test
// limit on a busy machine. The release build plays it as written.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif
constexpr int kSanitizedSamplesPerFrame = 16;

// The paint of one layer: its grid, wet and dry bytes.
using LayerPaint = std::array<std::vector<std::uint8_t>, 3>;
LayerPaint layerPaint(Painter& painter, std::size_t layer) {
  auto& textures = *painter.canvas().layers().at(layer);
  return {tessivarium::TextureUtil::toRawData(*textures.gridTexture()), tessivarium::TextureUtil::toRawData(*textures.wetTexture()),
          tessivarium::TextureUtil::toRawData(*textures.dryTexture())};
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
  Script script = readScript(foundation::Bundle::main().root() / "examples" / "demo.json");
  if (kSanitized) {
    for (Step& step : script.steps) {
      if (auto* strokes = std::get_if<Strokes>(&step.action)) strokes->samplesPerFrame = kSanitizedSamplesPerFrame;
    }
  }
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
    const LayerPaint before = layerPaint(painter, layer);
    painter.play(step);
    EXPECT_NE(layerPaint(painter, layer), before) << step.where << ": the " << painter.toolName() << "'s stroke";
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

// The demonstration's text (in the sanitized build each stroke in frames of
// kSanitizedSamplesPerFrame samples), for the command line's runs. Every stroke of the
// demonstration gives its frames, so the sanitized build replaces the number: a second
// "samplesPerFrame" in one step is refused.
std::string demonstrationText() {
  std::ifstream in(foundation::Bundle::main().root() / "examples" / "demo.json", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (kSanitized) {
    const std::regex framed(R"("samplesPerFrame": [0-9]+)");
    const auto count = [&text](const std::string& what) {
      std::size_t n = 0;
      for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
      return n;
    };
    EXPECT_EQ(count(R"("samplesPerFrame": )"), count(R"("step": "stroke")")) << "a stroke of the demonstration without its frames";
    text = std::regex_replace(text, framed, R"("samplesPerFrame": )" + std::to_string(kSanitizedSamplesPerFrame));
  }
  return text;
}

// A folder holding the demonstration's files and three scripts made of it: "whole.json", with a
// save point "middle" before the second layer; "head.json", the steps up to that save point; and
// "rest.json", the steps from there on. There every tool of the second half is fresh in each, as in
// a loaded run.
class DemoFolder : public hosttest::HostFolder {
 public:
  DemoFolder() {
    for (const auto& entry : std::filesystem::directory_iterator(foundation::Bundle::main().root() / "examples")) {
      if (entry.path().extension() != ".json") std::filesystem::copy_file(entry.path(), path() / entry.path().filename());
    }
    const std::string demo = demonstrationText();
    const std::string split = R"({"step": "createLayer"})", steps = R"("steps": [)", save = R"({"step": "save", "name": "middle"})";
    const auto at = demo.find(split), stepsAt = demo.find(steps);
    if (at == std::string::npos || stepsAt == std::string::npos || demo.find(split, at + 1) != std::string::npos) {
      ADD_FAILURE() << "the demonstration makes its second layer once";
      return;
    }
    write("whole.json", demo.substr(0, at) + save + ", " + demo.substr(at));
    write("head.json", demo.substr(0, at) + save + "]}");
    write("rest.json", demo.substr(0, stepsAt + steps.size()) + demo.substr(at));
  }

  // Plays `script` into the folder `out` with `options`; false (and a failure) when it fails.
  bool play(const std::string& script, const std::string& out, const std::vector<std::string>& options) const {
    std::vector<std::string> args{at(script), "-o", at(out), "-q"};
    args.insert(args.end(), options.begin(), options.end());
    const auto result = run(args);
    EXPECT_EQ(result.status, 0) << script << ": " << result.err;
    return result.status == 0;
  }
  // The files of save point `save` in the folder `out`: the picture, the relief, the storage file.
  void expectTheSameFiles(const std::string& save, const std::string& out, const std::string& other) const {
    for (const std::string& file : {save + ".png", save + "-relief.png", save + ".tess"}) {
      const auto bytes = hosttest::bytesOf(path() / out / file);
      EXPECT_FALSE(bytes.empty()) << out << "/" << file;
      EXPECT_TRUE(bytes == hosttest::bytesOf(path() / other / file)) << file << " in " << out << " and " << other;
    }
  }
};

// The first half at 1 and at 8 worker threads; the second half at 8 in the test after.
TEST(Demo, UpToTheSecondLayerWritesTheSameFilesAt1And8Threads) {
  const DemoFolder folder;
  ASSERT_TRUE(folder.play("head.json", "t1", {"--threads", "1"}));
  ASSERT_TRUE(folder.play("head.json", "t8", {"--threads", "8"}));
  folder.expectTheSameFiles("middle", "t1", "t8");
}

// A run continued with --load from the save point before the second layer, at 2 threads, paints
// with every tool of the second half the same bytes as the whole run at 8: the work split another
// way, in less time than one thread takes (the first half is compared at 1 thread above).
TEST(Demo, ContinuedFromASavePointAt2ThreadsWritesTheSameFilesAsTheWholeRunAt8) {
  const DemoFolder folder;
  ASSERT_TRUE(folder.play("whole.json", "whole", {"--threads", "8"}));
  ASSERT_TRUE(folder.play("rest.json", "rest", {"--threads", "2", "--load", folder.at("whole/middle.tess")}));
  folder.expectTheSameFiles("final", "whole", "rest");
}

}  // namespace
