// The dryer's and the wetter's kernels: the picture rendered by wetness, and paint turned between
// wet and dry near the samples, in place, over a grid that spans the whole layer picture.

#include <gtest/gtest.h>

#include "ToolModelKernelFixture.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

constexpr Texel kCopy{120, 60, 240, 200};
// kCopy shown at wet levels 1, 2 and 4.
constexpr Texel kWet1{110, 55, 220, 200}, kWet2{100, 50, 200, 200}, kWet4{80, 40, 160, 200};

// A layer of 64 x 48 cells at `scale` cells per picture pixel, with a 32 x 32 working window at
// (8, 4) filled with one cell's paint.
struct FanDryerLayer {
  explicit FanDryerLayer(float scale = 1, Texel g = {}, Texel w = {}, Texel d = {})
      : scale(scale), grid(texture(64, 48)), wet(texture(64, 48)), dry(texture(64, 48)),
        copy(texture(pixels(64), pixels(48))), picture(texture(pixels(64), pixels(48))) {
    fill(*copy, kCopy), fill(*picture, kCopy), fill(*grid0, g), fill(*wet0, w), fill(*dry0, d);
  }
  std::size_t pixels(std::size_t cells) const { return static_cast<std::size_t>(static_cast<float>(cells) / scale); }

  void init(const std::string& kernel) {
    run({kernel,
         {{TEXTURE_GRID_READ, grid}, {TEXTURE_WET_READ, wet}, {TEXTURE_DRY_READ, dry},
          {TEXTURE_COLOR_IMAGE_READ, copy}, {TEXTURE_COLOR_IMAGE_WRITE, picture}},
         {}, picture});
  }
  void paint(const std::string& kernel, const std::vector<Touch>& touches, std::uint32_t offsetX = 8) {
    auto buffers = sampleBuffers(touches);
    buffers[BUFFER_OFFSET] = offsetRecord(offsetX, 4);
    if (scale != 1) buffers[BUFFER_SCALE] = floatRecord({scale});
    run({kernel,
         {{TEXTURE_GRID_READ, grid0}, {TEXTURE_GRID_WRITE, grid0}, {TEXTURE_WET_WRITE, wet0}, {TEXTURE_WET_READ, wet0},
          {TEXTURE_DRY_WRITE, dry0}, {TEXTURE_DRY_READ, dry0}, {TEXTURE_COLOR_IMAGE_READ, picture},
          {TEXTURE_COLOR_IMAGE_WRITE, picture}},
         buffers, picture});
  }
  Bytes window() const {
    Bytes all = contents(*grid0), w = contents(*wet0), d = contents(*dry0);
    all.insert(all.end(), w.begin(), w.end()), all.insert(all.end(), d.begin(), d.end());
    return all;
  }

  float scale;
  std::shared_ptr<gpu::Texture> grid, wet, dry, copy, picture;
  std::shared_ptr<gpu::Texture> grid0 = texture(32, 32), wet0 = texture(32, 32), dry0 = texture(32, 32);
};

// The copy, darkened by one twelfth per wet level: the wet share of the paint times its wetness, in
// four steps; at scale 2 a pixel shows the first of its cells.
TEST(DryerWetterKernels, InitRendersTheCopyDarkenedByHowWetThePaintIs) {
  const struct {
    Texel grid, wet, dry, picture;
  } cases[] = {
      {{0, 0, 0, TOOL_AIR}, {}, {9, 9, 9, 40}, kCopy},                   // dry paint only
      {{252, 0, 0, TOOL_FLUID}, {1, 2, 3, 20}, {9, 9, 9, 20}, kWet2},    // half the paint
      {{124, 0, 0, TOOL_FLUID}, {1, 2, 3, 40}, {}, kWet2},               // half the wetness
      {{252, 0, 0, TOOL_FLUID}, {1, 2, 3, 5}, {9, 9, 9, 75}, kCopy},     // a sixteenth
  };
  for (const std::string kernel : {"DAEToolModel_dryer_init", "DAEToolModel_wetter_init"}) {
    for (const auto& c : cases) {
      FanDryerLayer layer;
      set(*layer.grid, 3, 2, c.grid), set(*layer.wet, 3, 2, c.wet), set(*layer.dry, 3, 2, c.dry);
      layer.init(kernel);
      EXPECT_EQ(at(*layer.picture, 3, 2), c.picture) << kernel << " wetness " << int(c.grid[0]);
      EXPECT_EQ(at(*layer.picture, 0, 0), kCopy);
    }
  }
  FanDryerLayer layer(2);
  for (std::size_t x : {5, 6}) set(*layer.grid, x, 4, {252, 0, 0, TOOL_FLUID}), set(*layer.wet, x, 4, {1, 2, 3, 40});
  layer.init("DAEToolModel_dryer_init");
  EXPECT_EQ(at(*layer.picture, 3, 2), kWet4);
  EXPECT_EQ(at(*layer.picture, 2, 2), kCopy) << "cell (5, 4) is its second";
}

