#include "utils/CoreImageUtil.h"

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CompositionTestHelpers.h"
#include "FatalStop.h"
#include "gpu/CommandTrace.h"
#include "graphics/ImageContext.h"
#include "imaging/Context.h"
#include "tools/ApplicationManager.h"
#include "tools/SurfaceWorkingTextures.h"
#include "utils/KernelInterface.h"

namespace tessivarium {
namespace {

using compositiontest::composableCanvas;
using compositiontest::filledTexture;
using compositiontest::newBuffer;
using compositiontest::Texel;
using compositiontest::texelAt;

// --- The pass sequence ---------------------------------------------------------------------------

enum class Target { Height, Dry, Alpha, DryAlpha };

// One expected dispatch: its kernel, the lower layer it folds in (-1: none), its last-layer flag
// (-1: none bound) and where it writes.
struct Pass {
  const char* kernel;
  int layer;
  int lastLayer;
  Target target;
};

constexpr Pass height(bool last) { return {"texture_data_to_height_image", -1, last, Target::Height}; }
constexpr Pass sub(int layer, bool last, Target target) { return {"texture_data_to_height_subimage", layer, last, target}; }
constexpr Pass alpha{"texture_data_to_height_alpha", -1, -1, Target::Alpha};
constexpr Pass dryHeight{"texture_data_to_height_dry_image", -1, -1, Target::Dry};
constexpr Pass dryAlpha{"texture_data_to_height_dry_alpha", -1, -1, Target::DryAlpha};

struct SequenceCase {
  const char* name;
  LayerMode mode;
  bool showBackground;
  std::size_t current;
  std::vector<std::size_t> hidden;
  std::vector<Pass> passes;  // each is dispatched twice
};

class CoreImageUtilPassSequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(CoreImageUtilPassSequence, FollowsTheModeAndTheVisibleLowerLayers) {
  const SequenceCase& c = GetParam();
  auto canvas = composableCanvas(64, 48, 1.0, 4);
  canvas->setLayerMode(c.mode);
  canvas->setShowBackground(c.showBackground);
  canvas->setLayerIndex(static_cast<std::int64_t>(c.current));
  for (std::size_t i : c.hidden) canvas->layer(i).setIsHidden(true);
  SurfaceWorkingTextures& working = AppManager().surfaceTextures();
  const std::map<Target, std::shared_ptr<gpu::Texture>> targets = {
      {Target::Height, working.renderingTexture()},
      {Target::Dry, working.renderingDryTexture()},
      {Target::Alpha, working.renderingAlphaTexture()},
      {Target::DryAlpha, working.renderingDryAlphaTexture()}};

