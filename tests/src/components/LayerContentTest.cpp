// The layer's own content operations: clean, dry and wet (with their kernels), the step builders
// and the forwarders.

#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "LayerTestSupport.h"
#include "commands/CommandManager.h"
#include "commands/LayerOperations.h"
#include "commands/RegionOperations.h"
#include "components/ArtworkData.h"
#include "gpu/CommandTrace.h"
#include "graphics/Bitmap.h"
#include "graphics/Image.h"
#include "tools/DebugSwitches.h"
#include "utils/KernelInterface.h"

namespace tessivarium {
namespace {

using namespace layertest;

class LayerContent : public ::testing::Test {
 protected:
  LayerContent() { testsupport::useFakeTool(); }

  std::shared_ptr<testsupport::TestCanvas> canvasOf(std::int64_t w, std::int64_t h, double scale = 1.0,
                                                    std::size_t layers = 1, bool history = true) {
    auto canvas = testsupport::makeCanvas(w, h, scale, layers, history ? MainPaintId : MainPaintId + 1, history);
    AppManager().setCurrentPaint(canvas);
    for (const auto& layer : canvas->layers()) paintAll(*layer, 3);
    return canvas;
  }
  static void paintAll(ArtworkTextures& layer, std::uint8_t seed) {
    for (const auto& t : {layer.gridTexture(), layer.wetTexture(), layer.dryTexture()}) fillPattern(*t, seed++);
  }
  static std::size_t recorded(DrawingPaint& canvas) { return canvas.commandManager()->operationPool().operations().size(); }
};

TEST_F(LayerContent, CleanZerosExactlyTheChosenSubLayersAndRecordsNothing) {
  struct Case {
    SublayerType type;
    bool grid, wet, dry;  // zeroed
  };
  for (const Case c : {Case{SublayerType::both, true, true, true}, Case{SublayerType::wet, true, true, false},
                       Case{SublayerType::dry, false, false, true}}) {
    auto canvas = canvasOf(1002, 541, 0.5);  // a data size of 501 x 270, not a multiple of the groups
    auto& layer = canvas->layer(0);
    ASSERT_EQ(layer.dryTexture()->width(), 501u);
    const auto dry = bytesOf(*layer.dryTexture()), grid = bytesOf(*layer.gridTexture());
    layer.clean(c.type);
    const std::vector<std::uint8_t> zeros(501 * 270 * 4, 0);
    EXPECT_EQ(bytesOf(*layer.gridTexture()) == zeros, c.grid);
    EXPECT_EQ(bytesOf(*layer.wetTexture()) == zeros, c.wet);
    EXPECT_EQ(bytesOf(*layer.dryTexture()) == zeros, c.dry);
    if (!c.dry) {
      EXPECT_EQ(bytesOf(*layer.dryTexture()), dry);
    }
    if (!c.grid) {
      EXPECT_EQ(bytesOf(*layer.gridTexture()), grid);
    }
    EXPECT_EQ(recorded(*canvas), 0u);
    EXPECT_EQ(canvas->redraws, std::vector<DrawingMode>{DrawingMode::Recreated});
  }
}

TEST_F(LayerContent, DryingSettlesTheWetPaintAndClearsTheWetMarks) {
  auto canvas = canvasOf(6, 4);
  auto& layer = canvas->layer(0);
  setTexel(*layer.wetTexture(), 1, 1, {200, 100, 50, 3});
  setTexel(*layer.dryTexture(), 1, 1, {10, 20, 30, 2});
  setTexel(*layer.gridTexture(), 1, 1, {100, 40, 77, TOOL_FLUID});
  setTexel(*layer.wetTexture(), 2, 1, {0, 0, 0, 0});
  setTexel(*layer.dryTexture(), 2, 1, {9, 8, 7, 6});
  setTexel(*layer.gridTexture(), 2, 1, {12, 4, 5, TOOL_SOLID});
  layer.doDry(graphics::Rect(0, 0, 6, 4));
  EXPECT_EQ(texelAt(*layer.dryTexture(), 1, 1), (Texel{124, 68, 42, 5})) << "wet over dry, thicknesses added";
  EXPECT_EQ(texelAt(*layer.wetTexture(), 1, 1), (Texel{0, 0, 0, 0}));
  EXPECT_EQ(texelAt(*layer.gridTexture(), 1, 1), (Texel{0, 0, 77, TOOL_AIR}));
  EXPECT_EQ(texelAt(*layer.dryTexture(), 2, 1), (Texel{9, 8, 7, 6})) << "no wet paint, nothing settles";
  EXPECT_EQ(texelAt(*layer.gridTexture(), 2, 1), (Texel{0, 0, 5, TOOL_SOLID}));
}

TEST_F(LayerContent, WettingSetsTheWetnessAndThickensTheWetPaint) {
  auto canvas = canvasOf(6, 4);
  auto& layer = canvas->layer(0);
  setTexel(*layer.wetTexture(), 1, 1, {200, 100, 50, 3});
  setTexel(*layer.gridTexture(), 1, 1, {8, 40, 77, TOOL_AIR});
  setTexel(*layer.wetTexture(), 2, 1, {0, 0, 0, 0});
  setTexel(*layer.gridTexture(), 2, 1, {8, 40, 77, TOOL_AIR});
  setTexel(*layer.wetTexture(), 3, 1, {1, 2, 3, 90});
  const auto dry = bytesOf(*layer.dryTexture());
  layer.doWet(0.5, 0.1, graphics::Rect(0, 0, 6, 4));
  EXPECT_EQ(texelAt(*layer.gridTexture(), 1, 1), (Texel{124, 40, 77, TOOL_FLUID})) << "level 31 of 63, shifted";
  EXPECT_EQ(texelAt(*layer.wetTexture(), 1, 1), (Texel{200, 100, 50, 26}));
  EXPECT_EQ(texelAt(*layer.gridTexture(), 2, 1), (Texel{124, 40, 77, TOOL_AIR})) << "no paint: wetted, still air";
  EXPECT_EQ(texelAt(*layer.wetTexture(), 3, 1), (Texel{1, 2, 3, 90})) << "thicker already";
  EXPECT_EQ(bytesOf(*layer.dryTexture()), dry);
}

// A rectangle-limited dry or wet changes only its rectangle, and its undo restores it completely.
TEST_F(LayerContent, ARectangleLimitsTheChangeAndItsUndoRestoresAll) {
  for (const bool drying : {true, false}) {
    auto canvas = canvasOf(40, 30, 1.0);
    auto& layer = canvas->layer(0);
    std::vector<std::vector<std::uint8_t>> before;
    for (const auto& t : {layer.gridTexture(), layer.wetTexture(), layer.dryTexture()}) before.push_back(bytesOf(*t));
    const graphics::Rect rect(10.7, 20.2, 13.9, 7.5);
    drying ? layer.dry(rect) : layer.wet(0.7, 0.3, rect);
    const auto& steps = canvas->commandManager()->operationPool().operations();
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0]->name(), drying ? "Dry Layer" : "Wet Layer");
    const auto& region = dynamic_cast<AbstractLayerRegionOperation&>(*steps[0]).regionBeforeOperation();
    EXPECT_EQ(region.rect(), graphics::Rect(10, 20, 13, 7));
    for (std::size_t i = 0; i < 3; ++i) {
      const auto after = bytesOf(*(i == 0 ? layer.gridTexture() : i == 1 ? layer.wetTexture() : layer.dryTexture()));
      for (std::size_t y = 0; y < 30; ++y) {
        for (std::size_t x = 0; x < 40; ++x) {
          const bool inside = x >= 10 && x < 23 && y >= 20 && y < 27;
          const std::size_t at = (y * 40 + x) * 4;
          if (!inside) {
            ASSERT_TRUE(std::equal(after.begin() + at, after.begin() + at + 4, before[i].begin() + at))
                << drying << " texture " << i << " changed outside at " << x << ", " << y;
          }
        }
      }
      EXPECT_EQ(after != before[i], drying || i < 2) << "the rectangle itself changed (wetting leaves the dry paint)";
    }
    canvas->commandManager()->undo();
    EXPECT_EQ(bytesOf(*layer.gridTexture()), before[0]);
    EXPECT_EQ(bytesOf(*layer.wetTexture()), before[1]);
    EXPECT_EQ(bytesOf(*layer.dryTexture()), before[2]);
  }
}

