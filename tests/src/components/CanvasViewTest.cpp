#include "components/DrawingPaint.h"

#include <cmath>

#include <gtest/gtest.h>

#include "LayerTestSupport.h"
#include "TempResourceRoot.h"
#include "components/ArtworkData.h"
#include "components/BrushView.h"
#include "gpu/TestControls.h"
#include "gpu/TextureDescriptor.h"
#include "graphics/Bitmap.h"
#include "graphics/Image.h"
#include "imaging/Image.h"
#include "tools/ApplicationManager.h"
#include "tools/ToolSurface.h"

namespace tessivarium {
namespace {

using namespace layertest;
using testsupport::makeCanvas;

std::shared_ptr<graphics::Image> imageOf(std::size_t w, std::size_t h, std::vector<std::uint8_t> rgba) {
  return std::make_shared<graphics::Image>(graphics::Bitmap::make(w, h, std::move(rgba), graphics::AlphaMode::Straight));
}

std::shared_ptr<graphics::Image> opaqueImage(std::size_t w, std::size_t h) {
  return imageOf(w, h, std::vector<std::uint8_t>(w * h * 4, 255));
}

std::shared_ptr<testsupport::TestCanvas> canvasOn(SurfaceId id, std::int64_t w = 16, std::int64_t h = 12) {
  auto artwork = std::make_shared<Artwork>("surface", w, h, Surface::FindSurface(id));
  return std::make_shared<testsupport::TestCanvas>(MainPaintId, artwork);
}

TEST(CanvasView, ConstructionStacksBackgroundLayerAndBrushViewAndMakesNothingElse) {
  const auto heap = AppManager().heapSize();
  auto canvas = makeCanvas(40, 30);
  EXPECT_EQ(canvas->frame(), graphics::Rect(0, 0, 40, 30));
  EXPECT_EQ(canvas->backgroundColor(), graphics::Color::white());
  EXPECT_EQ(canvas->borderColor(), graphics::Color::white());
  EXPECT_EQ(canvas->borderWidth(), 1.0);
  const auto& background = canvas->background();
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(background->index(), -1);
  EXPECT_EQ(background->metalView()->alpha(), 0.5);
  EXPECT_EQ(background->metalView()->delegate(), background);
  ASSERT_EQ(canvas->layers().size(), 1u);
  const auto& layer = canvas->layers()[0];
  EXPECT_EQ(canvas->subviews(), (std::vector<std::shared_ptr<ui::View>>{background->metalView(), layer->metalView(),
                                                                        canvas->brushView()}));
  EXPECT_EQ(layer->metalView()->delegate(), layer);
  EXPECT_EQ(canvas->layerIndex(), 0);
  EXPECT_EQ(canvas->groundTexture()->width(), 1u) << "the flat surface";
  EXPECT_EQ(AppManager().heapSize() - heap, 2 * layerBytes(40, 30) + 4)
      << "two layers and the ground: no snapshot, no colour texture yet";
  EXPECT_EQ(canvas->brushView()->options()->at("SCNPreferredRenderingAPIKey"), "0");
}

// The device fails the first make of the background, or of the first layer: the canvas is
// built without them, reports once, and every entry leaves it alone.
class CanvasViewWithoutLayers : public ::testing::TestWithParam<std::size_t> {};

TEST_P(CanvasViewWithoutLayers, IsBuiltReportsOnceAndStaysUsable) {
  testsupport::useFakeTool();
  const auto heap = AppManager().heapSize();
  const auto errors = countErrors();
  // The n-th texture of the canvas's size fails: n = 1 the background's first, n = 5 the first layer's.
  auto layerTextures = std::make_shared<std::size_t>(0);
  gpu::testControls().failTexturesWhere([layerTextures, n = GetParam()](const gpu::TextureDescriptor& d) {
    return d.width == 16 && ++*layerTextures == n;
  });
  auto canvas = std::make_shared<testsupport::TestCanvas>(MainPaintId, testsupport::flatArtwork(16, 12));
  gpu::testControls().failTexturesWhere({});
  EXPECT_EQ(errors->errors, (std::vector<ErrorMessage>{ErrorMessage::NoMoreHeap, ErrorMessage::NoMoreHeap}))
      << "the failed make and the canvas, nothing more";
  EXPECT_TRUE(canvas->layers().empty());
  EXPECT_EQ(canvas->background() == nullptr, GetParam() == 1);
  ASSERT_NE(canvas->groundTexture(), nullptr);
  EXPECT_EQ(canvas->currentContent(), nullptr);
  canvas->updateLayers();
  canvas->doLayerGoUp();
  canvas->doLayerGoDown();
  canvas->cleanAllLayers();
  canvas->move(2, 1);
  canvas->setShowSurface(true);
  canvas->changeSurface(Surface::FindSurface(SurfaceId::PaperHotPress90lb));
  canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(2, 2)));
  EXPECT_TRUE(canvas->isInside(3, 3));
  EXPECT_EQ(canvas->redraws.size(), 1u) << "the surface change";
  canvas->cleanResources();
  EXPECT_EQ(AppManager().heapSize() - heap, 16) << "only the shading image's texture is left";
}

