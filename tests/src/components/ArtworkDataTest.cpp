#include "components/ArtworkData.h"

#include <array>
#include <cstdint>

#include <gtest/gtest.h>

#include "TestCanvas.h"
#include "FatalStop.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/CommandTrace.h"
#include "gpu/Device.h"
#include "gpu/TestControls.h"
#include "gpu/Texture.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {
namespace {

using testsupport::TestCanvas;
using Texel = std::array<std::uint8_t, 4>;

Texel texelAt(const gpu::Texture& texture, std::size_t x, std::size_t y) {
  Texel t{};
  texture.readRegion(gpu::Region::make2D(x, y, 1, 1), 0, t, 4);
  return t;
}

// Every texel (x, y) holds (x, y, tag, 255).
void fillPattern(const gpu::Texture& texture, std::uint8_t tag) {
  const std::size_t w = texture.width(), h = texture.height();
  std::vector<std::uint8_t> bytes(w * h * 4);
  for (std::size_t y = 0; y < h; ++y)
    for (std::size_t x = 0; x < w; ++x) {
      std::uint8_t* p = &bytes[(y * w + x) * 4];
      p[0] = static_cast<std::uint8_t>(x), p[1] = static_cast<std::uint8_t>(y), p[2] = tag, p[3] = 255;
    }
  const_cast<gpu::Texture&>(texture).writeRegion(gpu::Region::make2D(0, 0, w, h), 0, bytes, w * 4);
}

Texel patternTexel(std::size_t x, std::size_t y, std::uint8_t tag) {
  return {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), tag, 255};
}

std::shared_ptr<gpu::TextureDescriptor> regionDescriptor(std::size_t w, std::size_t h) {
  return gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA8Unorm, w, h, false);
}

class ArtworkDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    canvas = testsupport::makeCanvas(80, 64);
    AppManager().setCurrentPaint(canvas);
    layer = &canvas->layer(0);
    fillPattern(*layer->gridTexture(), 1);
    fillPattern(*layer->wetTexture(), 2);
    fillPattern(*layer->dryTexture(), 3);
  }

  std::array<std::shared_ptr<gpu::Texture>, 3> layerTextures() const {
    return {layer->gridTexture(), layer->wetTexture(), layer->dryTexture()};
  }
  static std::array<std::shared_ptr<gpu::Texture>, 3> snapshotTextures(const ArtworkData& data) {
    return {data.gridTexture(), data.wetTexture(), data.dryTexture()};
  }

  std::shared_ptr<TestCanvas> canvas;
  tessivarium::ArtworkTextures* layer = nullptr;
};

TEST_F(ArtworkDataTest, DefaultSnapshotIsAWorkingRegionCountedAgainstTheHeap) {
  const std::int64_t before = AppManager().heapSize();
  ArtworkData data;
  EXPECT_EQ(data.paint(), canvas);
  EXPECT_EQ(data.layer(), canvas->currentContent());
  for (const auto& t : snapshotTextures(data)) {
    ASSERT_TRUE(t);
    EXPECT_EQ(t->width(), 256u);
    EXPECT_EQ(t->height(), 256u);
  }
  EXPECT_EQ(data.size(), (gpu::Size{256, 256, 1}));
  EXPECT_EQ(data.origin(), (gpu::Origin{0, 0, 0}));
  EXPECT_TRUE(data.isValid());
  EXPECT_EQ(AppManager().heapSize() - before, 786432);
  data.release();
  EXPECT_EQ(AppManager().heapSize(), before);
  EXPECT_FALSE(data.gridTexture());
  EXPECT_FALSE(data.isValid());
}

TEST_F(ArtworkDataTest, NeedsACurrentPaintByDefault) {
  AppManager().setCurrentPaint(nullptr);
  EXPECT_FATAL_CONTAINING(ArtworkData(), "no current paint");
}

TEST_F(ArtworkDataTest, SaveAndLoadMapTheRegion) {
  ArtworkData data(canvas, regionDescriptor(30, 40));
  data.setOrigin({10, 20, 0});
  data.save();
  const auto snapshot = snapshotTextures(data);
  for (std::uint8_t k = 0; k < 3; ++k) {
    EXPECT_EQ(texelAt(*snapshot[k], 0, 0), patternTexel(10, 20, k + 1));
    EXPECT_EQ(texelAt(*snapshot[k], 29, 39), patternTexel(39, 59, k + 1));
  }

  // Back into a cleared layer: only x 10 to 39, y 20 to 59 are written.
  for (const auto& t : layerTextures()) fillPattern(*t, 9);
  data.load();
  const auto target = layerTextures();
  for (std::uint8_t k = 0; k < 3; ++k) {
    EXPECT_EQ(texelAt(*target[k], 10, 20), patternTexel(10, 20, k + 1));
    EXPECT_EQ(texelAt(*target[k], 39, 59), patternTexel(39, 59, k + 1));
    EXPECT_EQ(texelAt(*target[k], 9, 20), patternTexel(9, 20, 9));
    EXPECT_EQ(texelAt(*target[k], 40, 59), patternTexel(40, 59, 9));
    EXPECT_EQ(texelAt(*target[k], 39, 60), patternTexel(39, 60, 9));
  }
}

