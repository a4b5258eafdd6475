#include "tools/ToolModel.h"

#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "FatalStop.h"
#include "Surface.h"
#include "TestCanvas.h"
#include "FakeTool.h"
#include "components/ArtworkTextures.h"
#include "components/RawData.h"
#include "foundation/NumberText.h"
#include "tools/ApplicationManager.h"
#include "tools/DebugSwitches.h"
#include "tools/DefaultToolViewer.h"
#include "tools/ToolEncoder.h"
#include "tools/ToolSurface.h"
#include "tools/TouchInput.h"
#include "utils/TextureUtil.h"

namespace tessivarium {
namespace {

using Journal = std::vector<std::string>;

// A model whose pickup pass records what it is given and then exchanges the head, as the shared
// pickup passes do.
class RecordingModel : public ToolModel {
 public:
  struct Pickup {
    ToolType type;
    std::optional<graphics::Color> color;
    std::shared_ptr<gpu::Texture> read, write;
    float toolRotation;
  };
  RecordingModel(DefaultToolViewer& viewer, Journal& journal) : ToolModel(viewer, 8, 8, 2), journal_(journal) {}

  std::vector<Pickup> pickups;

 protected:
  void encodePickup(ToolType type, const std::optional<graphics::Color>& color, DrawingPaint&,
                    gpu::CommandBuffer&) override {
    journal_.push_back("pickup");
    pickups.push_back({type, color, colorTexture0(), colorTexture1(), toolViewer().tool().rotation()});
    swapTexture();
  }
  void encodeHeightPreview(DrawingPaint&, gpu::CommandBuffer&) override { journal_.push_back("height preview"); }

 private:
  Journal& journal_;
};

// A surface that records the pick's calls; a loaded window is forgotten before the batch comes.
class RecordingSurface : public ToolSurface {
 public:
  RecordingSurface(AbstractDrawingTool& tool, Journal& journal) : ToolSurface(tool), journal_(journal) {
    setOrigin(gpu::Origin{4, 8, 0});
  }
  void reset(const TouchInputs& inputs) override {
    journal_.push_back("reset " + std::to_string(inputs.size()) + (origin() ? " into a window" : ""));
    const auto& sample = *inputs.at(0);
    journal_.push_back("at " + foundation::describe(sample.location().x) + ", " +
                       foundation::describe(sample.location().y));
  }
  std::shared_ptr<ToolModel> getModel() override { return model; }
  void encodeLoads(ArtworkTextures& layer, gpu::CommandBuffer&) override {
    journal_.push_back("loads " + std::to_string(layer.index()));
  }
  void touchEnd() override {
    journal_.push_back("touchEnd");
    setOrigin(std::nullopt);
  }

  std::shared_ptr<ToolModel> model;

 private:
  Journal& journal_;
};

class RecordingPass : public AbstractToolEncoder {
 public:
  explicit RecordingPass(Journal& journal) : journal_(journal) {}
  void encode(DrawingPaint&, gpu::CommandBuffer&) override { journal_.push_back("initializer"); }

 private:
  Journal& journal_;
};

class PickTool : public testsupport::FakeTool {
 public:
  explicit PickTool(Journal& journal) : FakeTool(ToolType::knife2), journal_(journal) {}
  std::vector<std::shared_ptr<ToolEncoder>> getInitializers() override {
    return {std::make_shared<RecordingPass>(journal_)};
  }
  std::shared_ptr<ToolSurface> createToolSurface() override {
    return std::make_shared<RecordingSurface>(*this, journal_);
  }

 private:
  Journal& journal_;
};

struct PickCase {
  std::size_t currentLayer;
  bool showSurface;
  std::size_t pickups;
  friend void PrintTo(const PickCase& c, std::ostream* os) {
    *os << "current layer " << c.currentLayer << (c.showSurface ? ", surface shown" : "");
  }
};

// A viewer needs a canvas, so the canvas comes first: three layers on a woven canvas (a flat
// surface is always shown), the top one current.
struct LayeredCanvas {
  LayeredCanvas() {
    while (canvas->layers().size() < 3) canvas->addLayer();
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
  }
  std::shared_ptr<testsupport::TestCanvas> canvas = std::make_shared<testsupport::TestCanvas>(
      MainPaintId, std::make_shared<Artwork>("pick", 64, 48, Surface::FindSurface(SurfaceId::Canvas12Oz),
                                             PaintOrientation::landscape, 1.0));
};

class ToolModelPick : public testing::TestWithParam<PickCase>, protected LayeredCanvas {
 protected:
  ToolModelPick() {
    DEBUG_DAE_KNIFE = KnifeDebugMode::None;
    static_cast<RecordingSurface&>(*tool.toolSurface()).model = model;
    tool.setToolViewer(viewer);
    viewer->setToolModel(model);
  }