// One sample on the centre of window cell (12, 12), force 4, the stroke's lone one and so one cell
// of travel: the cell under it turns 16 bytes, one 12 cells away 8. Each cell keeps its paint; the pixel over the first (layer cell (20, 16)) is
// reshaded; no pixel beyond the window, nor over a cell out of reach, changes.
TEST(DryerWetterKernels, PaintTurnsPaintNearTheSamplesAndReshadesThePicture) {
  const struct {
    const char* kernel;
    Texel grid, wet, dry;                 // the window's paint
    Texel gridAfter, wetAfter, dryAfter;  // under the sample
    Texel pixel, pixelAfter;
    int farWet;
  } cases[] = {
      {"DAEToolModel_dryer_paint", {252, 7, 0, TOOL_FLUID}, {200, 100, 50, 40}, {},  //
       {252, 7, 0, TOOL_FLUID}, {200, 100, 50, 24}, {200, 100, 50, 16}, kWet4, kWet2, 32},
      // Over dry paint the wet colour settles by its coverage, as far as there is room under 255.
      {"DAEToolModel_dryer_paint", {252, 7, 0, TOOL_FLUID}, {200, 100, 50, 40}, {0, 0, 0, 250},
       {252, 7, 0, TOOL_FLUID}, {200, 100, 50, 35}, {200, 100, 50, 255}, kWet1, kCopy, 35},
      // All the wet paint dries: the cell is air, with no wetness.
      {"DAEToolModel_dryer_paint", {252, 7, 0, TOOL_FLUID}, {200, 100, 50, 16}, {0, 0, 0, 20},
       {0, 7, 0, TOOL_AIR}, {}, {200, 100, 50, 36}, kWet2, kCopy, 8},
      // The wetter raises dry paint: colours mix by amount, the wetness towards 252.
      {"DAEToolModel_wetter_paint", {124, 7, 0, TOOL_FLUID}, {200, 100, 50, 31}, {0, 200, 100, 40},
       {168, 7, 0, TOOL_FLUID}, {132, 134, 67, 47}, {0, 200, 100, 24}, kWet1, kWet2, 39},
      {"DAEToolModel_wetter_paint", {0, 7, 0, TOOL_AIR}, {}, {10, 20, 30, 20},  //
       {252, 7, 0, TOOL_FLUID}, {10, 20, 30, 16}, {10, 20, 30, 4}, kCopy, {90, 45, 180, 200}, 8},
  };
  for (const auto& c : cases) {
    FanDryerLayer layer(1, c.grid, c.wet, c.dry);
    set(*layer.picture, 20, 16, c.pixel);
    auto expected = contents(*layer.picture);
    layer.paint(c.kernel, {{12.5f, 12.5f, 4.0f}});
    EXPECT_EQ(at(*layer.grid0, 12, 12), c.gridAfter) << c.kernel;
    EXPECT_EQ(at(*layer.wet0, 12, 12), c.wetAfter) << c.kernel;
    EXPECT_EQ(at(*layer.dry0, 12, 12), c.dryAfter) << c.kernel;
    EXPECT_EQ(at(*layer.wet0, 24, 12)[3], c.farWet) << c.kernel;
    EXPECT_EQ(at(*layer.wet0, 31, 31), c.wet) << c.kernel << ": out of reach";
    EXPECT_EQ(at(*layer.picture, 20, 16), c.pixelAfter) << c.kernel;
    // Copy the pixels over cells within reach, so that all others must be as they were.
    const Bytes after = contents(*layer.picture);
    for (std::size_t i = 0; i < after.size(); i += 4) {
      const std::size_t x = i / 4 % 64, y = i / 4 / 64;
      const double dx = static_cast<double>(x) - 20, dy = static_cast<double>(y) - 16;
      if (x >= 8 && x < 40 && y >= 4 && y < 36 && dx * dx + dy * dy < 26 * 26)
        std::copy(&after[i], &after[i] + 4, &expected[i]);
    }
    EXPECT_EQ(after, expected) << c.kernel;
  }
}

// Every cell belongs to exactly one picture pixel, so the cells change the same whatever the scale;
// broken samples, no force and a window beyond the picture change nothing.
TEST(DryerWetterKernels, PaintChangesEachCellOnceWhateverTheScale) {
  std::vector<Bytes> windows;
  for (const float scale : {1.0f, 2.0f, 0.5f, 1.5f}) {
    FanDryerLayer layer(scale, {252, 0, 0, TOOL_FLUID}, {200, 100, 50, 60}, {1, 1, 1, 9});
    layer.paint("DAEToolModel_dryer_paint", {{4, 20, 2.0f}, {9, 22, 1.5f}, {14, 25, 1.0f}, {NAN, 3, 1}, {5, 5, NAN}});
    windows.push_back(layer.window());
  }
  for (std::size_t i = 1; i < windows.size(); ++i) EXPECT_EQ(windows[i], windows[0]) << "scale " << i;

  FanDryerLayer layer(1, {252, 0, 0, TOOL_FLUID}, {200, 100, 50, 60}, {1, 1, 1, 9});
  const Bytes before = layer.window();
  layer.paint("DAEToolModel_wetter_paint", {{6, 6, 0}, {7, 7, -2}});
  layer.paint("DAEToolModel_wetter_paint", {{5, 5, 1}}, 4000000000u);
  EXPECT_EQ(layer.window(), before);
}

}  // namespace
