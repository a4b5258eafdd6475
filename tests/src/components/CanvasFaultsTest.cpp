// Layer and canvas behaviour at the edges the other tests leave alone: thickness that saturates
// when wet paint settles, the import's callback and edge points, a mask read by alpha alone, the
// shift's copy regions, a merge after a rectangle dry, and the size of the whole-layer snapshot
// at a scale other than 1.

#include <gtest/gtest.h>

#include "LayerTestSupport.h"
#include "commands/CommandManager.h"
#include "components/ArtworkData.h"
#include "gpu/CommandTrace.h"
#include "graphics/Bitmap.h"
#include "graphics/Image.h"
#include "utils/KernelInterface.h"

namespace tessivarium {
namespace {

using namespace layertest;

std::shared_ptr<graphics::Image> pictureOf(std::size_t w, std::size_t h) {
  std::vector<std::uint8_t> rgba(w * h * 4, 255);
  for (std::size_t i = 0; i < rgba.size(); i += 4) rgba[i] = static_cast<std::uint8_t>(40 + i);
  return std::make_shared<graphics::Image>(graphics::Bitmap::make(w, h, std::move(rgba), graphics::AlphaMode::Straight));
}

class CanvasFaults : public ::testing::Test {
 protected:
  CanvasFaults() {
    testsupport::useFakeTool();
    canvas = testsupport::makeCanvas(7, 5);
    AppManager().setCurrentPaint(canvas);
  }
  std::shared_ptr<testsupport::TestCanvas> canvas;
};

// The settled thickness is the sum of both, held at the deepest a cell can be.
TEST_F(CanvasFaults, DryingAddsThicknessesUpToTheDeepest) {
  struct Case {
    std::uint8_t wet, dry, settled;
  };
  auto& layer = canvas->layer(0);
  const Case cases[] = {{3, 2, 5}, {180, 74, 254}, {180, 75, 255}, {180, 150, 255}, {255, 255, 255}};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    setTexel(*layer.wetTexture(), i, 2, {200, 100, 50, c.wet});
    setTexel(*layer.dryTexture(), i, 2, {10, 20, 30, c.dry});
  }
  layer.doDry(graphics::Rect(0, 0, 7, 5));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(texelAt(*layer.dryTexture(), i, 2)[3], cases[i].settled) << i;
  }
}

// The import gives the current layer the step's callback, and an import without one clears what
// an earlier caller left there.
TEST_F(CanvasFaults, AnImportWithoutCallbackClearsTheLayersHandler) {
  auto& layer = canvas->layer(0);
  int runs = 0;
  layer.setDrawHandler([&] { ++runs; });
  layer.importImage(pictureOf(3, 2), graphics::Point(2.6, 1.3), std::nullopt, false, nullptr);
  EXPECT_FALSE(layer.drawHandler());
  layer.importImage(pictureOf(3, 2), graphics::Point(1, 1), std::nullopt, true, [&] { runs += 10; });
  ASSERT_TRUE(layer.drawHandler());
  layer.drawHandler()();
  EXPECT_EQ(runs, 10);
}

// A point on the layer's left or top edge is on the layer; a point just off it is refused.
TEST_F(CanvasFaults, ImportAcceptsTheEdgePointsAndRefusesThoseOffTheLayer) {
  struct Case {
    double x, y;
    bool recorded;
  };
  auto& layer = canvas->layer(0);
  const auto& steps = canvas->commandManager()->operationPool().operations();
  for (const Case c : {Case{0, 2.4, true}, Case{3.2, 0, true}, Case{-0.25, 1, false}, Case{1, -0.75, false}}) {
    const auto count = steps.size();
    layer.importImage(pictureOf(2, 2), graphics::Point(c.x, c.y), std::nullopt, false, nullptr);
    EXPECT_EQ(steps.size() - count, c.recorded ? 1u : 0u) << c.x << ", " << c.y;
  }
}

