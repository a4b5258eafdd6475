// The dryer's and the wetter's kernels: the picture rendered by wetness, and paint turned between
// wet and dry near the samples, in place, over a grid that spans the whole layer picture.

#include <gtest/gtest.h>

#include "ToolModelKernelFixture.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

constexpr Texel kCopy{120, 60, 240, 200};
// kCopy shown at wet levels 1 and 4.
constexpr Texel kWet1{110, 55, 220, 200}, kWet4{80, 40, 160, 200};

// A layer of `cells` x `cells` x 3/4 cells at `scale` cells per picture pixel, with a working
// window of 32 x 32 cells at (8, 4) in it.
struct FanDryerLayer {
  explicit FanDryerLayer(std::size_t cells = 64, float scale = 1)
      : scale(scale), grid(texture(cells, cells * 3 / 4)), wet(texture(cells, cells * 3 / 4)),
        dry(texture(cells, cells * 3 / 4)), copy(texture(pixels(cells), pixels(cells * 3 / 4))),
        picture(texture(pixels(cells), pixels(cells * 3 / 4))), grid0(texture(32, 32)), wet0(texture(32, 32)),
        dry0(texture(32, 32)) {
    fill(*copy, kCopy);
    fill(*picture, kCopy);
  }
  std::size_t pixels(std::size_t cells) const { return static_cast<std::size_t>(static_cast<float>(cells) / scale); }

  void init(const std::string& kernel) {
    run({kernel,
         {{TEXTURE_GRID_READ, grid}, {TEXTURE_WET_READ, wet}, {TEXTURE_DRY_READ, dry},
          {TEXTURE_COLOR_IMAGE_READ, copy}, {TEXTURE_COLOR_IMAGE_WRITE, picture}},
         {}, picture});
  }
  void paint(const std::string& kernel, const std::vector<Touch>& touches) {
    auto buffers = sampleBuffers(touches);
    buffers[BUFFER_OFFSET] = offsetRecord(8, 4);
    if (scale != 1) buffers[BUFFER_SCALE] = floatRecord({scale});
    run({kernel,
         {{TEXTURE_GRID_READ, grid0}, {TEXTURE_GRID_WRITE, grid0}, {TEXTURE_WET_WRITE, wet0}, {TEXTURE_WET_READ, wet0},
          {TEXTURE_DRY_WRITE, dry0}, {TEXTURE_DRY_READ, dry0}, {TEXTURE_COLOR_IMAGE_READ, picture},
          {TEXTURE_COLOR_IMAGE_WRITE, picture}},
         buffers, picture});
  }
  // The window's cell (x, y) and the paint it holds.
  void put(std::size_t x, std::size_t y, Texel g, Texel w, Texel d) {
    set(*grid0, x, y, g), set(*wet0, x, y, w), set(*dry0, x, y, d);
  }
  long paintIn(std::size_t x, std::size_t y) const { return at(*wet0, x, y)[3] + at(*dry0, x, y)[3]; }

  float scale;
  std::shared_ptr<gpu::Texture> grid, wet, dry, copy, picture, grid0, wet0, dry0;
};

// The copy, darkened by one twelfth per wet level: the wet share of the paint times its wetness, in
// four steps, read at the cell each pixel shows.
TEST(DryerWetterKernels, InitRendersTheCopyDarkenedByHowWetThePaintIs) {
  struct Case {
    Texel grid, wet, dry;
    Texel picture;
  } cases[] = {
      {{0, 0, 0, TOOL_AIR}, {}, {}, kCopy},                                             // bare
      {{0, 0, 0, TOOL_AIR}, {}, {9, 9, 9, 40}, kCopy},                                  // dry paint only
      {{252, 0, 0, TOOL_FLUID}, {1, 2, 3, 40}, {}, kWet4},                              // level 4
      {{252, 0, 0, TOOL_FLUID}, {1, 2, 3, 20}, {9, 9, 9, 20}, {100, 50, 200, 200}},     // half wet: 2
      {{124, 0, 0, TOOL_FLUID}, {1, 2, 3, 40}, {}, {100, 50, 200, 200}},                // half the wetness: 2
      {{252, 0, 0, TOOL_FLUID}, {1, 2, 3, 5}, {9, 9, 9, 75}, {120, 60, 240, 200}},      // a sixteenth: 0
  };
  for (const std::string kernel : {"DAEToolModel_dryer_init", "DAEToolModel_wetter_init"}) {
    for (const Case& c : cases) {
      FanDryerLayer layer(8);
      fill(*layer.picture, {0, 0, 0, 0});
      set(*layer.grid, 3, 2, c.grid), set(*layer.wet, 3, 2, c.wet), set(*layer.dry, 3, 2, c.dry);
      layer.init(kernel);
      EXPECT_EQ(at(*layer.picture, 3, 2), c.picture) << kernel << " wetness " << int(c.grid[0]);
      EXPECT_EQ(at(*layer.picture, 0, 0), kCopy) << kernel;
    }
  }
}

