// What a save point's pictures show: the paint alone, and a relief that thin paint does not leave
// black.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "HostRun.h"
#include "SavePoint.h"
#include "graphics/Bitmap.h"
#include "graphics/PNGFile.h"

namespace {

using hosttest::HostFolder;

TEST(SavePoint, ThePictureShowsNoToolHeadWhereNoPaintLies) {
  const HostFolder folder;
  folder.write("script.json", hosttest::script(R"({"step": "tool", "tool": "filbertBrush"},
    {"step": "color", "color": "#b03020", "wetness": 0.8},
    {"step": "stroke", "samples": [{"x": 150, "y": 150, "force": 0.6}, {"x": 180, "y": 156, "force": 0.6},
                                   {"x": 210, "y": 162, "force": 0.6}]},
    {"step": "save", "name": "end"})"));
  const auto result = folder.run({folder.at("script.json"), "-o", folder.at("out"), "--quiet"});
  ASSERT_EQ(result.status, 0) << result.err;
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

// One layer of four cells holding these wet and dry thicknesses.
painthost::StoredPainting paintingOf(const std::vector<std::uint8_t>& wet, const std::vector<std::uint8_t>& dry) {
  std::vector<std::uint8_t> wetBytes(16, 0), dryBytes(16, 0);
  for (std::size_t i = 0; i < 4; ++i) wetBytes[i * 4 + 3] = wet[i], dryBytes[i * 4 + 3] = dry[i];
  painthost::StoredPainting painting;
  painting.width = 4, painting.height = 1;
  painting.hidden = {false};
  painting.records.emplace_back(4, 1, 1, std::vector<std::uint8_t>(16, 0), wetBytes, dryBytes);
  return painting;
}

TEST(SavePoint, TheReliefRunsFromBlackWhereBareToWhiteAtTheHighestPaintByTheSquareRoot) {
  // Heights 0, 1, 40 and 160 bytes.
  const auto relief = painthost::reliefOf(paintingOf({0, 1, 30, 100}, {0, 0, 10, 60}));
  EXPECT_EQ(relief->pixel(0, 0)[0], 0);
  EXPECT_EQ(relief->pixel(1, 0)[0], 20);  // 255 x sqrt(1 / 160)
  EXPECT_EQ(relief->pixel(2, 0)[0], 128);
  EXPECT_EQ(relief->pixel(3, 0)[0], 255);
  EXPECT_EQ(relief->pixel(3, 0)[3], 255);

  const auto bare = painthost::reliefOf(paintingOf({0, 0, 0, 0}, {0, 0, 0, 0}));
  for (std::size_t x = 0; x < 4; ++x) EXPECT_EQ(bare->pixel(x, 0), (std::array<std::uint8_t, 4>{0, 0, 0, 255}));
}

}  // namespace
