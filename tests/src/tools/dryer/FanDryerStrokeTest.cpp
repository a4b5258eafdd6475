// Whole strokes of the dryer and then the wetter over wet paint on a real canvas with undo.

#include <gtest/gtest.h>

#include <algorithm>

#include "StrokeCanvas.h"
#include "tools/ApplicationManager.h"
#include "tools/dryer/DryerTool.h"
#include "tools/wetter/WetterTool.h"
#include "utils/TextureUtil.h"

namespace tessivarium {
namespace {

// Cells [x0, x1) x [y0, y1) of the layer.
struct Rect {
  std::size_t x0, y0, x1, y1;
};

// The thickness a layer texture holds over `area`.
long thicknessIn(const gpu::Texture& texture, const Rect& area) {
  const auto bytes = TextureUtil::toRawData(texture);
  long sum = 0;
  for (std::size_t y = area.y0; y < area.y1; ++y)
    for (std::size_t x = area.x0; x < area.x1; ++x) sum += bytes[(y * texture.width() + x) * 4 + 3];
  return sum;
}

// Every byte of the layer's grid, wet and dry textures outside `area` (a cell's four in each).
std::vector<std::uint8_t> outside(const testsupport::StrokeCanvas& stroke, const Rect& area) {
  std::vector<std::uint8_t> kept;
  for (const auto* texture : {&stroke.layer().gridTexture(), &stroke.layer().wetTexture(), &stroke.layer().dryTexture()}) {
    const auto bytes = TextureUtil::toRawData(**texture);
    const std::size_t width = (*texture)->width();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const std::size_t x = (i / 4) % width, y = (i / 4) / width;
      if (x < area.x0 || x >= area.x1 || y < area.y0 || y >= area.y1) kept.push_back(bytes[i]);
    }
  }
  return kept;
}

TEST(FanDryerStroke, TheDryerDriesAlongItsPathTheWetterWetsItAgainAndUndoGivesTheLayerBack) {
  testsupport::StrokeCanvas stroke;  // 300 x 200 cells
  const Rect paint{40, 50, 260, 130}, path{100, 86, 200, 95};
  // The samples' reach: 24 cells round the path from (80, 90) to (220, 90).
  const Rect reach{56, 66, 245, 115};
  stroke.layWet(paint.x0, paint.y0, paint.x1, paint.y1, {200, 90, 30, 40});
  const auto before = stroke.layerBytes();
  const auto untouched = outside(stroke, reach);
  const long total = thicknessIn(*stroke.layer().wetTexture(), paint);

  stroke.use(AppManager().dryer());
  stroke.drag({80, 90}, {220, 90}, 30);
  const long wetOnPath = thicknessIn(*stroke.layer().wetTexture(), path);
  const long dryOnPath = thicknessIn(*stroke.layer().dryTexture(), path);
  EXPECT_LT(wetOnPath, 40 * 100 * 9 / 2) << "the dryer dried the path";
  EXPECT_EQ(wetOnPath + dryOnPath, 40 * 100 * 9) << "and moved the paint, losing none";
  EXPECT_NEAR(thicknessIn(*stroke.layer().wetTexture(), paint) + thicknessIn(*stroke.layer().dryTexture(), paint),
              total, total * 0.005);
  EXPECT_EQ(outside(stroke, reach), untouched) << "cells out of reach stay as they were";
  const auto dried = stroke.layerBytes();

  stroke.use(AppManager().wetter());
  stroke.drag({80, 90}, {220, 90}, 30);
  EXPECT_GT(thicknessIn(*stroke.layer().wetTexture(), path), wetOnPath) << "the wetter wetted it again";
  EXPECT_LT(thicknessIn(*stroke.layer().dryTexture(), path), dryOnPath);
  EXPECT_NEAR(thicknessIn(*stroke.layer().wetTexture(), paint) + thicknessIn(*stroke.layer().dryTexture(), paint),
              total, total * 0.005);
  EXPECT_EQ(outside(stroke, reach), untouched);

  ASSERT_TRUE(stroke.undo());
  EXPECT_EQ(stroke.layerBytes(), dried);
  ASSERT_TRUE(stroke.undo());
  EXPECT_EQ(stroke.layerBytes(), before);
}

// On a canvas at scale 2 a picture pixel stands for 2 x 2 cells: a stroke from the point (150, 100)
// to (250, 100) dries the cells from (300, 200) to (500, 200), beyond the picture's own width, and
// reshades the pixels that show them, none farther off than the reach.
TEST(FanDryerStroke, AtScaleTwoTheDryerDriesTheCellsUnderItsPointsAndReshadesTheirPixels) {
  testsupport::StrokeCanvas stroke(2.0);
  ASSERT_EQ(stroke.layer().wetTexture()->width(), 600u);
  const Rect paint{260, 160, 540, 240}, path{320, 196, 480, 204};
  stroke.layWet(paint.x0, paint.y0, paint.x1, paint.y1, {200, 90, 30, 40});

  stroke.use(AppManager().dryer());
  const auto before = TextureUtil::toRawData(*stroke.layer().paintingTexture());
  stroke.drag({150, 100}, {250, 100}, 30);
  EXPECT_LT(thicknessIn(*stroke.layer().wetTexture(), path), 40 * 160 * 8 / 2) << "the cells under the path dried";

  // The reach, 24 cells round the path, is 12 pixels.
  const Rect reach{138, 88, 263, 113};
  const auto after = TextureUtil::toRawData(*stroke.layer().paintingTexture());
  std::size_t reshaded = 0, beyond = 0;
  for (std::size_t i = 0; i < after.size(); i += 4) {
    const std::size_t x = i / 4 % stroke.kWidth, y = i / 4 / stroke.kWidth;
    if (std::equal(after.begin() + i, after.begin() + i + 4, before.begin() + i)) continue;
    const bool near = x >= reach.x0 && x < reach.x1 && y >= reach.y0 && y < reach.y1;
    (near ? reshaded : beyond) += 1;
  }
  EXPECT_GT(reshaded, 80u * 4) << "the pixels over the path show their drier cells";
  EXPECT_EQ(beyond, 0u);
}

}  // namespace
}  // namespace tessivarium