  gpu::commandTrace().start();
  auto buffer = newBuffer();
  ASSERT_TRUE(CoreImageUtil::renderImage(*canvas, buffer, 0, 0));
  const auto dispatches = gpu::commandTrace().dispatches();
  ASSERT_EQ(dispatches.size(), 2 * c.passes.size());
  for (std::size_t i = 0; i < dispatches.size(); ++i) {
    const Pass& expected = c.passes[i / 2];
    const gpu::DispatchRecord& d = dispatches[i];
    SCOPED_TRACE("dispatch " + std::to_string(i));
    EXPECT_EQ(d.kernelName, expected.kernel);
    const std::int64_t targetSlot = expected.target == Target::Alpha || expected.target == Target::DryAlpha
                                        ? TEXTURE_COLOR_IMAGE_WRITE
                                        : TEXTURE_HEIGHT_IMAGE_WRITE;
    EXPECT_EQ(d.textures.at(targetSlot), targets.at(expected.target));
    if (expected.layer >= 0) {
      EXPECT_EQ(d.textures.at(TEXTURE_GRID_READ), canvas->layer(static_cast<std::size_t>(expected.layer)).gridTexture());
    }
    if (expected.lastLayer >= 0) {
      ASSERT_TRUE(d.buffers.count(BUFFER_LAST_LAYER));
      EXPECT_EQ(d.buffers.at(BUFFER_LAST_LAYER).bytes.at(0), expected.lastLayer);
    }
  }
  EXPECT_TRUE(gpu::commandTrace().commits().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CoreImageUtilPassSequence,
    ::testing::Values(
        SequenceCase{"PageShowsTheCurrentLayerAlone", LayerMode::Page, true, 3, {}, {height(true)}},
        SequenceCase{"PageWithoutBackgroundHasNoLowerLayers", LayerMode::Page, false, 3, {},
                     {height(true), alpha, dryHeight, dryAlpha}},
        SequenceCase{"StackWithTheBackgroundShown", LayerMode::Stack, true, 3, {}, {height(true)}},
        SequenceCase{"StackAtTheBottomLayer", LayerMode::Stack, false, 0, {}, {height(true), alpha, dryHeight, dryAlpha}},
        SequenceCase{"StackWithEveryLowerLayerHidden", LayerMode::Stack, false, 2, {0, 1},
                     {height(true), alpha, dryHeight, dryAlpha}},
        SequenceCase{"StackWithHiddenAndVisibleLowerLayers", LayerMode::Stack, false, 3, {1},
                     {height(false), sub(0, false, Target::Height), sub(2, true, Target::Height), alpha, dryHeight,
                      sub(0, false, Target::Dry), sub(2, true, Target::Dry), dryAlpha}}),
    [](const ::testing::TestParamInfo<SequenceCase>& info) { return std::string(info.param.name); });

// --- Geometry and placement ---------------------------------------------------------------------------

struct GeometryCase {
  double scale, x, y;
  graphics::Rect extent, bounds;
};

class CoreImageUtilRenderGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(CoreImageUtilRenderGeometry, PlacesTheRegionsExactPixels) {
  const GeometryCase& c = GetParam();
  auto canvas = composableCanvas(400, 300, c.scale, 1);
  canvas->ciContext()->startRecording();
  auto buffer = newBuffer();
  CoreImageUtil::render(*canvas, canvas->layer(0).paintingTexture(), buffer, c.x, c.y);
  const auto& renders = canvas->ciContext()->renders();
  ASSERT_EQ(renders.size(), 1u);
  EXPECT_EQ(renders[0].extent, c.extent);  // the exact pixels, whole ones
  EXPECT_EQ(renders[0].bounds, c.bounds);
  EXPECT_EQ(renders[0].texture, canvas->layer(0).paintingTexture());
  EXPECT_TRUE(renders[0].onCommandBuffer);
}

// Sample points at least 1.5 cells inside the region, except where it meets the layer's edge
// (then from or up to the layer's one-cell border): at scale 1 the inner 254 cells; at scale 2
// pixel p samples cell 2p + 1; at scale 0.5 (a layer of 200 x 150 cells, within one region)
// everything but the layer's border.
INSTANTIATE_TEST_SUITE_P(
    Scales, CoreImageUtilRenderGeometry,
    ::testing::Values(GeometryCase{1.0, 0, 0, {1, 1, 254, 254}, {0, 0, 255, 255}},
                      GeometryCase{1.0, 100, 40, {101, 41, 254, 254}, {0, 0, 355, 295}},
                      GeometryCase{1.0, 144, 44, {145, 45, 254, 254}, {0, 0, 399, 299}},
                      GeometryCase{2.0, 0, 0, {0, 0, 127, 127}, {0, 0, 127, 127}},
                      GeometryCase{2.0, 100, 40, {51, 21, 126, 126}, {0, 0, 177, 147}},
                      GeometryCase{0.5, 0, 0, {2, 2, 396, 296}, {0, 0, 398, 298}}));

// A palette's cells are the main canvas's: its regions are placed at that scale, not its own.
TEST(CoreImageUtil, APaletteIsPlacedAtTheMainCanvassScale) {
  AppManager().setCanvas(composableCanvas(400, 300, 2.0, 1));
  auto palette = composableCanvas(200, 150, 1.0, 1);
  ASSERT_EQ(palette->layer(0).gridTexture()->width(), 400u);
  palette->ciContext()->startRecording();
  CoreImageUtil::render(*palette, palette->layer(0).paintingTexture(), newBuffer(), 0, 0);
  ASSERT_EQ(palette->ciContext()->renders().size(), 1u);
  EXPECT_EQ(palette->ciContext()->renders()[0].extent, graphics::Rect(0, 0, 127, 127));
}

// Within the layer; a region that reaches past its edge ends its relief there.
TEST(CoreImageUtil, RenderImageDoesNotDependOnTheOrigin) {
  auto canvas = composableCanvas(600, 500, 1.0, 2);
  // A spot of thick paint makes the picture uneven, so that any shift of it would show.
  const Texel spot{200, 40, 40, 5};
  AppManager().surfaceTextures().wetTexture0()->writeRegion(gpu::Region::make2D(10, 20, 1, 1), 0, spot, 4);
  auto buffer = newBuffer();
  const auto a = CoreImageUtil::renderImage(*canvas, buffer, 0, 0);
  const auto b = CoreImageUtil::renderImage(*canvas, buffer, 120, 77);
  buffer->commit();
  EXPECT_EQ(a->extent(), b->extent());
  EXPECT_EQ(a->extent(), graphics::Rect(0, 0, 256, 256));
  EXPECT_NE(a->sample({10.5, 20.5}), a->sample({30.5, 30.5})) << "the spot shows";
  std::vector<graphics::Point> points;
  for (double y = 0.5; y < 40; ++y)
    for (double x = 0.5; x < 40; ++x) points.push_back({x, y});
  std::vector<imaging::RGBA> fromA(points.size()), fromB(points.size());
  a->sample(points.data(), points.size(), fromA.data());
  b->sample(points.data(), points.size(), fromB.data());
  EXPECT_TRUE(fromA == fromB);
}

struct PlacementCase {
  double scale;
  std::size_t firstColumn, endColumn, firstRow, endRow;
};

class CoreImageUtilPlacement : public ::testing::TestWithParam<PlacementCase> {};

// Only the texels of the region's exact pixels change.
TEST_P(CoreImageUtilPlacement, WritesOnlyThePlacedRegion) {
  const PlacementCase& c = GetParam();
  auto canvas = composableCanvas(300, 200, c.scale, 2);
  canvas->setShowBackground(false);
  const Texel marker{1, 2, 3, 4};
  const auto painting = canvas->layer(1).paintingTexture();
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < 300 * 200; ++i) bytes.insert(bytes.end(), marker.begin(), marker.end());
  painting->writeRegion(gpu::Region::make2D(0, 0, 300, 200), 0, bytes, 300 * 4);

