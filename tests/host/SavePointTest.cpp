// What a save point's pictures show.

#include <gtest/gtest.h>

#include <cstdint>

#include "HostRun.h"
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

}  // namespace
