// The kernels that make the picture's images from paint data, and the image imports.

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "KernelHarness.h"
#include "utils/KernelInterface.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

// A working region of 6 x 1 cells and its images.
struct Region {
  std::shared_ptr<gpu::Texture> grid = texture(6, 1), wet = texture(6, 1), dry = texture(6, 1);
  std::shared_ptr<gpu::Texture> height = texture(6, 1), color = texture(6, 1), ground = texture(1, 1);

  KernelRun heightRun(const std::string& kernel, bool showGround, bool useDry) const {
    return {kernel,
            {{TEXTURE_GRID_READ, grid}, {TEXTURE_WET_READ, wet}, {TEXTURE_DRY_READ, dry}, {TEXTURE_GROUND, ground},
             {TEXTURE_HEIGHT_IMAGE_WRITE, height}, {TEXTURE_COLOR_IMAGE_WRITE, color}},
            {{BUFFER_OFFSET, offsetRecord(0, 0)}, {BUFFER_SHOW_GROUND, flag(showGround)}, {BUFFER_USE_DRY, flag(useDry)},
             {BUFFER_LAST_LAYER, flag(true)}, {BUFFER_COLOR, floatRecord({0.25f, 0.5f, 0.75f, 1.0f})}},
            grid};
  }
  KernelRun alphaRun(const std::string& kernel, bool useDry) const {
    return {kernel,
            {{TEXTURE_GRID_READ, grid}, {TEXTURE_WET_READ, wet}, {TEXTURE_DRY_READ, dry}, {TEXTURE_COLOR_IMAGE_WRITE, color}},
            {{BUFFER_OFFSET, offsetRecord(0, 0)}, {BUFFER_USE_DRY, flag(useDry)}},
            grid};
  }
};

TEST(PaintImageKernels, ThickerPaintStandsHigherAndBareCellsShowTheBackground) {
  Region r;
  set(*r.wet, 1, 0, {255, 0, 0, 10});
  set(*r.wet, 2, 0, {255, 0, 0, 100});
  set(*r.wet, 3, 0, {255, 0, 0, 100});
  set(*r.dry, 3, 0, {0, 0, 255, 100});
  set(*r.dry, 4, 0, {0, 0, 255, 50});
  run(r.heightRun("texture_data_to_height_image", false, true));
  const auto h = [&](std::size_t x) { return at(*r.height, x, 0)[0]; };
  EXPECT_EQ(h(0), 0);
  EXPECT_LT(h(0), h(1));
  EXPECT_LT(h(1), h(2));
  EXPECT_LT(h(2), h(3));
  EXPECT_EQ(at(*r.height, 3, 0), (Texel{h(3), h(3), h(3), 255})) << "a grey level";
  EXPECT_EQ(at(*r.color, 0, 0), (Texel{64, 128, 191, 255}));
  EXPECT_EQ(at(*r.color, 3, 0), (Texel{255, 0, 0, 255})) << "wet paint over dry paint";
  EXPECT_EQ(at(*r.color, 4, 0), (Texel{0, 0, 255, 255}));

  // Without the dry paint (a palette) the dry cell is bare; the ground adds its relief when shown.
  set(*r.ground, 0, 0, {255, 255, 255, 255});
  run(r.heightRun("texture_data_to_height_image", true, false));
  EXPECT_EQ(at(*r.color, 4, 0), (Texel{64, 128, 191, 255}));
  EXPECT_GT(h(0), 0);
  EXPECT_EQ(h(4), h(0));
}

TEST(PaintImageKernels, TheDryImagesShowTheDryPaintOnly) {
  Region r;
  set(*r.wet, 1, 0, {255, 0, 0, 100});
  set(*r.dry, 2, 0, {0, 0, 255, 100});
  auto dryRun = r.heightRun("texture_data_to_height_dry_image", false, true);
  dryRun.buffers.erase(BUFFER_COLOR);
  dryRun.buffers.erase(BUFFER_LAST_LAYER);
  run(dryRun);
  EXPECT_EQ(at(*r.height, 1, 0)[0], 0);
  EXPECT_GT(at(*r.height, 2, 0)[0], 0);
  EXPECT_EQ(at(*r.color, 2, 0), (Texel{0, 0, 255, 255}));
  EXPECT_EQ(at(*r.color, 1, 0), (Texel{255, 255, 255, 255})) << "no background colour: a blank white";
}