  auto buffer = newBuffer();
  CoreImageUtil::render(*canvas, painting, buffer, 20, 10);
  EXPECT_EQ(texelAt(*painting, c.firstColumn, c.firstRow), marker);  // nothing until the commit
  buffer->commit();

  for (std::size_t y = 0; y < 200; ++y) {
    for (std::size_t x = 0; x < 300; ++x) {
      const bool inside = x >= c.firstColumn && x < c.endColumn && y >= c.firstRow && y < c.endRow;
      if ((texelAt(*painting, x, y) != marker) != inside) {
        ADD_FAILURE() << "texel (" << x << ", " << y << ") " << (inside ? "kept" : "changed");
        return;
      }
    }
  }
}

// Scale 1: columns 21 to 274, rows from 11 to the layer's border (row 199). Scale 2: the pixels
// whose sample cells 2p + 1 lie in [21.5, 274.5] across and [11.5, 264.5] down.
INSTANTIATE_TEST_SUITE_P(Scales, CoreImageUtilPlacement,
                         ::testing::Values(PlacementCase{1.0, 21, 275, 11, 199}, PlacementCase{2.0, 11, 137, 6, 132}));

TEST(CoreImageUtil, CompositionNeedsTheShadingImage) {
  auto canvas = composableCanvas(64, 48, 1.0, 1);
  canvas->setShadingImage(nullptr);
  auto buffer = newBuffer();
  EXPECT_FATAL_CONTAINING(CoreImageUtil::render(*canvas, canvas->layer(0).paintingTexture(), buffer, 0, 0),
                          "shading image");
}

// --- The stand-alone operations -------------------------------------------------------------------

TEST(CoreImageUtil, SetColorFillsEveryTexel) {
  auto texture = filledTexture(7, 5, {9, 9, 9, 9});
  CoreImageUtil::setColor(texture, graphics::Color::fromRGBA(1.0, 0.0, 0.0, 1.0));
  for (std::size_t y = 0; y < 5; ++y)
    for (std::size_t x = 0; x < 7; ++x) EXPECT_EQ(texelAt(*texture, x, y), (Texel{255, 0, 0, 255}));
}

TEST(CoreImageUtil, CreateImageHasTheViewsBoundsTimesTheScale) {
  ui::View view(graphics::Rect(10, 20, 30, 16));
  view.setBackgroundColor(graphics::Color::white());
  const auto image = CoreImageUtil::createImage(view);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixelWidth(), 30u);
  EXPECT_EQ(image->pixelHeight(), 16u);
  const auto doubled = CoreImageUtil::createImage(view, 2.0);
  EXPECT_EQ(doubled->pixelWidth(), 60u);
  EXPECT_FALSE(graphics::currentContext());  // the context is closed again
}

}  // namespace
}  // namespace tessivarium