  Journal journal;
  PickTool tool{journal};
  std::shared_ptr<DefaultToolViewer> viewer = std::make_shared<DefaultToolViewer>(tool);
  std::shared_ptr<RecordingModel> model = std::make_shared<RecordingModel>(*viewer, journal);
};

TEST_P(ToolModelPick, WalksTheLayersUpToTheCurrentOne) {
  const auto& c = GetParam();
  canvas->setLayerIndex(static_cast<std::int64_t>(c.currentLayer));
  canvas->setShowSurface(c.showSurface);
  const auto surfaceColour = graphics::Color::fromRGBA(0.25, 0.5, 0.75, 1);
  canvas->setBackgroundColor(surfaceColour);
  tool.setRotation(0.25f);

  // E, the emptied head, carries a pattern the recording passes leave alone.
  const std::vector<std::uint8_t> head(8 * 8 * 2 * 4, 17);
  model->setToolPattern(RawData(8, 8, 2, head));
  const auto E = model->colorTexture0(), W = model->colorTexture1();

  viewer->pickPattern(TouchInput({20, 30}, 0.5f, 1.0f, 0.0f), 1.5f);

  Journal expected{"initializer", "reset 1", "at 20.0, 30.0"};
  for (std::size_t i = 0; i < c.pickups; ++i) {
    expected.push_back("loads " + std::to_string(i));
    expected.push_back("pickup");
  }
  expected.push_back("touchEnd");
  EXPECT_EQ(journal, expected);

  ASSERT_EQ(model->pickups.size(), c.pickups);
  for (std::size_t i = 0; i < c.pickups; ++i) {
    SCOPED_TRACE(i);
    const auto& pickup = model->pickups[i];
    EXPECT_EQ(pickup.type, ToolType::knife2);
    EXPECT_EQ(pickup.read, E);
    EXPECT_EQ(pickup.write, W);
    EXPECT_EQ(pickup.toolRotation, 1.5f);
    const bool coloured = c.showSurface && i == c.currentLayer;
    EXPECT_EQ(pickup.color, coloured ? std::optional(surfaceColour) : std::nullopt);
  }
  EXPECT_EQ(model->colorTexture0(), W);
  EXPECT_EQ(model->colorTexture1(), E);
  EXPECT_EQ(TextureUtil::toRawData(*W), head);  // W started as a copy of E
  EXPECT_EQ(tool.rotation(), 0.25f);
  EXPECT_TRUE(canvas->redraws.empty());
}

INSTANTIATE_TEST_SUITE_P(Layers, ToolModelPick,
                         testing::Values(PickCase{0, true, 1}, PickCase{1, true, 2}, PickCase{2, true, 3},
                                         PickCase{2, false, 3}));

TEST_F(ToolModelPick, DebugModesAddTimingLinesAndTheHeightView) {
  testsupport::ConsoleCapture console;
  const TouchInput sample({20, 30}, 0.5f, 1.0f, 0.0f);
  viewer->pickPattern(sample, 0);
  EXPECT_TRUE(console.linesStartingWith("Execution time: ").empty());
  EXPECT_TRUE(console.linesStartingWith("Clean time: ").empty());

  DEBUG_DAE_KNIFE = KnifeDebugMode::Trace;
  viewer->pickPattern(sample, 0);
  EXPECT_EQ(console.linesStartingWith("Execution time: ").size(), 1u);
  EXPECT_EQ(console.linesStartingWith("Clean time: ").size(), 1u);
  EXPECT_TRUE(canvas->redraws.empty());

  DEBUG_DAE_KNIFE = KnifeDebugMode::Height;
  journal.clear();
  viewer->pickPattern(sample, 0);
  ASSERT_GE(journal.size(), 2u);
  EXPECT_EQ(journal[journal.size() - 2], "height preview");
  EXPECT_EQ(canvas->redraws, std::vector<DrawingMode>{DrawingMode::Refresh});
  EXPECT_EQ(console.linesStartingWith("Clean time: ").size(), 2u);
}

TEST_F(ToolModelPick, NeedsACanvasAndAModel) {
  const TouchInput sample({20, 30}, 0.5f, 1.0f, 0.0f);
  static_cast<RecordingSurface&>(*tool.toolSurface()).model = nullptr;
  EXPECT_FATAL(model->pickPattern(sample, 0), "ToolModel.pickPattern: the tool's viewer has no tool model");
  AppManager().setCurrentPaint(nullptr);
  EXPECT_FATAL(model->clean(), "ToolModel.clean: no current canvas");
}

}  // namespace
}  // namespace tessivarium