TEST(DryerWetterKernels, InitShowsTheFirstCellOfEachPixelOnALayerOfMoreCells) {
  FanDryerLayer layer(16, 2);  // 8 x 6 pixels over 16 x 12 cells
  set(*layer.grid, 6, 4, {252, 0, 0, TOOL_FLUID}), set(*layer.wet, 6, 4, {1, 2, 3, 40});
  set(*layer.grid, 5, 4, {252, 0, 0, TOOL_FLUID}), set(*layer.wet, 5, 4, {1, 2, 3, 40});  // not shown
  layer.init("DAEToolModel_dryer_init");
  EXPECT_EQ(at(*layer.picture, 3, 2), kWet4);
  EXPECT_EQ(at(*layer.picture, 2, 2), kCopy);
}

// One sample at window (12, 12), force 1: the cell under it turns 31 bytes (32 x (1 - 0.71 / 24)),
// a cell 12 cells away 15, one 26 cells away none. Paint is conserved in every cell, the picture
// pixel over a changed cell is reshaded, and everything out of reach stays as it was.
TEST(DryerWetterKernels, PaintTurnsPaintNearTheSamplesAndReshadesThePicture) {
  struct Case {
    const char* kernel;
    Texel grid, wet, dry;                    // the window's paint, everywhere
    Texel gridAfter, wetAfter, dryAfter;     // at the sample
    Texel pixel, pixelAfter;                 // the picture over it (layer cell (20, 16))
    int farWet;                              // the wet thickness 12 cells away
  } cases[] = {
      {"DAEToolModel_dryer_paint", {252, 7, 0, TOOL_FLUID}, {200, 100, 50, 40}, {},
       {252, 7, 0, TOOL_FLUID}, {200, 100, 50, 9}, {200, 100, 50, 31}, kWet4, {110, 55, 220, 200}, 25},
      // Over dry paint the wet colour settles by its coverage; only the room left under 255 moves.
      {"DAEToolModel_dryer_paint", {252, 7, 0, TOOL_FLUID}, {200, 100, 50, 40}, {0, 0, 0, 250},
       {252, 7, 0, TOOL_FLUID}, {200, 100, 50, 35}, {200, 100, 50, 255}, kWet1, kCopy, 35},
      // All of the wet paint dries: the cell is air, with no wetness.
      {"DAEToolModel_dryer_paint", {252, 7, 0, TOOL_FLUID}, {200, 100, 50, 20}, {0, 0, 0, 20},
       {0, 7, 0, TOOL_AIR}, {}, {200, 100, 50, 40}, {100, 50, 200, 200}, kCopy, 5},
      // The wetter raises dry paint: colours mix by amount and the wetness towards 252.
      {"DAEToolModel_wetter_paint", {124, 7, 0, TOOL_FLUID}, {200, 100, 50, 31}, {0, 200, 100, 40},
       {188, 7, 0, TOOL_FLUID}, {100, 150, 75, 62}, {0, 200, 100, 9}, kWet1, {90, 45, 180, 200}, 46},
      {"DAEToolModel_wetter_paint", {0, 7, 0, TOOL_AIR}, {}, {10, 20, 30, 20},
       {252, 7, 0, TOOL_FLUID}, {10, 20, 30, 20}, {}, kCopy, kWet4, 15},
  };
  for (const Case& c : cases) {
    FanDryerLayer layer;
    for (std::size_t y = 0; y < 32; ++y)
      for (std::size_t x = 0; x < 32; ++x) layer.put(x, y, c.grid, c.wet, c.dry);
    set(*layer.picture, 20, 16, c.pixel);
    const auto pictureBefore = contents(*layer.picture);
    const long paintBefore = layer.paintIn(12, 12);
    layer.paint(c.kernel, {{12, 12, 1.0f}});

    EXPECT_EQ(at(*layer.grid0, 12, 12), c.gridAfter) << c.kernel;
    EXPECT_EQ(at(*layer.wet0, 12, 12), c.wetAfter) << c.kernel;
    EXPECT_EQ(at(*layer.dry0, 12, 12), c.dryAfter) << c.kernel;
    EXPECT_EQ(layer.paintIn(12, 12), paintBefore) << c.kernel;
    EXPECT_EQ(at(*layer.wet0, 24, 12)[3], c.farWet) << c.kernel;
    EXPECT_EQ(at(*layer.wet0, 31, 31), c.wet) << c.kernel << ": out of reach";
    EXPECT_EQ(at(*layer.dry0, 31, 31), c.dry) << c.kernel;
    EXPECT_EQ(at(*layer.picture, 20, 16), c.pixelAfter) << c.kernel;
    const auto pictureAfter = contents(*layer.picture);
    for (std::size_t y = 0; y < 48; ++y)
      for (std::size_t x = 0; x < 64; ++x) {
        const bool reachable = x >= 8 && x < 40 && y >= 4 && y < 36 && !(x == 39 && y == 35);
        const std::size_t i = (y * 64 + x) * 4;
        if (!reachable) {
          ASSERT_TRUE(std::equal(&pictureBefore[i], &pictureBefore[i] + 4, &pictureAfter[i])) << x << "," << y;
        }
      }
  }
}

