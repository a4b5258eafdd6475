// What a save point's pictures show: the paint alone, and a relief that thin paint does not leave
// black.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Allocations.h"
#include "HostErrors.h"
#include "HostRun.h"
#include "Painter.h"
#include "SavePoint.h"
#include "StorageFile.h"
#include "components/RawData.h"
#include "tools/ApplicationManager.h"
#include "graphics/Bitmap.h"
#include "graphics/PNGFile.h"

namespace {

using hosttest::HostFolder;

TEST(SavePoint, ThePictureShowsNoToolHeadWhereNoPaintLiesAndTheReliefIsGrey) {
  const HostFolder folder;
  folder.write("script.json", hosttest::script(R"({"step": "tool", "tool": "filbertBrush"},
    {"step": "color", "color": "#b03020", "wetness": 0.8},
    {"step": "stroke", "samples": [{"x": 150, "y": 150, "force": 0.6}, {"x": 180, "y": 156, "force": 0.6},
                                   {"x": 210, "y": 162, "force": 0.6}]},
    {"step": "save", "name": "end"})"));
  const auto result = folder.run({folder.at("script.json"), "-o", folder.at("out"), "--quiet"});
  ASSERT_EQ(result.status, 0) << result.err;
  // The relief is written as a grey picture: an 8-bit PNG of colour type 0.
  const auto relief = hosttest::bytesOf(folder.path() / "out" / "end-relief.png");
  ASSERT_GT(relief.size(), 25u);
  EXPECT_EQ(relief[24], 8) << "bit depth";
  EXPECT_EQ(relief[25], 0) << "colour type";
  const auto picture = graphics::readPNG(folder.path() / "out" / "end.png");
  ASSERT_TRUE(picture);
  // The corner where a debugging session shows the head's height: the white canvas there.
  for (std::size_t y = 40; y < 90; ++y) {
    for (std::size_t x = 0; x < 60; ++x) {
      const auto p = picture->pixel(x, y);
      ASSERT_EQ(p[0] + p[1] + p[2], 3 * 255) << x << ", " << y;
    }
  }
}

struct LayerHeights {
  std::vector<std::uint8_t> wet, dry;
  bool hidden = false;
};

// The relief of layers of four cells holding these wet and dry thicknesses.
std::vector<std::uint8_t> reliefOf(const std::vector<LayerHeights>& layers) {
  painthost::Relief relief(4, 1);
  for (const auto& layer : layers) {
    std::vector<std::uint8_t> wetBytes(16, 0), dryBytes(16, 0);
    for (std::size_t i = 0; i < 4; ++i) wetBytes[i * 4 + 3] = layer.wet[i], dryBytes[i * 4 + 3] = layer.dry[i];
    relief.add(tessivarium::ArtworkRawData(4, 1, 1, std::vector<std::uint8_t>(16, 0), wetBytes, dryBytes), layer.hidden);
  }
  return relief.picture().pixels;
}

TEST(SavePoint, TheReliefRunsFromBlackWhereBareToWhiteAtTheHighestShownPaintByTheSquareRoot) {
  // Heights 0, 1, 40 and 160 bytes.
  const LayerHeights shown{{0, 1, 30, 100}, {0, 0, 10, 60}};
  const std::vector<std::uint8_t> expected{0, 20, 128, 255};  // 255 x sqrt(1 / 160) is 20
  EXPECT_EQ(reliefOf({shown}), expected);
  // Higher paint on a hidden layer, in front and behind, changes nothing.
  const LayerHeights hidden{{200, 200, 0, 250}, {0, 50, 0, 5}, true};
  EXPECT_EQ(reliefOf({hidden, shown, hidden}), expected);

  const LayerHeights bare{{0, 0, 0, 0}, {0, 0, 0, 0}};
  EXPECT_EQ(reliefOf({bare}), (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

// Paint on two layers of a 320 x 256 canvas.
const std::string kTwoLayers = R"({"step": "tool", "tool": "tube"},
  {"step": "stroke", "samples": [{"x": 20, "y": 30}, {"x": 200, "y": 120}]}, {"step": "createLayer"},
  {"step": "stroke", "samples": [{"x": 300, "y": 20}, {"x": 40, "y": 200}]})";
// The allocations of a save point that are not small: its pictures, its records and its buffers.
constexpr std::size_t kLarge = 64 << 10;

std::map<std::string, std::vector<std::uint8_t>> contentsOf(const std::filesystem::path& folder) {
  std::map<std::string, std::vector<std::uint8_t>> contents;
  for (const auto& name : hosttest::filesIn(folder)) contents[name] = hosttest::bytesOf(folder / name);
  return contents;
}

TEST(SavePoint, MemoryRunningOutAtAnyStageLeavesAllThreeFilesOrNoneAndTheEarlierSavePoints) {
  const HostFolder folder;
  const auto script = painthost::parseScript(hosttest::script(kTwoLayers), folder.path(), "script.json");
  painthost::Painter painter(script.canvas);
  for (const auto& step : script.steps) painter.play(step);
  const auto out = folder.path() / "out", whole = folder.path() / "whole";
  painthost::writeSavePoint(painter, out, "first");
  const auto earlier = contentsOf(out);
  std::size_t allocations = 0;
  {
    const hosttest::FailingAllocation counting(0, kLarge);
    painthost::writeSavePoint(painter, whole, "final");
    allocations = counting.count();
  }
  std::set<std::string> messages;
  for (std::size_t n = 1; n <= allocations; ++n) {
    try {
      const hosttest::FailingAllocation failing(n, kLarge);
      painthost::writeSavePoint(painter, out, "final");
      ADD_FAILURE() << "allocation " << n << ": saved";
    } catch (const painthost::EngineFailure& e) {
      messages.insert(e.what());
    }
    EXPECT_EQ(contentsOf(out), earlier) << "allocation " << n;
  }
  // Every stage ran out once: the picture, the relief and the storage file.
  EXPECT_EQ(messages, (std::set<std::string>{"out of memory writing final.png", "out of memory writing final-relief.png",
                                             "out of memory writing final.tess"}));
  // With memory, the save point is the one a save never cut short writes.
  painthost::writeSavePoint(painter, out, "final");
  auto both = earlier;
  both.merge(contentsOf(whole));
  EXPECT_EQ(contentsOf(out), both);
}

TEST(SavePoint, MemoryRunningOutInASaveStepStopsTheRunNamingTheStepAndTheFile) {
  const HostFolder folder;
  folder.write("script.json",
               hosttest::script(R"({"step": "save", "name": "first"}, )" + kTwoLayers + R"(, {"step": "save", "name": "final"})"));
  const std::vector<std::string> args = {folder.at("script.json"), "-o", folder.at("out"), "-q"};
  std::size_t allocations = 0;
  {
    const hosttest::FailingAllocation counting(0, kLarge);
    ASSERT_EQ(folder.run(args).status, 0);
    allocations = counting.count();
  }
  std::filesystem::remove_all(folder.path() / "out");
  // The run's last large allocation is the final save point's.
  const hosttest::FailingAllocation failing(allocations, kLarge);
  const auto result = folder.run(args);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "tessivarium-paint: steps[5] (save): out of memory writing final-relief.png\n");
  EXPECT_EQ(hosttest::filesIn(folder.path() / "out"),
            (std::set<std::string>{"first.png", "first-relief.png", "first.tess", "paint.log"}));
}

TEST(SavePoint, ALoadedFileLeavesItsLayersOnTheCanvasAndNoCopyOfTheirRecords) {
  const HostFolder folder;
  const std::string layers = R"({"step": "createLayer"}, {"step": "createLayer"})";
  folder.write("script.json", hosttest::script(layers + R"(, {"step": "save", "name": "three"})", 512, 512));
  ASSERT_EQ(folder.run({folder.at("script.json"), "-o", folder.at("out"), "-q"}).status, 0);
  const auto script = painthost::parseScript(hosttest::script(layers, 512, 512), folder.path(), "script.json");
  // The texture memory two more layers take.
  std::int64_t twoLayers = 0;
  {
    painthost::Painter made(script.canvas);
    const auto one = tessivarium::AppManager().heapSize();
    for (const auto& step : script.steps) made.play(step);
    twoLayers = tessivarium::AppManager().heapSize() - one;
  }
  painthost::Painter loaded(script.canvas);
  const auto one = tessivarium::AppManager().heapSize();
  const auto held = static_cast<std::int64_t>(hosttest::heldBytes());
  {
    painthost::StorageReader file(folder.path() / "out" / "three.tess");
    loaded.load(file);
  }
  EXPECT_EQ(loaded.layerCount(), 3u);
  EXPECT_EQ(tessivarium::AppManager().heapSize() - one, twoLayers) << "the textures of three layers, and no more";
  // One layer's records, its grid, wet and dry arrays, take 3 MB.
  EXPECT_LT(static_cast<std::int64_t>(hosttest::heldBytes()) - held, 512 * 512 * 4) << "records are not kept";
}

}  // namespace