INSTANTIATE_TEST_SUITE_P(FailedMakes, CanvasViewWithoutLayers, ::testing::Values(1, 5));

TEST(CanvasView, GroundFromTheSurfacesMapImage) {
  testsupport::TempResourceRoot root;
  const auto surface = Surface::FindSurface(SurfaceId::CanvasArmyDuck);
  ASSERT_TRUE(opaqueImage(6, 5)->writePNG(root.path() / (surface->mapFile() + ".png")));
  EXPECT_EQ(canvasOn(SurfaceId::CanvasArmyDuck)->groundTexture()->width(), 6u);
  EXPECT_EQ(canvasOn(SurfaceId::CanvasArmyDuck)->groundTexture()->height(), 5u);
  EXPECT_EQ(canvasOn(SurfaceId::PaperRough901b)->groundTexture()->width(), 1u) << "no such image";
  EXPECT_EQ(canvasOn(SurfaceId::Flat)->groundTexture()->width(), 1u);
}

TEST(CanvasView, ChangeSurfaceActsOnAnotherIdOnly) {
  auto canvas = canvasOn(SurfaceId::PaperIndiaRough);
  const auto ground = canvas->groundTexture();
  const auto& same = Surface::FindSurface(SurfaceId::PaperIndiaRough);
  canvas->changeSurface(std::make_shared<Surface>(same->id(), same->category(), "copy", "", "", same->mapFile(), ""));
  EXPECT_EQ(canvas->groundTexture(), ground);
  EXPECT_TRUE(canvas->redraws.empty());

  canvas->background()->setDrawingMode(DrawingMode::Normal);
  const auto heap = AppManager().heapSize();
  canvas->changeSurface(Surface::FindSurface(SurfaceId::Flat));
  EXPECT_NE(canvas->groundTexture(), ground);
  EXPECT_EQ(AppManager().heapSize(), heap - static_cast<std::int64_t>(ground->width() * ground->height() * 4) + 4)
      << "the old ground given back, a 1 x 1 one made";
  EXPECT_EQ(canvas->redraws, std::vector<DrawingMode>{DrawingMode::Recreated});
  EXPECT_EQ(canvas->background()->drawingMode(), DrawingMode::Recreated);
  EXPECT_EQ(canvas->artwork()->surface()->id(), SurfaceId::Flat);
}

TEST(CanvasView, AFlatSurfaceAlwaysShowsItsGround) {
  auto flat = makeCanvas(8, 8);
  flat->background()->setDrawingMode(DrawingMode::Normal);
  flat->setShowSurface(false);
  EXPECT_TRUE(flat->showSurface());
  EXPECT_EQ(flat->background()->drawingMode(), DrawingMode::Recreated);
  auto paper = canvasOn(SurfaceId::PaperHotPress300lb);
  paper->setShowSurface(false);
  EXPECT_FALSE(paper->showSurface());
}

TEST(CanvasView, MaskHitTest) {
  auto canvas = makeCanvas(16, 12);
  std::vector<std::uint8_t> rgba(4 * 3 * 4, 255);
  rgba[(2 * 4 + 1) * 4 + 3] = 0;  // (1, 2)
  rgba[(0 * 4 + 3) * 4 + 3] = 0;  // (3, 0)
  canvas->setMaskImage(imageOf(4, 3, rgba));
  struct Case {
    std::int64_t x, y;
    bool inside;
  };
  for (const Case c : {Case{1, 2, false}, Case{3, 0, false}, Case{0, 0, true}, Case{2, 2, true}, Case{4, 0, true},
                       Case{0, 3, true}, Case{-1, 0, true}, Case{0, -7, true}}) {
    EXPECT_EQ(canvas->isInside(c.x, c.y), c.inside) << c.x << ", " << c.y;
  }
  EXPECT_FALSE(canvas->isInside(graphics::Point(1.9, 2.2)));
  EXPECT_TRUE(canvas->isInside(graphics::Point(-0.5, 2.2))) << "negative, though it truncates to 0";
  EXPECT_TRUE(canvas->isInside(graphics::Point(std::nan(""), 0)));

  const auto heap = AppManager().heapSize();
  canvas->setMaskImage(opaqueImage(2, 2));
  EXPECT_EQ(AppManager().heapSize(), heap - 4 * 3 * 4 + 2 * 2 * 4) << "the old mask given back";
  EXPECT_TRUE(canvas->isInside(1, 1));
  canvas->setMaskImage(nullptr);
  EXPECT_EQ(canvas->maskTexture(), nullptr);
  EXPECT_EQ(AppManager().heapSize(), heap - 4 * 3 * 4);
}

