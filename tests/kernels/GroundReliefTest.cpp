// The ground repeats across the layer: the height image of a working region placed anywhere on the
// layer shows the ground texel under each cell's layer position.

#include <gtest/gtest.h>

#include <vector>

#include "KernelHarness.h"
#include "utils/KernelInterface.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

struct GroundCase {
  const char* name;
  std::size_t groundWidth, groundHeight;
  // The height byte of each cell of a 6 x 3 region at offset (5, 2), row by row.
  std::vector<std::uint8_t> heights;
};

class GroundRelief : public ::testing::TestWithParam<GroundCase> {};

TEST_P(GroundRelief, RepeatsTheGroundPastItsEdges) {
  const GroundCase& c = GetParam();
  // Ground texel n (counted row by row) is grey 16 n: a relief of 2 n thickness bytes, which the
  // height image shows as the byte n, so each cell names the texel it read.
  const auto ground = texture(c.groundWidth, c.groundHeight);
  for (std::size_t j = 0; j < c.groundHeight; ++j) {
    for (std::size_t i = 0; i < c.groundWidth; ++i) {
      const auto grey = static_cast<std::uint8_t>(16 * (i + c.groundWidth * j));
      set(*ground, i, j, {grey, grey, grey, 255});
    }
  }
  const auto grid = texture(6, 3), wet = texture(6, 3), dry = texture(6, 3);
  const auto height = texture(6, 3), color = texture(6, 3);
  run({"texture_data_to_height_image",
       {{TEXTURE_GRID_READ, grid}, {TEXTURE_WET_READ, wet}, {TEXTURE_DRY_READ, dry}, {TEXTURE_GROUND, ground},
        {TEXTURE_HEIGHT_IMAGE_WRITE, height}, {TEXTURE_COLOR_IMAGE_WRITE, color}},
       {{BUFFER_OFFSET, offsetRecord(5, 2)}, {BUFFER_SHOW_GROUND, flag(true)}, {BUFFER_USE_DRY, flag(true)},
        {BUFFER_LAST_LAYER, flag(true)}, {BUFFER_COLOR, floatRecord({1, 1, 1, 1})}},
       grid});
  std::vector<std::uint8_t> seen;
  for (std::size_t y = 0; y < 3; ++y)
    for (std::size_t x = 0; x < 6; ++x) seen.push_back(at(*height, x, y)[0]);
  EXPECT_EQ(seen, c.heights);
}

// Layer columns 5 to 10 and rows 2 to 4. On the 4 x 4 ground they read columns 1 2 3 0 1 2 and
// rows 2 3 0; on the 3 x 2 ground columns 2 0 1 2 0 1 and rows 0 1 0.
INSTANTIATE_TEST_SUITE_P(
    Grounds, GroundRelief,
    ::testing::Values(GroundCase{"PowerOfTwo", 4, 4, {9, 10, 11, 8, 9, 10, 13, 14, 15, 12, 13, 14, 1, 2, 3, 0, 1, 2}},
                      GroundCase{"OtherSize", 3, 2, {2, 0, 1, 2, 0, 1, 5, 3, 4, 5, 3, 4, 2, 0, 1, 2, 0, 1}}),
    [](const ::testing::TestParamInfo<GroundCase>& info) { return std::string(info.param.name); });

}  // namespace
