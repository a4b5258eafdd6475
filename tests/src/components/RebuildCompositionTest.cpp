// The whole-layer rebuild, region by region, against one composition of the whole layer: paint of
// varying colour and height must show no seam where the regions meet, at every scale; and the
// working sets it composes regions in at once.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "../utils/CompositionTestHelpers.h"
#include "FramesTestSupport.h"
#include "LayerTestSupport.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/Parallel.h"
#include "gpu/TextureDescriptor.h"
#include "tools/RegionWorkingSets.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolSurface.h"
#include "utils/CoreImageUtil.h"
#include "utils/MetalUtil.h"

namespace tessivarium {
namespace {

using layertest::bytesOf;

// Paint whose colour and thickness change from cell to cell, differently in each texture.
void paintVaried(gpu::Texture& texture, unsigned seed) {
  const std::size_t w = texture.width(), h = texture.height();
  std::vector<std::uint8_t> bytes(w * h * 4);
  for (std::size_t y = 0; y < h; ++y) {
    for (std::size_t x = 0; x < w; ++x) {
      std::uint8_t* t = &bytes[4 * (y * w + x)];
      const unsigned v = static_cast<unsigned>(x * 37 + y * 91 + seed * 13 + (x * y) % 29);
      t[0] = static_cast<std::uint8_t>(v * 3);
      t[1] = static_cast<std::uint8_t>(v * 7 + 40);
      t[2] = static_cast<std::uint8_t>(255 - v);
      t[3] = static_cast<std::uint8_t>((x / 3 + y / 2 + seed) % 24 * 10);
    }
  }
  texture.writeRegion(gpu::Region::make2D(0, 0, w, h), 0, bytes, w * 4);
}

// The picture of the current layer composed in one piece: working textures as large as the layer
// (they stay the manager's), the whole layer loaded into them, one composition at cell (0, 0).
std::vector<std::uint8_t> untiledPicture(DrawingPaint& paint) {
  auto& manager = AppManager();
  ArtworkTextures& layer = *paint.currentContent();
  auto whole = std::make_shared<SurfaceWorkingTextures>();
  whole->setTexture2DDescriptor(gpu::TextureDescriptor::texture2D(DefaultPixelFormat, layer.gridTexture()->width(),
                                                                   layer.gridTexture()->height(), false));
  manager.setSurfaceTextures(whole);
  paint.drawingTool()->toolSurface()->setOffset({0, 0, 0});
  const auto picture = manager.makeTexture(*layer.textureGlobalDescriptor());
  auto buffer = manager.commandQueue()->makeCommandBuffer();
  auto blit = buffer->makeBlitCommandEncoder();
  copyTexture(*blit, layer.gridTexture(), whole->gridTexture0());
  copyTexture(*blit, layer.wetTexture(), whole->wetTexture0());
  copyTexture(*blit, layer.dryTexture(), whole->dryTexture0());
  blit->endEncoding();
  CoreImageUtil::render(paint, picture, buffer, 0, 0);
  buffer->commit();
  return bytesOf(*picture);
}

struct RebuildCase {
  double scale;
  std::int64_t width, height;
};

class RebuildComposition : public ::testing::TestWithParam<RebuildCase> {
 protected:
  std::shared_ptr<testsupport::FrameTool> tool = framestest::useFrameTool();
};

TEST_P(RebuildComposition, EqualsOneCompositionOfTheWholeLayer) {
  const RebuildCase& c = GetParam();
  auto paint = framestest::makePaint(c.width, c.height, c.scale, 2);
  framestest::start(*paint);
  paint->setShadingImage(imaging::Image::fromTexture(compositiontest::shadingRamp()));
  unsigned seed = 0;
  for (const auto& layer : paint->layers()) {
    paintVaried(*layer->gridTexture(), ++seed);
    paintVaried(*layer->wetTexture(), ++seed);
    paintVaried(*layer->dryTexture(), ++seed);
  }
  ArtworkTextures& layer = *paint->currentContent();
  layer.recreatedDraw();
  const auto tiled = bytesOf(*layer.paintingTexture());
  const auto whole = untiledPicture(*paint);

  ASSERT_NE(whole, std::vector<std::uint8_t>(whole.size(), 0)) << "the composition shows the paint";
  const auto differs = std::mismatch(tiled.begin(), tiled.end(), whole.begin()).first - tiled.begin();
  const std::size_t w = layer.paintingTexture()->width();
  EXPECT_TRUE(tiled == whole) << "first at pixel (" << differs / 4 % w << ", " << differs / 4 / w << ")";
}

INSTANTIATE_TEST_SUITE_P(Scales, RebuildComposition,
                         ::testing::Values(RebuildCase{0.5, 1100, 600}, RebuildCase{1.0, 600, 420},
                                           RebuildCase{2.0, 300, 210}, RebuildCase{1.0, 200, 150},
                                           RebuildCase{0.5, 400, 300}),
                         [](const ::testing::TestParamInfo<RebuildCase>& info) {
                           const RebuildCase& c = info.param;
                           return "Scale" + std::to_string(static_cast<int>(c.scale * 10)) + "_" +
                                  std::to_string(c.width) + "x" + std::to_string(c.height);
                         });

// The rebuild composes regions that write no pixel in common at once, each in a working set of its
// own beside the manager's: the extra sets are counted as texture memory, made once and kept, and
// made only while the memory limit leaves room; the picture is the one a rebuild one region at a
// time makes, and the manager's set holds the last region afterwards, as such a rebuild leaves it.
class RebuildCompositionWorkingSets : public ::testing::Test {
 protected:
  void SetUp() override {
    paint = framestest::makePaint(1200, 800);
    framestest::start(*paint);
    unsigned seed = 7;
    for (const auto& texture : {layer().gridTexture(), layer().wetTexture(), layer().dryTexture()})
      paintVaried(*texture, ++seed);
  }
  void TearDown() override { gpu::setWorkerThreadCount(0); }