TEST(PaintImageKernels, CoverageOfTheWetAndDryPaint) {
  Region r;
  set(*r.wet, 0, 0, {9, 9, 9, 5});
  set(*r.dry, 1, 0, {9, 9, 9, 2});
  set(*r.wet, 2, 0, {9, 9, 9, 2});
  set(*r.dry, 2, 0, {9, 9, 9, 2});
  run(r.alphaRun("texture_data_to_height_alpha", true));
  EXPECT_EQ(at(*r.color, 0, 0), (Texel{255, 255, 255, 255}));
  EXPECT_EQ(at(*r.color, 1, 0)[3], 102);
  EXPECT_EQ(at(*r.color, 2, 0)[3], 163);
  EXPECT_EQ(at(*r.color, 5, 0)[3], 0);
  run(r.alphaRun("texture_data_to_height_dry_alpha", true));
  EXPECT_EQ(at(*r.color, 0, 0)[3], 0);
  EXPECT_EQ(at(*r.color, 2, 0)[3], 102);
  run(r.alphaRun("texture_data_to_height_dry_alpha", false));
  EXPECT_EQ(at(*r.color, 2, 0)[3], 0);
}

TEST(PaintImageKernels, FoldsALowerLayerUnderTheRegionByItsHeight) {
  const auto image = texture(4, 1), wet = texture(8, 1), dry = texture(8, 1);
  set(*image, 0, 0, {0, 0, 0, 255});
  set(*image, 1, 0, {100, 100, 100, 255});
  set(*image, 2, 0, {200, 200, 200, 255});
  set(*image, 3, 0, {50, 50, 50, 255});
  set(*dry, 2, 0, {1, 1, 1, 102});  // under x 0: 0.2 high
  set(*wet, 3, 0, {1, 1, 1, 255});  // under x 1: 0.5 high
  set(*wet, 4, 0, {1, 1, 1, 51});   // under x 2: lower than the image holds
  run({"texture_data_to_height_subimage",
       {{TEXTURE_WET_READ, wet}, {TEXTURE_DRY_READ, dry}, {TEXTURE_GRID_READ, texture(8, 1)},
        {TEXTURE_HEIGHT_IMAGE_READ, image}, {TEXTURE_HEIGHT_IMAGE_WRITE, image}},
       {{BUFFER_OFFSET, offsetRecord(2, 0)}, {BUFFER_LAST_LAYER, flag(true)}},
       image});
  EXPECT_EQ(at(*image, 0, 0)[0], 51);
  EXPECT_EQ(at(*image, 1, 0)[0], 128);
  EXPECT_EQ(at(*image, 2, 0)[0], 200);
  EXPECT_EQ(at(*image, 3, 0)[0], 50) << "beyond the layer's edge nothing is folded";
}

struct Layer {
  std::shared_ptr<gpu::Texture> grid = texture(6, 4), wet = texture(6, 4), dry = texture(6, 4);
};

// A 3 x 2 image: row 0 red (opaque), clear, grey (half alpha); row 1 green.
std::shared_ptr<gpu::Texture> importImage() {
  auto image = texture(3, 2);
  set(*image, 0, 0, {255, 0, 0, 255});
  set(*image, 2, 0, {128, 128, 128, 128});
  for (std::size_t x = 0; x < 3; ++x) set(*image, x, 1, {0, 255, 0, 255});
  return image;
}

KernelRun importRun(const std::string& kernel, const Layer& layer, const std::shared_ptr<gpu::Texture>& image,
              std::uint32_t x, std::uint32_t y, float thickness) {
  return {kernel,
          {{TEXTURE_COLOR_IMAGE_READ, image}, {TEXTURE_DRY_READ, layer.dry}, {TEXTURE_DRY_WRITE, layer.dry},
           {TEXTURE_WET_READ, layer.wet}, {TEXTURE_WET_WRITE, layer.wet}, {TEXTURE_GRID_READ, layer.grid},
           {TEXTURE_GRID_WRITE, layer.grid}},
          {{BUFFER_VALUE, floatRecord({thickness})}, {BUFFER_OFFSET, offsetRecord(x, y)}},
          image};
}