// Only the mask's alpha decides: an opaque black or blue texel is inside, a clear one is not.
TEST_F(CanvasFaults, MaskAnswersByAlphaAlone) {
  std::vector<std::uint8_t> rgba(3 * 2 * 4, 0);
  const std::uint8_t texels[][4] = {{0, 0, 0, 255}, {0, 0, 200, 255}, {0, 0, 0, 0}, {0, 90, 0, 7}, {255, 255, 255, 255}, {0, 0, 0, 0}};
  for (std::size_t i = 0; i < 6; ++i) std::copy(texels[i], texels[i] + 4, rgba.begin() + static_cast<std::ptrdiff_t>(i * 4));
  canvas->setMaskImage(std::make_shared<graphics::Image>(graphics::Bitmap::make(3, 2, std::move(rgba), graphics::AlphaMode::Straight)));
  const bool inside[] = {true, true, false, true, true, false};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(canvas->isInside(static_cast<std::int64_t>(i % 3), static_cast<std::int64_t>(i / 3)), inside[i]) << i;
  }
}

// Shifting every layer: each texel lands at its position plus the offset, and no copy asks for a
// region outside the textures it reads or writes (a device need not clip).
TEST_F(CanvasFaults, ShiftMovesTexelsWithRegionsInsideTheTextures) {
  auto& layer = canvas->layer(0);
  fillPattern(*layer.dryTexture(), 9);
  const auto before = bytesOf(*layer.dryTexture());
  const auto at = [&](std::size_t x, std::size_t y) {
    const std::size_t i = (y * 7 + x) * 4;
    return Texel{before[i], before[i + 1], before[i + 2], before[i + 3]};
  };
  gpu::commandTrace().start();
  canvas->move(-3, 2);
  const auto blits = gpu::commandTrace().blits();
  gpu::commandTrace().stop();
  EXPECT_EQ(texelAt(*layer.dryTexture(), 0, 2), at(3, 0));
  EXPECT_EQ(texelAt(*layer.dryTexture(), 3, 4), at(6, 2));
  ASSERT_FALSE(blits.empty());
  for (const auto& b : blits) {
    if (b.kind != gpu::BlitKind::TextureToTexture) continue;
    EXPECT_LE(b.sourceOrigin.x + b.size.width, b.sourceTexture->width());
    EXPECT_LE(b.sourceOrigin.y + b.size.height, b.sourceTexture->height());
    EXPECT_LE(b.destinationOrigin.x + b.size.width, b.destinationTexture->width());
    EXPECT_LE(b.destinationOrigin.y + b.size.height, b.destinationTexture->height());
  }
}

// The merge dries the whole target, whatever rectangle an earlier dry left on the shared pass.
TEST(CanvasFaultsMerge, MergeDriesTheWholeTargetAfterARectangleDry) {
  testsupport::useFakeTool();
  auto canvas = testsupport::makeCanvas(24, 12, 1.0, 2);
  AppManager().setCurrentPaint(canvas);
  auto &target = canvas->layer(0), &source = canvas->layer(1);
  for (auto* layer : {&target, &source})
    for (const auto& t : {layer->gridTexture(), layer->wetTexture(), layer->dryTexture()}) {
      const std::vector<std::uint8_t> zeros(t->width() * t->height() * 4, 0);
      t->writeRegion(gpu::Region::make2D(0, 0, t->width(), t->height()), 0, zeros, t->width() * 4);
    }
  source.doDry(graphics::Rect(1, 1, 3, 2));
  setTexel(*target.wetTexture(), 19, 9, {200, 100, 50, 30});
  target.merge({canvas->layers()[1]});
  EXPECT_EQ(texelAt(*target.dryTexture(), 19, 9)[3], 30) << "the wet paint far from the rectangle settled";
}

// The whole-layer snapshot has the layer's data size, not the picture's.
TEST(CanvasFaultsScale, BeforeHasTheDataSize) {
  testsupport::useFakeTool();
  auto canvas = testsupport::makeCanvas(41, 30, 0.5);
  AppManager().setCurrentPaint(canvas);
  const auto& before = canvas->before();
  ASSERT_TRUE(before && before->gridTexture());
  EXPECT_EQ(before->gridTexture()->width(), 20u);
  EXPECT_EQ(before->dryTexture()->height(), 15u);
}

}  // namespace
}  // namespace tessivarium