// Every cell belongs to exactly one picture pixel, so the cells change the same whatever the scale
// between cells and pixels; pixels beyond the window, or over cells beyond the layer, change nothing.
TEST(DryerWetterKernels, PaintChangesEachCellOnceWhateverTheScale) {
  std::vector<Bytes> results;
  for (const float scale : {1.0f, 2.0f, 0.5f, 1.5f}) {
    FanDryerLayer layer(64, scale);
    for (std::size_t y = 0; y < 32; ++y)
      for (std::size_t x = 0; x < 32; ++x) layer.put(x, y, {252, 0, 0, TOOL_FLUID}, {200, 100, 50, 60}, {});
    layer.paint("DAEToolModel_dryer_paint", {{4, 20, 2.0f}, {9, 22, 1.5f}, {14, 25, 1.0f}});
    results.push_back(contents(*layer.wet0));
    const auto dry = contents(*layer.dry0);
    results.back().insert(results.back().end(), dry.begin(), dry.end());
  }
  for (std::size_t i = 1; i < results.size(); ++i) EXPECT_EQ(results[i], results[0]) << "scale " << i;
}

TEST(DryerWetterKernels, PaintIgnoresBrokenSamplesAndAWindowBeyondThePicture) {
  FanDryerLayer layer;
  for (std::size_t y = 0; y < 32; ++y)
    for (std::size_t x = 0; x < 32; ++x) layer.put(x, y, {252, 0, 0, TOOL_FLUID}, {200, 100, 50, 60}, {});
  const auto wet = contents(*layer.wet0);
  layer.paint("DAEToolModel_dryer_paint", {{NAN, 3, 1}, {5, 5, NAN}, {6, 6, 0}, {7, 7, -2}});
  EXPECT_EQ(contents(*layer.wet0), wet);

  auto buffers = sampleBuffers({{5, 5, 1}});
  buffers[BUFFER_OFFSET] = offsetRecord(4000000000u, 4);
  run({"DAEToolModel_wetter_paint",
       {{TEXTURE_GRID_WRITE, layer.grid0}, {TEXTURE_WET_WRITE, layer.wet0}, {TEXTURE_DRY_WRITE, layer.dry0},
        {TEXTURE_COLOR_IMAGE_WRITE, layer.picture}},
       buffers, layer.picture});
  EXPECT_EQ(contents(*layer.wet0), wet);
}

}  // namespace
