// The colour picker's read of a layer's cell and of the canvas's stack.

#include <cmath>

#include <gtest/gtest.h>

#include "FatalStop.h"
#include "LayerTestSupport.h"
#include "Surface.h"
#include "tools/ApplicationManager.h"
#include "utils/KernelInterface.h"

namespace {

using namespace tessivarium;
using namespace layertest;

struct Pick {
  const char* what;
  double scale, x, y;
  std::size_t cellX, cellY;  // where the cell's texels are written
  Texel grid, wet, dry;
  std::optional<std::array<double, 4>> expected;
};

class ColorPickLayer : public ::testing::TestWithParam<Pick> {};

TEST_P(ColorPickLayer, ReadsTheCellUnderThePoint) {
  const auto& c = GetParam();
  auto canvas = testsupport::makeCanvas(30, 12, c.scale, 1);
  AppManager().setCanvas(canvas);
  auto& layer = canvas->layer(0);
  setTexel(*layer.gridTexture(), c.cellX, c.cellY, c.grid);
  setTexel(*layer.wetTexture(), c.cellX, c.cellY, c.wet);
  setTexel(*layer.dryTexture(), c.cellX, c.cellY, c.dry);

  const auto color = layer.pickColor(*canvas, c.x, c.y);
  ASSERT_EQ(color.has_value(), c.expected.has_value()) << c.what;
  if (!color) return;
  const auto got = color->components();
  ASSERT_EQ(got.size(), 4u) << c.what;
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], (*c.expected)[i], 1e-9) << c.what << " channel " << i;
}

constexpr std::uint8_t F = TOOL_FLUID;
constexpr double B = 255.0;
INSTANTIATE_TEST_SUITE_P(
    Cells, ColorPickLayer,
    ::testing::Values(
        Pick{"fluid: wet colour, alpha from wetness 255", 1, 7.3, 4.9, 7, 4, {255, 0, 0, F}, {10, 20, 30, 99}, {},
             std::array<double, 4>{10 / B, 20 / B, 30 / B, 252 / B}},
        Pick{"fluid with wetness 4: alpha 0", 1, 7, 4, 7, 4, {4, 9, 0, F}, {10, 20, 30, 99}, {},
             std::array<double, 4>{10 / B, 20 / B, 30 / B, 0}},
        Pick{"dry colour with dry wetness 0: alpha 0", 1, 7, 4, 7, 4, {200, 0, 0, 1}, {}, {50, 60, 70, 80},
             std::array<double, 4>{50 / B, 60 / B, 70 / B, 0}},
        Pick{"empty dry texel with dry wetness 130: black", 1, 7, 4, 7, 4, {0, 130, 0, 0}, {}, {},
             std::array<double, 4>{0, 0, 0, 128 / B}},
        Pick{"empty dry texel with dry wetness 4: none", 1, 7, 4, 7, 4, {0, 4, 0, 0}, {}, {}, std::nullopt},
        Pick{"scale 2: (10.7, 3.2) reads cell (21, 6)", 2, 10.7, 3.2, 21, 6, {0, 0, 0, 0}, {}, {1, 2, 3, 4},
             std::array<double, 4>{1 / B, 2 / B, 3 / B, 0}},
        Pick{"-0.5 at scale 1 is cell 0", 1, -0.5, -0.5, 0, 0, {0, 0, 0, 0}, {}, {9, 9, 9, 9},
             std::array<double, 4>{9 / B, 9 / B, 9 / B, 0}},
        Pick{"a cell left of the layer", 1, -1, 3, 0, 3, {0, 0, 0, 0}, {}, {9, 9, 9, 9}, std::nullopt},
        Pick{"a cell at the layer's width", 1, 30, 3, 29, 3, {0, 0, 0, 0}, {}, {9, 9, 9, 9}, std::nullopt},
        Pick{"a cell at the layer's height", 1, 3, 12, 3, 11, {0, 0, 0, 0}, {}, {9, 9, 9, 9}, std::nullopt},
        Pick{"not a number", 1, std::nan(""), 3, 0, 3, {0, 0, 0, 0}, {}, {9, 9, 9, 9}, std::nullopt}));

TEST(ColorPick, TheFrontMostAnswerWinsThenTheSurface) {
  auto canvas = testsupport::makeCanvas(16, 8, 1.0, 3);
  AppManager().setCanvas(canvas);
  setTexel(*canvas->layer(0).dryTexture(), 2, 3, {40, 0, 0, 255});
  setTexel(*canvas->layer(2).dryTexture(), 2, 3, {0, 80, 0, 255});
  canvas->layer(2).setIsHidden(true);
  canvas->setLayerIndex(0);
  EXPECT_NEAR(canvas->pickColor(graphics::Point{2, 3})->components()[1], 80 / B, 1e-9)
      << "a hidden layer above the current one still answers first";
  setTexel(*canvas->layer(0).dryTexture(), 5, 1, {0, 0, 120, 255});
  const auto behind = canvas->pickColor(5, 1);
  ASSERT_TRUE(behind) << "the layers in front are empty there";
  EXPECT_NEAR(behind->components()[2], 120 / B, 1e-9);

  // A flat surface always shows; a textured one only when asked.
  canvas->artwork()->setSurface(Surface::FindSurface(SurfaceId::CanvasArmyDuck));
  canvas->setShowSurface(false);
  EXPECT_FALSE(canvas->pickColor(9, 5));
  canvas->setShowSurface(true);
  const auto surface = canvas->pickColor(9, 5);
  ASSERT_TRUE(surface);
  EXPECT_EQ(*surface, *canvas->backgroundColor());
}

TEST(ColorPick, NeedsTheManagersCanvas) {
  auto canvas = testsupport::makeCanvas(16, 8, 1.0, 1);
  AppManager().setCanvas(nullptr);
  EXPECT_FATAL(canvas->pickColor(1, 1), "ArtworkTextures.pickColor: the application manager has no canvas");
}

}  // namespace
