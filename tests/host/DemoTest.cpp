// The demonstration, played step by step as the program plays it: every tool of the manager strokes,
// every stroke changes the layer it paints, and its save points hold the picture and the relief.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "HostRun.h"
#include "Painter.h"
#include "SavePoint.h"
#include "Script.h"
#include "ToolNames.h"
#include "components/DrawingPaint.h"
#include "foundation/Bundle.h"
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

bool showsReliefIn(const graphics::Bitmap& relief, const Box& box) {
  for (auto y = static_cast<std::size_t>(box.top); y <= static_cast<std::size_t>(box.bottom); ++y) {
    for (auto x = static_cast<std::size_t>(box.left); x <= static_cast<std::size_t>(box.right); ++x) {
      if (relief.pixel(x, y)[0] > 0) return true;
    }
  }
  return false;
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

  std::set<std::string> chosen, stroked;
  std::vector<Box> reliefBoxes;  // where the tube and the brushes painted
  std::vector<std::string> saves;
  for (const Step& step : script.steps) {
    if (const auto* tool = std::get_if<ChooseTool>(&step.action)) chosen.insert(tool->tool);
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
  EXPECT_EQ(painter.canvas().layers().size(), 2u);

  ASSERT_FALSE(saves.empty());
  for (const auto& name : saves) {
    const auto picture = graphics::readPNG(folder.path() / (name + ".png"));
    ASSERT_TRUE(picture) << name;
    EXPECT_EQ(picture->width(), 1024u);
    EXPECT_EQ(picture->height(), 768u);
    EXPECT_FALSE(isOneColour(*picture)) << name;
  }
  const auto relief = graphics::readPNG(folder.path() / (saves.back() + "-relief.png"));
  ASSERT_TRUE(relief);
  for (const auto& box : reliefBoxes) {
    EXPECT_TRUE(showsReliefIn(*relief, box)) << "no height in " << box.left << ", " << box.top << " to " << box.right << ", " << box.bottom;
  }
}

}  // namespace