TEST(PaintImageKernels, PlacesTheImageAtItsOffsetWithItsThickness) {
  Layer dry;
  fill(*dry.dry, {1, 2, 3, 4});
  run(importRun("texture_import_image_dry", dry, importImage(), 3, 1, 20.0f / 255));
  EXPECT_EQ(at(*dry.dry, 3, 1), (Texel{255, 0, 0, 20}));
  EXPECT_EQ(at(*dry.dry, 4, 1), (Texel{1, 2, 3, 4})) << "a clear texel leaves the layer as it was";
  EXPECT_EQ(at(*dry.dry, 5, 1), (Texel{128, 128, 128, 10}));
  EXPECT_EQ(at(*dry.dry, 4, 2), (Texel{0, 255, 0, 20}));
  EXPECT_EQ(contents(*dry.wet), Bytes(6 * 4 * 4, 0)) << "a dry import writes dry paint only";

  Layer wet;
  fill(*wet.grid, {0, 77, 33, 0});
  run(importRun("texture_import_image_wet", wet, importImage(), 3, 1, 20.0f / 255));
  EXPECT_EQ(at(*wet.wet, 3, 2), (Texel{0, 255, 0, 20}));
  EXPECT_EQ(at(*wet.grid, 3, 2), (Texel{252, 77, 33, TOOL_FLUID})) << "wet paint, fully wet";
  EXPECT_EQ(at(*wet.grid, 4, 1), (Texel{0, 77, 33, 0}));
  EXPECT_EQ(contents(*wet.dry), Bytes(6 * 4 * 4, 0));
}

TEST(PaintImageKernels, ClipsAtTheLayersEdge) {
  Layer layer;
  run(importRun("texture_import_image_wet", layer, importImage(), 4, 3, 20.0f / 255));
  EXPECT_EQ(at(*layer.wet, 4, 3), (Texel{255, 0, 0, 20}));
  EXPECT_EQ(at(*layer.wet, 5, 3), (Texel{0, 0, 0, 0}));
  // Beyond the edge nothing is written, not even wrapped round to the start of a row.
  const Bytes before = contents(*layer.wet);
  run(importRun("texture_import_image_wet", layer, importImage(), std::numeric_limits<std::uint32_t>::max(), 0, 1));
  EXPECT_EQ(contents(*layer.wet), before);
}

// The kernels the passes dispatch twice in one encode: a second run changes nothing.
TEST(PaintImageKernels, RunningTwiceEqualsRunningOnce) {
  Region r;
  set(*r.wet, 1, 0, {255, 0, 0, 40});
  set(*r.dry, 1, 0, {0, 0, 255, 70});
  set(*r.ground, 0, 0, {200, 200, 200, 255});
  const auto twice = [](const KernelRun& once, std::vector<std::shared_ptr<gpu::Texture>> outputs) {
    run(once);
    std::vector<Bytes> first;
    for (const auto& t : outputs) first.push_back(contents(*t));
    run(once);
    for (std::size_t i = 0; i < outputs.size(); ++i) EXPECT_EQ(contents(*outputs[i]), first[i]) << once.kernel;
  };
  twice(r.heightRun("texture_data_to_height_image", true, true), {r.height, r.color});
  twice(r.heightRun("texture_data_to_height_dry_image", true, true), {r.height, r.color});
  twice(r.alphaRun("texture_data_to_height_alpha", true), {r.color});
  twice(r.alphaRun("texture_data_to_height_dry_alpha", true), {r.color});
  twice({"texture_data_to_height_subimage",
         {{TEXTURE_WET_READ, r.wet}, {TEXTURE_DRY_READ, r.dry}, {TEXTURE_HEIGHT_IMAGE_READ, r.height},
          {TEXTURE_HEIGHT_IMAGE_WRITE, r.height}},
         {},
         r.height},
        {r.height});
  Layer layer;
  twice(importRun("texture_import_image_dry", layer, importImage(), 1, 1, 0.5f), {layer.dry});
  twice(importRun("texture_import_image_wet", layer, importImage(), 2, 0, 0.5f), {layer.wet, layer.grid});
}

}  // namespace