TEST_F(ArtworkDataTest, CopyFromReadsTheOtherAtItsOwnOrigin) {
  ArtworkData whole(canvas, layer->textureDataDescriptor());
  whole.save(canvas->currentContent());
  whole.setOrigin({50, 50, 0});  // the other's own origin is not used
  ArtworkData region(canvas, regionDescriptor(30, 40));
  region.setOrigin({10, 20, 0});
  region.copyFrom(whole);
  EXPECT_EQ(texelAt(*region.gridTexture(), 0, 0), patternTexel(10, 20, 1));
  EXPECT_EQ(texelAt(*region.dryTexture(), 5, 7), patternTexel(15, 27, 3));
}

TEST_F(ArtworkDataTest, LoadOnAGivenEncoderOnlyEncodes) {
  ArtworkData data(canvas, regionDescriptor(8, 8));
  data.save();
  for (const auto& t : layerTextures()) fillPattern(*t, 9);
  AppManager().setCurrentPaint(nullptr);
  layer->metalView()->setDelegate(nullptr);
  layer->metalView()->setPaused(true);
  layer->setDrawingMode(DrawingMode::Normal);
  layer->metalView()->setPaused(true);

  gpu::commandTrace().start();
  auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  auto encoder = buffer->makeBlitCommandEncoder();
  data.load(encoder.get());
  EXPECT_TRUE(gpu::commandTrace().commits().empty());
  EXPECT_FALSE(encoder->isEnded());
  EXPECT_EQ(gpu::commandTrace().blits().size(), 3u);
  EXPECT_EQ(texelAt(*layer->gridTexture(), 0, 0), patternTexel(0, 0, 9));  // nothing ran yet
  // ...but the layer is already set to rebuild, drawn by its own view, on the snapshot's canvas.
  EXPECT_EQ(layer->drawingMode(), DrawingMode::Recreated);
  EXPECT_FALSE(layer->metalView()->isPaused());
  EXPECT_EQ(layer->metalView()->delegate(), canvas->currentContent());
  EXPECT_EQ(AppManager().currentPaint(), canvas);

  encoder->endEncoding();
  buffer->commit();
  EXPECT_EQ(texelAt(*layer->gridTexture(), 0, 0), patternTexel(0, 0, 1));
}

TEST_F(ArtworkDataTest, SaveWithoutALayerUsesItsOwnAndRefusesOtherLayers) {
  auto second = canvas->addLayer();
  fillPattern(*second->wetTexture(), 7);
  ArtworkData data(canvas, regionDescriptor(4, 4));  // the current layer: layer 0
  data.save(second);
  EXPECT_EQ(data.layer(), second);
  fillPattern(*second->wetTexture(), 8);
  data.save();
  EXPECT_EQ(texelAt(*data.wetTexture(), 1, 1), patternTexel(1, 1, 8));

  struct OtherLayer : Layer {
    std::int64_t index() const override { return 0; }
    bool isHidden() const override { return false; }
    bool isVisible() const override { return true; }
    void clean(SublayerType) override {}
    void moveDown() override {}
    void moveUp() override {}
    void duplicate() override {}
    bool deleteLayer() override { return false; }
    void copyFrom(const std::shared_ptr<Layer>&) override {}
    void dry() override {}
    void dry(std::optional<graphics::Rect>) override {}
    void wet(double, double) override {}
    void wet(double, double, std::optional<graphics::Rect>) override {}
    void importImage(std::shared_ptr<graphics::Image>, graphics::Point, std::optional<float>, bool,
                     std::function<void()>) override {}
  };
  EXPECT_FATAL(data.save(std::make_shared<OtherLayer>()), "ArtworkData.save: the layer is not an ArtworkTextures");
}