  ArtworkTextures& layer() { return *paint->currentContent(); }
  // A rebuild that presents nothing, so that it can be repeated.
  std::vector<std::uint8_t> rebuilt() {
    layer().recreatedDraw(false);
    return bytesOf(*layer().paintingTexture());
  }

  std::shared_ptr<testsupport::FrameTool> tool = framestest::useFrameTool();
  std::shared_ptr<DrawingPaint> paint;
  static constexpr std::int64_t kSetBytes = 9 * 256 * 256 * 4;
};

TEST_F(RebuildCompositionWorkingSets, ComposesInCountedSetsKeptForTheNextRebuildAsOneAtATimeWould) {
  if (gpu::workerThreadCount() < 2) GTEST_SKIP() << "needs two worker threads";
  const auto errors = layertest::countErrors();
  ASSERT_TRUE(AppManager().surfaceTextures().makeAll());
  const std::int64_t before = AppManager().heapSize();
  const auto atOnce = rebuilt();
  const std::size_t extra = AppManager().regionWorkingSets().extraSets();
  EXPECT_EQ(extra, std::min<std::size_t>(8, gpu::workerThreadCount()) - 1);
  EXPECT_EQ(AppManager().heapSize() - before, static_cast<std::int64_t>(extra) * kSetBytes);
  EXPECT_EQ(rebuilt(), atOnce);
  EXPECT_EQ(AppManager().regionWorkingSets().extraSets(), extra) << "the sets are kept";
  EXPECT_EQ(AppManager().heapSize() - before, static_cast<std::int64_t>(extra) * kSetBytes);

  // The last region (its corner at 944, 544) is what the manager's own set holds.
  auto& own = AppManager().surfaceTextures();
  const auto region = gpu::Region::make2D(944, 544, 256, 256);
  std::vector<std::uint8_t> last(256 * 256 * 4), held(256 * 256 * 4);
  layer().gridTexture()->readRegion(region, 0, last, 256 * 4);
  own.gridTexture0()->readRegion(gpu::Region::make2D(0, 0, 256, 256), 0, held, 256 * 4);
  EXPECT_TRUE(held == last);

  gpu::setWorkerThreadCount(1);
  EXPECT_TRUE(rebuilt() == atOnce) << "one region at a time gives the same picture";
  EXPECT_TRUE(errors->errors.empty());

  // Working textures of another size in the manager's place: the sets made for the old size go.
  gpu::setWorkerThreadCount(0);
  auto larger = std::make_shared<SurfaceWorkingTextures>();
  larger->setTexture2DDescriptor(gpu::TextureDescriptor::texture2D(DefaultPixelFormat, 300, 300, false));
  AppManager().setSurfaceTextures(larger);
  AppManager().regionWorkingSets().sets(2);
  EXPECT_EQ(AppManager().regionWorkingSets().extraSets(), 1u);
  EXPECT_EQ(AppManager().regionWorkingSets().countedBytes(), 9 * 300 * 300 * 4);
}

TEST_F(RebuildCompositionWorkingSets, WithoutRoomForAnotherSetComposesOneRegionAtATimeAndReportsNothing) {
  const auto errors = layertest::countErrors();
  ASSERT_TRUE(AppManager().surfaceTextures().makeAll());
  const std::int64_t megabyte = 1024 * 1024;
  AppManager().setLimitedHeap((AppManager().heapSize() + kSetBytes - 1) / megabyte);
  const auto alone = rebuilt();
  EXPECT_EQ(AppManager().regionWorkingSets().extraSets(), 0u);
  EXPECT_TRUE(errors->errors.empty()) << "no missing memory is reported";
  AppManager().setLimitedHeap(1024);
  EXPECT_TRUE(rebuilt() == alone);
  EXPECT_EQ(AppManager().regionWorkingSets().extraSets(), std::min<std::size_t>(8, gpu::workerThreadCount()) - 1);
}

}  // namespace
}  // namespace tessivarium
