#include "components/ArtworkTextures.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "ErrorMessage.h"
#include "LayerTestSupport.h"
#include "gpu/CommandTrace.h"
#include "gpu/TestControls.h"
#include "gpu/TextureDescriptor.h"
#include "commands/CommandManager.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {
namespace {

using namespace layertest;
using testsupport::makeCanvas;

struct SizingCase {
  std::int64_t width, height;
  double scale;
  std::size_t dataWidth, dataHeight;
};

class LayerSizing : public ::testing::TestWithParam<SizingCase> {};

TEST_P(LayerSizing, DataTexturesTakeTheScaleAndDropTheFraction) {
  const SizingCase c = GetParam();
  auto canvas = makeCanvas(c.width, c.height, c.scale);
  auto& layer = canvas->layer(0);
  for (const auto& texture : {layer.gridTexture(), layer.wetTexture(), layer.dryTexture()}) {
    EXPECT_EQ(texture->width(), c.dataWidth);
    EXPECT_EQ(texture->height(), c.dataHeight);
  }
  EXPECT_EQ(layer.paintingTexture()->width(), static_cast<std::size_t>(c.width));
  EXPECT_EQ(layer.paintingTexture()->height(), static_cast<std::size_t>(c.height));
  EXPECT_EQ(layer.metalView()->drawableSize(), graphics::Size(c.width, c.height));
  EXPECT_EQ(layer.metalView()->frame(), graphics::Rect(0, 0, c.width, c.height));
  EXPECT_EQ(layer.gridTexture()->pixelFormat(), gpu::PixelFormat::RGBA8Unorm);
}

INSTANTIATE_TEST_SUITE_P(Artworks, LayerSizing,
                         ::testing::Values(SizingCase{2048, 1080, 0.5, 1024, 540}, SizingCase{1001, 601, 0.5, 500, 300},
                                           SizingCase{40, 30, 1.5, 60, 45}));

TEST(Layer, APaletteTakesTheMainCanvassScale) {
  auto main = makeCanvas(64, 48, 0.5);
  AppManager().setCanvas(main);
  auto palette = makeCanvas(40, 30, 1.0, 1, MainPaintId + 1, false);
  EXPECT_EQ(palette->layer(0).dryTexture()->width(), 20u);
  EXPECT_EQ(palette->layer(0).paintingTexture()->width(), 40u);
}

TEST(Layer, SizesWithoutATextureAreRefusedBeforeAnythingIsMade) {
  for (const double scale : {0.0, -1.0, 0.01, std::nan(""), std::numeric_limits<double>::infinity()}) {
    auto canvas = makeCanvas(64, 48);
    canvas->setArtwork(testsupport::flatArtwork(64, 48, scale));
    const auto heap = AppManager().heapSize();
    const auto requests = gpu::testControls().textureRequests();
    try {
      ArtworkTextures::make(*canvas, 1);
      ADD_FAILURE() << "scale " << scale << " gave a layer";
    } catch (const Error& e) {
      EXPECT_EQ(e.message(), ErrorMessage::TextureFormatIncompatible) << scale;
    }
    EXPECT_EQ(AppManager().heapSize(), heap);
    EXPECT_EQ(gpu::testControls().textureRequests(), requests) << "no texture asked for";
  }
}

// The device fails the n-th of the four makes of a layer.
class LayerFailed : public ::testing::TestWithParam<int> {};

TEST_P(LayerFailed, GivesBackWhatItMadeAndReportsOnce) {
  auto canvas = makeCanvas(32, 24);
  const auto errors = countErrors();
  const auto heap = AppManager().heapSize();
  const auto requests = gpu::testControls().textureRequests();
  gpu::testControls().failTextureRequest(static_cast<std::size_t>(GetParam()));
  try {
    ArtworkTextures::make(*canvas, 1);
    ADD_FAILURE() << "a layer was made";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), ErrorMessage::NoMoreHeap);
  }
  EXPECT_EQ(AppManager().heapSize(), heap);
  EXPECT_EQ(errors->errors, std::vector<ErrorMessage>{ErrorMessage::NoMoreHeap}) << "the failed make alone";
  EXPECT_EQ(gpu::testControls().textureRequests() - requests, static_cast<std::size_t>(GetParam()))
      << "nothing behind the failed texture, nothing asked for twice";
}

INSTANTIATE_TEST_SUITE_P(Makes, LayerFailed, ::testing::Values(1, 2, 3, 4));

TEST(Layer, ViewStartsPausedAndTheObserversUnpauseIt) {
  auto canvas = makeCanvas(16, 16);
  auto layer = ArtworkTextures::make(*canvas, 1);
  const auto& view = layer->metalView();
  EXPECT_TRUE(view->isPaused());
  EXPECT_EQ(layer->drawingMode(), DrawingMode::Recreated);
  EXPECT_EQ(view->delegate(), nullptr) << "the canvas gives the delegate";
  layer->setIsDrawing(false);
  EXPECT_TRUE(view->isPaused());
  layer->setIsDrawing(true);
  EXPECT_FALSE(view->isPaused());
  view->setPaused(true);
  layer->setDrawingMode(DrawingMode::Recreated);  // the same mode
  EXPECT_FALSE(view->isPaused());
}