TEST(CanvasView, ReleaseGivesEverythingBackAndLeavesTheCurrentPaint) {
  struct Host : LayerChangeDelegate, PaintingDelegate {
    void updateLayers() override {}
    void touchesMoved(const ui::TouchSet&, const ui::Event*) override {}
    void touchesBegan(const ui::TouchSet&, const ui::Event*) override {}
    void touchesEnded(const ui::TouchSet&, const ui::Event*) override {}
  };
  testsupport::useFakeTool();
  const auto heap = AppManager().heapSize();
  auto canvas = makeCanvas(16, 12, 1.0, 3);
  auto host = std::make_shared<Host>();
  canvas->setLayerChangeDelegate(host);
  canvas->setPaintingDelegate(host);
  canvas->setTouchHandlers({host});
  canvas->saveBefore(canvas->currentLayer());
  canvas->colorTexture2D();
  canvas->setMaskImage(opaqueImage(3, 3));
  canvas->setShadingImage(imaging::Image::fromTexture(canvas->colorTexture2D()));
  ASSERT_EQ(AppManager().currentPaint(), canvas);

  canvas->cleanResources();
  EXPECT_EQ(AppManager().heapSize(), heap);
  EXPECT_TRUE(canvas->isReleased());
  EXPECT_TRUE(canvas->layers().empty());
  EXPECT_EQ(canvas->background(), nullptr);
  EXPECT_EQ(canvas->paintingDelegate(), nullptr);
  EXPECT_TRUE(canvas->touchHandlers().empty());
  EXPECT_EQ(canvas->layerChangeDelegate(), host);
  EXPECT_EQ(canvas->shadingImage(), nullptr);
  EXPECT_EQ(AppManager().currentPaint(), nullptr) << "a released canvas is not current";
  EXPECT_TRUE(canvas->subviews().empty());
}

// The host releases a palette, then the manager's clean-up releases it again.
TEST(CanvasView, ASecondReleaseChangesNothing) {
  testsupport::useFakeTool();
  const auto heap = AppManager().heapSize();
  const auto palette = AppManager().createPalette();
  palette->colorTexture2D();
  palette->before();
  palette->cleanResources();
  ASSERT_EQ(AppManager().heapSize(), heap);
  palette->cleanResources();
  EXPECT_EQ(AppManager().heapSize(), heap);
}

TEST(CanvasView, ShadingImageMakesTheCanvasCurrentAndRedrawsOnlyWhenNeeded) {
  auto tool = testsupport::useFakeTool();
  auto canvas = makeCanvas(16, 12);
  canvas->setShadingImage(nullptr);
  EXPECT_EQ(AppManager().currentPaint(), canvas);
  EXPECT_EQ(tool->enabledCount, 0);
  const auto image = imaging::Image::fromTexture(AppManager().makeTexture(2, 2));
  canvas->setShadingImage(image);
  EXPECT_EQ(tool->enabledCount, 1);
  EXPECT_TRUE(canvas->redraws.empty()) << "the layer is rebuilding already";
  canvas->layer(0).setDrawingMode(DrawingMode::Normal);
  tool->toolSurface()->setOffset({5, 6, 0});
  canvas->setShadingImage(image);
  EXPECT_EQ(canvas->redraws, std::vector<DrawingMode>{DrawingMode::Recreated});
  EXPECT_EQ(tool->toolSurface()->offset(), (gpu::uint3{0, 0, 0}));
}

TEST(CanvasView, CurrentContentKeepsTheSelectionInTheStack) {
  auto canvas = makeCanvas(8, 8, 1.0, 3);
  canvas->setLayerIndex(7);
  EXPECT_EQ(canvas->currentContent(), canvas->layers()[2]);
  EXPECT_EQ(canvas->layerIndex(), 2);
  canvas->setLayerIndex(-4);
  EXPECT_EQ(canvas->currentContent(), canvas->layers()[0]) << "raised to the first layer";
  EXPECT_EQ(canvas->layerIndex(), 0);
}

TEST(CanvasView, ExportLeavesTheBrushViewAsItWas) {
  auto canvas = makeCanvas(8, 6);
  for (const bool hidden : {false, true}) {
    canvas->brushView()->setHidden(hidden);
    const auto image = canvas->exportImage(2.0);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixelWidth(), 16u);
    EXPECT_EQ(canvas->brushView()->isHidden(), hidden);
  }
}

// Only the mask's alpha decides: an opaque black or blue texel is inside, a clear one is not.
TEST(CanvasView, MaskAnswersByAlphaAlone) {
  testsupport::useFakeTool();
  auto canvas = testsupport::makeCanvas(7, 5);
  AppManager().setCurrentPaint(canvas);
  std::vector<std::uint8_t> rgba(3 * 2 * 4, 0);
  const std::uint8_t texels[][4] = {{0, 0, 0, 255}, {0, 0, 200, 255}, {0, 0, 0, 0}, {0, 90, 0, 7}, {255, 255, 255, 255}, {0, 0, 0, 0}};
  for (std::size_t i = 0; i < 6; ++i) std::copy(texels[i], texels[i] + 4, rgba.begin() + static_cast<std::ptrdiff_t>(i * 4));
  canvas->setMaskImage(std::make_shared<graphics::Image>(graphics::Bitmap::make(3, 2, std::move(rgba), graphics::AlphaMode::Straight)));
  const bool inside[] = {true, true, false, true, true, false};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(canvas->isInside(static_cast<std::int64_t>(i % 3), static_cast<std::int64_t>(i / 3)), inside[i]) << i;
  }
}

}  // namespace
}  // namespace tessivarium
