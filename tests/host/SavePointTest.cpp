// What a save point's pictures show: the paint alone, and a relief that thin paint does not leave
// black.

#include <gtest/gtest.h>

#include <cstdint>
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

// The large allocations of a run of `steps`, which must succeed.
std::size_t largeAllocations(const HostFolder& folder, const std::string& steps) {
  folder.write("count.json", hosttest::script(steps));
  const hosttest::FailingAllocation counting(0, kLarge);
  EXPECT_EQ(folder.run({folder.at("count.json"), "-o", folder.at("count"), "-q"}).status, 0);
  return counting.count();
}

TEST(SavePoint, MemoryRunningOutAtAnyStageStopsTheRunNamingTheStepAndTheFileAndLeavesNoneOfItsFiles) {
  const HostFolder folder;
  const std::string before = R"({"step": "save", "name": "first"}, )" + kTwoLayers;
  const std::string steps = before + R"(, {"step": "save", "name": "final"})";
  // The final save point's large allocations are the run's last.
  const std::size_t first = largeAllocations(folder, before) + 1, last = largeAllocations(folder, steps);
  folder.write("script.json", hosttest::script(steps));
  std::set<std::string> messages;
  for (std::size_t n = first; n <= last; ++n) {
    const std::string out = folder.at("out" + std::to_string(n));
    const hosttest::FailingAllocation failing(n, kLarge);
    const auto result = folder.run({folder.at("script.json"), "-o", out, "-q"});
    EXPECT_EQ(result.status, 1) << "allocation " << n;
    messages.insert(result.err);
    EXPECT_EQ(hosttest::filesIn(out), (std::set<std::string>{"first.png", "first-relief.png", "first.tess", "paint.log"}))
        << "allocation " << n;
  }
  // Every stage ran out once: the picture, the relief and the storage file.
  const std::string stopped = "tessivarium-paint: steps[5] (save): out of memory writing final";
  EXPECT_EQ(messages, (std::set<std::string>{stopped + ".png\n", stopped + "-relief.png\n", stopped + ".tess\n"}));
}

TEST(SavePoint, ALoadedFileLeavesItsLayersOnTheCanvasAndNoCopyOfTheirRecords) {
  const HostFolder folder;
  folder.write("script.json", hosttest::script(R"({"step": "createLayer"}, {"step": "createLayer"}, {"step": "save", "name": "three"})",
                                               512, 512));
  ASSERT_EQ(folder.run({folder.at("script.json"), "-o", folder.at("out"), "-q"}).status, 0);
  painthost::Painter loaded(painthost::CanvasSettings{512, 512});
  const auto heap = tessivarium::AppManager().heapSize();
  const auto held = static_cast<std::int64_t>(hosttest::heldBytes());
  {
    painthost::StorageReader file(folder.path() / "out" / "three.tess");
    loaded.load(file);
  }
  EXPECT_EQ(loaded.layerCount(), 3u);
  // A layer is 3 MB of grid, wet and dry and 1 MB of picture: two more than the canvas had.
  EXPECT_EQ(tessivarium::AppManager().heapSize() - heap, 2 * 4 * 512 * 512 * 4) << "the textures of three layers, and no more";
  EXPECT_LT(static_cast<std::int64_t>(hosttest::heldBytes()) - held, 512 * 512 * 4) << "no layer's records are kept";
}

}  // namespace
