// What a save point's pictures show: the paint alone, and a relief that thin paint does not leave
// black.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "HostRun.h"
#include "SavePoint.h"
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

// Layers of four cells holding these wet and dry thicknesses.
painthost::StoredPainting paintingOf(const std::vector<LayerHeights>& layers) {
  painthost::StoredPainting painting;
  painting.width = 4, painting.height = 1;
  for (const auto& layer : layers) {
    std::vector<std::uint8_t> wetBytes(16, 0), dryBytes(16, 0);
    for (std::size_t i = 0; i < 4; ++i) wetBytes[i * 4 + 3] = layer.wet[i], dryBytes[i * 4 + 3] = layer.dry[i];
    painting.hidden.push_back(layer.hidden);
    painting.records.emplace_back(4, 1, 1, std::vector<std::uint8_t>(16, 0), wetBytes, dryBytes);
  }
  return painting;
}

TEST(SavePoint, TheReliefRunsFromBlackWhereBareToWhiteAtTheHighestShownPaintByTheSquareRoot) {
  // Heights 0, 1, 40 and 160 bytes.
  const LayerHeights shown{{0, 1, 30, 100}, {0, 0, 10, 60}};
  const std::vector<std::uint8_t> expected{0, 20, 128, 255};  // 255 x sqrt(1 / 160) is 20
  EXPECT_EQ(painthost::reliefOf(paintingOf({shown})).pixels, expected);
  // Higher paint on a hidden layer, in front and behind, changes nothing.
  const LayerHeights hidden{{200, 200, 0, 250}, {0, 50, 0, 5}, true};
  EXPECT_EQ(painthost::reliefOf(paintingOf({hidden, shown, hidden})).pixels, expected);

  const LayerHeights bare{{0, 0, 0, 0}, {0, 0, 0, 0}};
  EXPECT_EQ(painthost::reliefOf(paintingOf({bare})).pixels, (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

}  // namespace