TEST_F(LayerContent, ARectangleReachesTheKernelAsAnOffsetAndAnExactGrid) {
  auto canvas = canvasOf(40, 30);
  gpu::commandTrace().start();
  canvas->layer(0).doDry(graphics::Rect(10, 20, 30, 40));  // reaches past the layer's edge
  canvas->layer(0).doWet(0.2, 0.1, graphics::Rect(4, 8, 12, 16));
  const auto dispatches = gpu::commandTrace().dispatches();
  gpu::commandTrace().stop();
  ASSERT_EQ(dispatches.size(), 2u);
  EXPECT_EQ(dispatches[0].kernelName, "DAEToolModel_dry_layer");
  EXPECT_EQ(dispatches[0].buffers.at(BUFFER_OFFSET).bytes, (std::vector<std::uint8_t>{10, 0, 0, 0, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  const gpu::Size clipped{dispatches[0].threadgroupsPerGrid.width * dispatches[0].threadsPerThreadgroup.width,
                          dispatches[0].threadgroupsPerGrid.height * dispatches[0].threadsPerThreadgroup.height, 1};
  EXPECT_EQ(clipped, (gpu::Size{30, 10, 1})) << "clipped to the layer, no overhang";
  EXPECT_EQ(dispatches[1].kernelName, "DAEToolModel_wet_layer");
  EXPECT_EQ(dispatches[1].threadsPerThreadgroup, (gpu::Size{4, 4, 1}));
  EXPECT_EQ(dispatches[1].textures.count(TEXTURE_DRY_READ), 0u) << "the wet layer never sees the dry paint";
  EXPECT_EQ(dispatches[1].buffers.at(BUFFER_WETNESS).bytes.size(), 4u);
}

// Twin canvases: the recorded step wets exactly as the direct operation does, given the whole cells
// of its rectangle (or the whole layer), and so does its redo after an undo.
TEST_F(LayerContent, ARecordedWetWetsAsTheDirectOne) {
  for (const auto& rect : {std::optional<graphics::Rect>{}, std::optional{graphics::Rect(3.6, 2.2, 20.9, 11.5)}}) {
    auto recordedCanvas = canvasOf(40, 30, 2.0), directCanvas = canvasOf(40, 30, 2.0);
    auto &stepped = recordedCanvas->layer(0), &direct = directCanvas->layer(0);
    const auto paint = [](ArtworkTextures& l) {
      return std::vector{bytesOf(*l.gridTexture()), bytesOf(*l.wetTexture()), bytesOf(*l.dryTexture())};
    };
    const auto untouched = paint(stepped);
    stepped.wet(0.6, 0.3, rect);
    direct.doWet(0.6, 0.3, rect ? graphics::Rect(3, 2, 20, 11) : graphics::Rect(0, 0, 80, 60));
    const auto wetted = paint(direct);
    ASSERT_NE(wetted, untouched);
    EXPECT_EQ(paint(stepped), wetted);
    recordedCanvas->commandManager()->undo();
    EXPECT_EQ(paint(stepped), untouched);
    recordedCanvas->commandManager()->redo();
    EXPECT_EQ(paint(stepped), wetted);
  }
}

// Without a rectangle the whole layer is the region: its data size, whatever the scale.
TEST_F(LayerContent, TheWholeLayerIsItsDataSize) {
  for (const double scale : {0.5, 2.0}) {
    auto canvas = canvasOf(40, 30, scale);
    canvas->layer(0).wet(0.4, 0.2);
    const auto& step = dynamic_cast<AbstractLayerRegionOperation&>(*canvas->commandManager()->operationPool().operations()[0]);
    EXPECT_EQ(step.regionBeforeOperation().rect(), graphics::Rect(0, 0, 40 * scale, 30 * scale));
    const auto& snapshot = step.regionBeforeOperation().beforeData();
    ASSERT_NE(snapshot, nullptr);
    EXPECT_EQ(snapshot->size(), (gpu::Size{static_cast<std::size_t>(40 * scale), static_cast<std::size_t>(30 * scale), 1}));
  }
}

TEST_F(LayerContent, APaletteDriesWithoutSnapshotOrStep) {
  auto palette = canvasOf(20, 10, 1.0, 1, false);
  auto& layer = palette->layer(0);
  setTexel(*layer.wetTexture(), 0, 0, {5, 5, 5, 9});
  const auto heap = AppManager().heapSize();
  layer.dry();
  EXPECT_EQ(texelAt(*layer.wetTexture(), 0, 0), (Texel{0, 0, 0, 0}));
  EXPECT_EQ(AppManager().heapSize(), heap);
  EXPECT_EQ(recorded(*palette), 0u);
}

TEST_F(LayerContent, TimingLinesWhileTheKnifeSwitchIsOn) {
  for (const KnifeDebugMode mode : {KnifeDebugMode::Height, KnifeDebugMode::None}) {
    DEBUG_DAE_KNIFE = mode;
    auto canvas = canvasOf(8, 8);
    testsupport::ConsoleCapture console;
    canvas->layer(0).clean();
    canvas->layer(0).doDry(graphics::Rect(0, 0, 8, 8));
    canvas->layer(0).doWet(0.1, 0.1, graphics::Rect(0, 0, 8, 8));
    std::vector<std::string> prefixes;
    for (const auto& line : console.lines()) {
      if (line.find(" time: ") != std::string::npos) prefixes.push_back(line.substr(0, line.find(": ") + 2));
    }
    const std::vector<std::string> expected =
        mode == KnifeDebugMode::None ? std::vector<std::string>{}
                                     : std::vector<std::string>{"Clean time: ", "Dry time: ", "Wet time: "};
    EXPECT_EQ(prefixes, expected);
  }
}

TEST_F(LayerContent, ForwardersReachTheCanvasEntries) {
  auto canvas = canvasOf(8, 8);
  EXPECT_FALSE(canvas->layer(0).deleteLayer()) << "the only layer";
  canvas->addLayer();
  const auto a = canvas->layers()[0], b = canvas->layers()[1];
  a->moveDown();
  EXPECT_EQ(canvas->layers()[1], a);
  a->duplicate();
  EXPECT_EQ(canvas->layers().size(), 3u);
  fillPattern(*b->dryTexture(), 8);
  a->copyFrom(b);
  EXPECT_EQ(bytesOf(*a->dryTexture()), bytesOf(*b->dryTexture()));
  EXPECT_TRUE(b->deleteLayer());
  std::vector<std::string> names;
  for (const auto& step : canvas->commandManager()->operationPool().operations()) names.push_back(step->name());
  EXPECT_EQ(names, (std::vector<std::string>{"Layer Move Down", "Duplicate Layer", "Copy Layer", "Delete Layer"}));
}

TEST_F(LayerContent, AnImportGoesIntoTheCurrentLayer) {
  auto canvas = canvasOf(8, 8, 1.0, 2);
  canvas->setLayerIndex(1);
  const auto picture = std::make_shared<graphics::Image>(
      graphics::Bitmap::make(2, 2, std::vector<std::uint8_t>(16, 255), graphics::AlphaMode::Straight));
  const auto back = bytesOf(*canvas->layer(0).dryTexture());
  canvas->layer(0).importImage(picture, graphics::Point(3, 3), 0.5f);
  EXPECT_EQ(bytesOf(*canvas->layer(0).dryTexture()), back);
  EXPECT_EQ(texelAt(*canvas->layer(1).dryTexture(), 3, 3), (Texel{255, 255, 255, 128}));
}

// The settled thickness is the sum of both, held at the deepest a cell can be.
TEST_F(LayerContent, DryingAddsThicknessesUpToTheDeepest) {
  struct Case {
    std::uint8_t wet, dry, settled;
  };
  auto canvas = canvasOf(7, 5);
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

// The merge dries the whole target, whatever rectangle an earlier dry left on the shared pass.
TEST_F(LayerContent, MergeDriesTheWholeTargetAfterARectangleDry) {
  auto canvas = canvasOf(24, 12, 1.0, 2);
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
TEST_F(LayerContent, TheWholeLayerSnapshotHasTheDataSize) {
  auto canvas = canvasOf(41, 30, 0.5);
  const auto& before = canvas->before();
  ASSERT_TRUE(before && before->gridTexture());
  EXPECT_EQ(before->gridTexture()->width(), 20u);
  EXPECT_EQ(before->dryTexture()->height(), 15u);
}

}  // namespace
}  // namespace tessivarium
