// The tool base: its starting state, its observers, how it connects to a canvas and chooses its
// working window, and its forwarding to the viewer.

#include "tools/DrawingTool.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ErrorMessage.h"
#include "FakeCanvas.h"
#include "TestCanvas.h"
#include "FakeTool.h"
#include "FatalStop.h"
#include "commands/Command.h"
#include "components/RawData.h"
#include "gpu/CommandTrace.h"
#include "gpu/Kernel.h"
#include "gpu/TestControls.h"
#include "gpu/TextureDescriptor.h"
#include "tools/ApplicationManager.h"
#include "tools/DebugSwitches.h"
#include "tools/DefaultToolViewer.h"
#include "tools/ToolModel.h"

namespace {

using namespace tessivarium;
using testsupport::FakeCanvas;
using testsupport::Journal;
using testsupport::StrokeTool;

class DrawingToolTest : public ::testing::Test {
 protected:
  DrawingToolTest() { DEBUG_DAE_KNIFE = KnifeDebugMode::None; }

  std::shared_ptr<FakeCanvas> currentCanvas(std::int64_t width, std::int64_t height, double scale = 1.0) {
    auto canvas = std::make_shared<FakeCanvas>(MainPaintId, width, height, scale);
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
    return canvas;
  }

  Journal journal;
  std::shared_ptr<StrokeTool> tool = std::make_shared<StrokeTool>(journal, ToolType::knife3);
};

TEST_F(DrawingToolTest, ANewToolStartsEnabledWithEveryAbilityAndNothingElse) {
  EXPECT_FALSE(tool->initialized());
  EXPECT_FALSE(tool->handledEnabled());
  EXPECT_TRUE(tool->canFillColor());
  EXPECT_EQ(tool->rotation(), 0.0f);
  EXPECT_EQ(tool->touchCount(), 0);
  EXPECT_TRUE(tool->hasColorPattern());
  EXPECT_TRUE(tool->canClean());
  EXPECT_TRUE(tool->canReset());
  EXPECT_TRUE(tool->canSavePattern());
  EXPECT_FALSE(tool->autoReset());
  EXPECT_FALSE(tool->autoClean());
  EXPECT_EQ(tool->toolType(), ToolType::knife3);
  EXPECT_EQ(tool->thickness(), 1.0f);
  EXPECT_FALSE(tool->isThickPressureSensitive());
  EXPECT_FALSE(tool->wetDrawing());
  EXPECT_FALSE(tool->canWetDrawing());
  EXPECT_TRUE(tool->enabled());
  EXPECT_FALSE(tool->resizableOnPressure());
  EXPECT_FALSE(tool->width());
  EXPECT_FALSE(tool->height());
  EXPECT_EQ(tool->depth(), 32);
  ASSERT_TRUE(tool->command());
  EXPECT_EQ(tool->command()->toolType(), ToolType::knife3);
  EXPECT_TRUE(tool->command()->data().empty());
  EXPECT_FALSE(tool->commandOperations());
  EXPECT_TRUE(tool->touchInputs().empty());
  EXPECT_FALSE(tool->isBusy());
  EXPECT_FALSE(tool->pendingUpdate());
  EXPECT_TRUE(journal.empty()) << "construction runs no observer and makes no companion";
}

TEST_F(DrawingToolTest, ObserversActOnEveryWriteUnlessTheyCompare) {
  tool->setAutoReset(false);
  EXPECT_TRUE(journal.empty()) << "autoReset false does nothing";
  tool->setAutoReset(true);
  EXPECT_EQ(journal, (Journal{"viewer savePattern", "viewer reset"}));

  journal.clear();
  tool->setAutoClean(true);  // cleans, and saves the cleaned head while autoReset holds
  EXPECT_EQ(journal, (Journal{"viewer clean", "viewer savePattern"}));

  journal.clear();
  tool->setRotation(0.75f);
  tool->setRotation(0.75f);
  EXPECT_EQ(journal, (Journal{"viewer rotation 0.75"})) << "its own value again leaves the viewer alone";

  tool->setWetDrawing(true);
  tool->setCanWetDrawing(true);
  EXPECT_TRUE(tool->wetDrawing());
  tool->setCanWetDrawing(false);
  EXPECT_FALSE(tool->wetDrawing());

  for (int write = 0; write < 2; ++write) {
    tool->setHandledEnabled(true);
    tool->setEnabled(false);
    EXPECT_FALSE(tool->handledEnabled()) << "write " << write << " lets go of the canvas";
  }

  EXPECT_FALSE(tool->controller());
  EXPECT_FALSE(tool->controller());
  EXPECT_EQ(tool->controllerRequests, 1) << "no controller is an answer that is kept";
}

TEST_F(DrawingToolTest, HandleEnabledConnectsOnceUnlessForced) {
  EXPECT_FATAL(tool->handleEnabled(false), "AbstractDrawingTool.handleEnabled: no current canvas");
  currentCanvas(1200, 900);
  const Journal connect{"viewer updateOnToolChange", "surface updateChange", "viewer attachView",
                        "surface touchEnd"};
  tool->handleEnabled(false);
  EXPECT_EQ(journal, connect);
  EXPECT_EQ(tool->width(), 1200);
  EXPECT_EQ(tool->height(), 900);
  EXPECT_TRUE(tool->handledEnabled());

  journal.clear();
  currentCanvas(640, 480);
  tool->handleEnabled(false);
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(tool->width(), 1200);

  tool->handleEnabled(true);
  EXPECT_EQ(journal, connect);
  EXPECT_EQ(tool->width(), 640);

  journal.clear();
  tool->handleDisabled();
  tool->handleEnabled(false);
  EXPECT_EQ(journal, connect) << "handleDisabled lets the next call connect again";
}

TEST_F(DrawingToolTest, TheWorkingWindowIsCentredOnTheSamplesAndKeptInTheArtwork) {
  struct Case {
    std::int64_t width, height;
    double scale;
    std::vector<graphics::Point> points;
    gpu::uint3 expected;
  } cases[] = {
      {4096, 2160, 1.0, {{10, 10}}, {0, 0, 0}},
      {4096, 2160, 1.0, {{1000, 700}}, {872, 572, 0}},
      {4096, 2160, 1.0, {{4090, 2150}}, {3840, 1904, 0}},
      {4096, 2160, 1.0, {{1000, 700}, {300, 1500}}, {172, 572, 0}},
      {1000, 800, 2.0, {{300.7, 250.2}}, {473, 372, 0}},  // cells: the point times the scale
      {200, 150, 1.0, {{150, 100}}, {0, 0, 0}},           // narrower than the window
  };
  for (const auto& c : cases) {
    auto canvas = currentCanvas(c.width, c.height, c.scale);
    tool->switchTo(*canvas);
    EXPECT_EQ(tool->findWorkingOffset(c.points, 1.3f), c.expected) << c.width << " x " << c.height;
  }

  auto fresh = std::make_shared<StrokeTool>(journal);
  EXPECT_FATAL(fresh->findWorkingOffset({{1, 1}}, 0), "findWorkingOffset needs the canvas size (switchTo)");
}

TEST_F(DrawingToolTest, LoadsWithTheToolCurrentAndPutsThePreviousToolBackEvenWhenALoadFails) {
  auto& manager = AppManager();
  const auto previous = manager.currentTool();
  tool->loads();
  EXPECT_EQ(journal, (Journal{"viewer loads", "surface loads"}));
  EXPECT_EQ(manager.currentTool(), previous);

  journal.clear();
  tool->viewer()->onLoads = [] { throw Error(ErrorMessage::NoMoreHeap); };
  try {
    tool->loads();
    ADD_FAILURE() << "the viewer's failure is passed on";
  } catch (const Error& error) {
    EXPECT_EQ(error.message(), ErrorMessage::NoMoreHeap);
  }
  EXPECT_EQ(journal, (Journal{"viewer loads"})) << "neither surface nor controller is loaded";
  EXPECT_EQ(manager.currentTool(), previous);
  EXPECT_TRUE(previous->enabled());
  EXPECT_FALSE(tool->enabled());
}

TEST_F(DrawingToolTest, PatternRequestsReachTheViewerOnlyWhenTheToolAllowsThem) {
  tool->fillColor(graphics::Color::fromRGBA(0.2, 0.4, 0.6, 1.0));
  tool->pickPattern(TouchInput({5, 6}, 0.5f, 0.5f, 0.5f), 0.25f);
  EXPECT_EQ(journal, (Journal{"viewer pickPattern 0.25"}));

  tool->setAutoReset(true);
  journal.clear();
  tool->fillColor(graphics::Color::fromRGBA(0.2, 0.4, 0.6, 1.0), 0.5f, 0.3f);
  tool->pickPattern(TouchInput({5, 6}, 0.5f, 0.5f, 0.5f), 1.5f);
  EXPECT_EQ(journal, (Journal{"viewer savePattern", "viewer pickPattern 1.5", "viewer savePattern"}));

  journal.clear();
  tool->setCanSavePattern(false);
  tool->setCanReset(false);
  tool->setCanClean(false);
  tool->pickPattern(TouchInput({5, 6}, 0.5f, 0.5f, 0.5f), 1.5f);
  tool->savePattern();
  tool->reset();
  tool->clean();
  EXPECT_TRUE(journal.empty());

  // Without a tool model there is no pattern to give or take, and no error.
  EXPECT_FALSE(tool->getToolPattern());
  EXPECT_NO_THROW(tool->setToolPattern(RawData(1, 1, 1, {1, 2, 3, 4})));
}

// A model whose pattern import fails as a test says.
class FailingModel : public ToolModel {
 public:
  using ToolModel::ToolModel;
  void setToolPattern(const RawData& rawData) override {
    if (failure) failure();
    ToolModel::setToolPattern(rawData);
  }
  std::function<void()> failure;
};

TEST_F(DrawingToolTest, APatternTravelsAsTheHeadsBytesAndOnlyAFormatErrorKeepsItsName) {
  currentCanvas(300, 200);
  DefaultToolViewer owner(*tool);
  auto model = std::make_shared<FailingModel>(owner, 2, 1, 3);
  tool->viewer()->setToolModel(model);
  std::vector<std::uint8_t> bytes(2 * 1 * 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(7 * i + 3);
  tool->setToolPattern(RawData(2, 1, 3, bytes));
  const auto pattern = tool->getToolPattern();
  ASSERT_TRUE(pattern);
  EXPECT_EQ(pattern->grid(), bytes);
  EXPECT_EQ(pattern->width(), 2);
  EXPECT_EQ(pattern->height(), 1);
  EXPECT_EQ(pattern->depth(), 3);

  auto errorOf = [&](std::function<void()> failure, RawData raw) {
    model->failure = std::move(failure);
    try {
      tool->setToolPattern(raw);
    } catch (const Error& error) {
      return error.message();
    }
    return ErrorMessage::OK;
  };
  EXPECT_EQ(errorOf(nullptr, RawData(3, 1, 3, bytes)), ErrorMessage::TextureFormatIncompatible);
  EXPECT_EQ(errorOf([] { throw Error(ErrorMessage::NoMoreHeap); }, RawData(2, 1, 3, bytes)),
            ErrorMessage::ToolPatternNotNeed);
  EXPECT_EQ(errorOf([] { throw std::runtime_error("lost"); }, RawData(2, 1, 3, bytes)),
            ErrorMessage::ToolPatternNotNeed);

  tool->setHasColorPattern(false);
  EXPECT_FALSE(tool->getToolPattern()) << "a tool without a colour pattern gives none, model or not";

  tool->setHasColorPattern(true);
  gpu::testControls().failTexturesWhere([](const gpu::TextureDescriptor& d) { return d.depth > 1; });
  tool->viewer()->setToolModel(std::make_shared<ToolModel>(owner, 2, 2, 2));
  EXPECT_FALSE(tool->getToolPattern()) << "a head that could not be made has no pattern";
}

TEST_F(DrawingToolTest, InitializeBuildsTheSharedPassPipelinesOnce) {
  currentCanvas(400, 300);
  // The dryer's and wetter's kernels come with those tools; only their pipelines matter here.
  struct StandIns {
    std::vector<std::string> names;
    ~StandIns() {
      for (const auto& name : names) gpu::unregisterKernel(name);
    }
  } standIns;
  for (const char* name : {"DAEToolModel_dryer_paint", "DAEToolModel_wetter_paint", "DAEToolModel_dryer_init",
                           "DAEToolModel_wetter_init"}) {
    if (gpu::findKernel(name)) continue;
    gpu::registerKernel(name, [](const gpu::Dispatch&) {});
    standIns.names.push_back(name);
  }
  gpu::commandTrace().start();
  tool->initialize();
  EXPECT_TRUE(tool->initialized());
  std::vector<std::string> built;
  for (const auto& record : gpu::commandTrace().pipelineBuilds()) built.push_back(record.functionName);
  const std::vector<std::string> warmed{"DAEToolModel_mask",         "DAEToolModel_overlay_map",
                                        "DAEToolModel_dry_layer",    "DAEToolModel_wet_layer",
                                        "DAEToolModel_initialize",   "DAEToolModel_dryer_paint",
                                        "DAEToolModel_wetter_paint", "DAEToolModel_dryer_init",
                                        "DAEToolModel_wetter_init",  "DAEToolModel_paint_height"};
  ASSERT_GE(built.size(), warmed.size());
  EXPECT_EQ(std::vector<std::string>(built.end() - static_cast<std::ptrdiff_t>(warmed.size()), built.end()), warmed)
      << "after the texture-pass registry's own";

  gpu::commandTrace().start();
  tool->initialize();
  std::make_shared<StrokeTool>(journal)->initialize();
  EXPECT_TRUE(gpu::commandTrace().pipelineBuilds().empty()) << "a second tool finds every pipeline built";
}

// While the height debug view is on, a clean also draws the head's heights into the current layer.
TEST_F(DrawingToolTest, CleanShowsTheHeadsHeightsWhileTheDebugViewIsOn) {
  auto canvas = testsupport::makeCanvas(300, 200);
  AppManager().setCanvas(canvas);
  AppManager().setCurrentPaint(canvas);
  AppManager().setCurrentTool(tool);
  DefaultToolViewer owner(*tool);
  tool->viewer()->setToolModel(std::make_shared<ToolModel>(owner, 4, 4, 4));
  DEBUG_DAE_KNIFE = KnifeDebugMode::Height;
  journal.clear();
  canvas->redraws.clear();
  gpu::commandTrace().start();
  tool->clean();
  EXPECT_EQ(journal, (Journal{"viewer clean"}));
  EXPECT_EQ(gpu::commandTrace().commits().size(), 1u);
  const auto kernels = gpu::commandTrace().kernelNames();
  ASSERT_FALSE(kernels.empty());
  EXPECT_EQ(kernels.front(), "DAEToolModel_paint_height");
  EXPECT_EQ(canvas->redraws, (std::vector<DrawingMode>{DrawingMode::Refresh}));
}

}  // namespace