TEST(Layer, VisibleAtAndBelowTheCurrentLayerUnlessHidden) {
  auto canvas = makeCanvas(8, 8, 1.0, 3);
  canvas->setLayerIndex(1);
  struct Case {
    std::size_t layer;
    bool hidden, visible;
  };
  for (const Case c : {Case{0, false, true}, Case{1, false, true}, Case{2, false, false}, Case{1, true, false},
                       Case{2, true, false}}) {
    canvas->layer(c.layer).setIsHidden(c.hidden);
    EXPECT_EQ(canvas->layer(c.layer).isVisible(), c.visible) << c.layer << c.hidden;
    canvas->layer(c.layer).setIsHidden(false);
  }
  EXPECT_TRUE(canvas->background()->isVisible());
  canvas->background()->setIsHidden(true);
  EXPECT_FALSE(canvas->background()->isVisible());
}

// Per source: the target's wet paint dries into its dry paint, the source's dry paint is laid
// over it, then the source's grid and wet replace the target's.
TEST(Layer, MergeDriesOverlaysAndTakesTheLastSourcesGridAndWet) {
  testsupport::useFakeTool();
  auto canvas = makeCanvas(8, 8, 1.0, 3);
  AppManager().setCurrentPaint(canvas);
  auto& target = canvas->layer(0);
  auto& a = canvas->layer(1);
  auto& b = canvas->layer(2);
  for (auto* layer : {&target, &a, &b}) {
    for (const auto& t : {layer->gridTexture(), layer->wetTexture(), layer->dryTexture()}) {
      t->writeRegion(gpu::Region::make2D(0, 0, 8, 8), 0, std::vector<std::uint8_t>(256, 0), 32);
    }
  }
  setTexel(*target.wetTexture(), 0, 0, {200, 100, 50, 3});
  setTexel(*a.dryTexture(), 0, 0, {10, 20, 30, 2});
  setTexel(*a.wetTexture(), 1, 0, {50, 60, 70, 4});
  fillPattern(*b.gridTexture(), 3);
  fillPattern(*b.wetTexture(), 4);
  setTexel(*b.wetTexture(), 1, 0, {0, 0, 0, 0});
  const auto aDry = bytesOf(*a.dryTexture()), bWet = bytesOf(*b.wetTexture());

  target.merge({canvas->layers()[1], canvas->layers()[2]});

  EXPECT_EQ(texelAt(*target.dryTexture(), 0, 0), (Texel{124, 68, 42, 5})) << "dried, then a's dry laid over";
  EXPECT_EQ(texelAt(*target.dryTexture(), 1, 0), (Texel{50, 60, 70, 4})) << "a's wet dried by b's pass";
  EXPECT_EQ(bytesOf(*target.gridTexture()), bytesOf(*b.gridTexture()));
  EXPECT_EQ(bytesOf(*target.wetTexture()), bWet);
  EXPECT_EQ(bytesOf(*a.dryTexture()), aDry) << "the sources stay as they were";

  gpu::commandTrace().start();
  target.merge({});
  EXPECT_TRUE(gpu::commandTrace().commits().empty());
  gpu::commandTrace().stop();
}

TEST(Layer, ReleaseUncountsOnceAndPuttingBackCountsAgain) {
  auto canvas = makeCanvas(16, 8);
  auto layer = ArtworkTextures::make(*canvas, 1);
  const auto heap = AppManager().heapSize();
  canvas->addSubview(layer->metalView());
  layer->cleanResources();
  EXPECT_EQ(AppManager().heapSize(), heap - layerBytes(16, 8));
  EXPECT_EQ(layer->metalView()->superview(), nullptr);
  layer->cleanResources();
  EXPECT_EQ(AppManager().heapSize(), heap - layerBytes(16, 8)) << "never below what the layer held";
  EXPECT_NE(layer->dryTexture(), nullptr) << "the paint stays with the layer";
  layer->putBack();
  layer->putBack();
  EXPECT_EQ(AppManager().heapSize(), heap);
}

TEST(Layer, ALayerMadeWithAnotherTakesItsPaintUnrecorded) {
  testsupport::useFakeTool();
  auto canvas = makeCanvas(12, 8);
  AppManager().setCurrentPaint(canvas);
  const auto& source = canvas->layers()[0];
  for (const auto& t : {source->gridTexture(), source->wetTexture(), source->dryTexture()}) fillPattern(*t, 5);
  auto copy = ArtworkTextures::make(*canvas, 1, source);
  EXPECT_EQ(bytesOf(*copy->wetTexture()), bytesOf(*source->wetTexture()));
  EXPECT_EQ(bytesOf(*copy->dryTexture()), bytesOf(*source->dryTexture()));
  EXPECT_EQ(bytesOf(*copy->gridTexture()), bytesOf(*source->gridTexture()));
  EXPECT_FALSE(canvas->commandManager()->canUndo()) << "a new layer beside the stack has nothing to undo";
}

TEST(Layer, LoadsFailsAtTheFirstTextureOfAnotherWidth) {
  auto canvas = makeCanvas(16, 8);
  EXPECT_NO_THROW(canvas->loads());
  canvas->layer(0).setWetTexture(AppManager().makeTexture(15, 8));
  try {
    canvas->loads();
    ADD_FAILURE() << "loads passed";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), ErrorMessage::NoMoreHeap);
  }
}

}  // namespace
}  // namespace tessivarium