// The stroke undo step: the whole layer into `before`, every region loaded on one encoder, then
// every region refilled from `before`. Layer and snapshots trade contents; twice restores both.
TEST_F(ArtworkDataTest, UndoSwapExchangesContentsAndRestoresThemWhenDoneTwice) {
  ArtworkData before(canvas, layer->textureDataDescriptor());
  std::vector<std::unique_ptr<ArtworkData>> regions;
  for (const gpu::Origin origin : {gpu::Origin{2, 3, 0}, gpu::Origin{30, 40, 0}}) {
    regions.push_back(std::make_unique<ArtworkData>(canvas, regionDescriptor(10, 12)));
    regions.back()->setOrigin(origin);
    for (const auto& t : snapshotTextures(*regions.back())) fillPattern(*t, 5);  // "before the stroke"
  }
  const auto swap = [&] {
    before.save(canvas->currentContent());
    auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    auto encoder = buffer->makeBlitCommandEncoder();
    for (auto& region : regions) region->load(encoder.get());
    encoder->endEncoding();
    buffer->commit();
    for (auto& region : regions) region->copyFrom(before);
  };

  swap();
  EXPECT_EQ(texelAt(*layer->wetTexture(), 2, 3), patternTexel(0, 0, 5));
  EXPECT_EQ(texelAt(*layer->wetTexture(), 39, 51), patternTexel(9, 11, 5));
  EXPECT_EQ(texelAt(*layer->wetTexture(), 12, 3), patternTexel(12, 3, 2));  // outside every region
  EXPECT_EQ(texelAt(*regions[0]->gridTexture(), 0, 0), patternTexel(2, 3, 1));
  EXPECT_EQ(texelAt(*regions[1]->dryTexture(), 9, 11), patternTexel(39, 51, 3));

  swap();
  EXPECT_EQ(texelAt(*layer->wetTexture(), 2, 3), patternTexel(2, 3, 2));
  EXPECT_EQ(texelAt(*layer->gridTexture(), 39, 51), patternTexel(39, 51, 1));
  EXPECT_EQ(texelAt(*regions[0]->gridTexture(), 0, 0), patternTexel(0, 0, 5));
  EXPECT_EQ(texelAt(*regions[1]->dryTexture(), 9, 11), patternTexel(9, 11, 5));
}

TEST_F(ArtworkDataTest, ValidityComparesWidthsOnly) {
  ArtworkData data(canvas, regionDescriptor(16, 16));
  data.setWetTexture(gpu::systemDefaultDevice()->makeTexture(*regionDescriptor(16, 9)));
  EXPECT_TRUE(data.isValid());
  data.setDryTexture(gpu::systemDefaultDevice()->makeTexture(*regionDescriptor(15, 16)));
  EXPECT_FALSE(data.isValid());
}

// A region that reaches beyond the layer copies only what lies inside it.
TEST_F(ArtworkDataTest, RegionAtTheLayersEdgeCopiesWhatLiesInside) {
  ArtworkData data(canvas, regionDescriptor(30, 30));
  data.setOrigin({60, 50, 0});  // the layer is 80 x 64: 20 x 14 texels lie inside
  data.save();
  EXPECT_EQ(texelAt(*data.gridTexture(), 19, 13), patternTexel(79, 63, 1));
  EXPECT_EQ(texelAt(*data.gridTexture(), 20, 13), (Texel{0, 0, 0, 0}));
  EXPECT_EQ(texelAt(*data.gridTexture(), 19, 14), (Texel{0, 0, 0, 0}));

  for (const auto& t : snapshotTextures(data)) fillPattern(*t, 6);
  data.load();
  EXPECT_EQ(texelAt(*layer->gridTexture(), 79, 63), patternTexel(19, 13, 6));
  EXPECT_EQ(texelAt(*layer->gridTexture(), 59, 63), patternTexel(59, 63, 1));
  data.copyFrom(data);  // reading itself at (60, 50) lies wholly outside its own 30 x 30
  EXPECT_EQ(texelAt(*data.gridTexture(), 0, 0), patternTexel(0, 0, 6));
}

// After NoMoreHeap a texture stays absent: every copy and the release pass it by.
TEST_F(ArtworkDataTest, AbsentTexturesAreNeverUsed) {
  gpu::testControls().failTextureRequest(2);  // the wet texture
  const std::int64_t heap = AppManager().heapSize();
  ArtworkData partial(canvas, regionDescriptor(8, 8));
  ASSERT_FALSE(partial.wetTexture());
  EXPECT_FALSE(partial.isValid());
  EXPECT_EQ(AppManager().heapSize() - heap, 2 * 8 * 8 * 4);

  partial.save();
  EXPECT_EQ(texelAt(*partial.dryTexture(), 1, 2), patternTexel(1, 2, 3));
  ArtworkData whole(canvas, layer->textureDataDescriptor());
  whole.save();
  whole.setWetTexture(nullptr);
  ArtworkData region(canvas, regionDescriptor(8, 8));
  region.copyFrom(whole);
  region.copyFrom(partial);
  partial.copyFrom(whole);
  for (const auto& t : layerTextures()) fillPattern(*t, 9);
  partial.load();
  EXPECT_EQ(texelAt(*layer->gridTexture(), 1, 2), patternTexel(1, 2, 1));
  EXPECT_EQ(texelAt(*layer->wetTexture(), 1, 2), patternTexel(1, 2, 9));  // nothing to load there

  const std::int64_t beforeRelease = AppManager().heapSize();
  partial.release();
  EXPECT_EQ(beforeRelease - AppManager().heapSize(), 2 * 8 * 8 * 4);
  EXPECT_FALSE(partial.gridTexture());
}

}  // namespace
}  // namespace tessivarium
