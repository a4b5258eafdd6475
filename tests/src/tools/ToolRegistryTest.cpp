#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ErrorMessage.h"
#include "FakeCanvas.h"
#include "FakeTool.h"
#include "FatalStop.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/brushes/FilbertBrushTools.h"
#include "tools/brushes/FlatBrushTools.h"
#include "tools/tubes/TubeTool.h"

namespace {

using namespace tessivarium;
using testsupport::FakeCanvas;
using testsupport::FakeTool;

// Records every announcement as one line.
class RecordingDelegate : public ApplicationManagerDelegate {
 public:
  explicit RecordingDelegate(std::vector<std::string>& journal) : journal_(journal) {}
  void currentPaintWillChange(const std::shared_ptr<DrawingPaint>& p) override { note("paint will", p); }
  void currentPaintDidChange(const std::shared_ptr<DrawingPaint>& p) override { note("paint did", p); }
  void currentToolWillChange(const std::shared_ptr<DrawingTool>& t) override {
    journal_.push_back(std::string("tool will ") + describe(t->toolType()));
  }
  void currentToolDidChange(const std::shared_ptr<DrawingTool>& t) override {
    journal_.push_back(std::string("tool did ") + describe(t->toolType()));
  }

 private:
  void note(const char* what, const std::shared_ptr<DrawingPaint>& p) {
    journal_.push_back(std::string(what) + " " + (p ? std::to_string(p->paintId()) : "none"));
  }
  std::vector<std::string>& journal_;
};

class ToolRegistry : public ::testing::Test {
 protected:
  ApplicationManager& manager = AppManager();
  std::vector<std::string> journal;
};

TEST_F(ToolRegistry, FirstReadBuildsTwentySixToolsInOrder) {
  EXPECT_EQ(manager.filbertBrush(), DefaultTool());
  const auto& tools = manager.tools();
  ASSERT_EQ(tools.size(), 26u);
  EXPECT_EQ(tools.front(), manager.tube());
  EXPECT_EQ(tools.back()->toolType(), ToolType::roller);
  const std::vector<ToolType> expectedMade = {
      ToolType::knife1,         ToolType::knife2,         ToolType::knife3,
      ToolType::knife4,         ToolType::knife5,         ToolType::knife6,
      ToolType::bigFilbertBrush, ToolType::smallFilbertBrush, ToolType::bigFlatBrush,
      ToolType::flatBrush,      ToolType::smallFlatBrush, ToolType::extraWideBrush,
      ToolType::bigWideBrush,   ToolType::wideBrush,      ToolType::smallWideBrush,
      ToolType::bigFanBrush,    ToolType::fanBrush,       ToolType::smallFanBrush,
      ToolType::dryer,          ToolType::wetter,         ToolType::fluffyMop,
      ToolType::turpentine,     ToolType::towel,          ToolType::roller};
  EXPECT_EQ(manager.madeTools(), expectedMade) << "roundBrush and sander stay unmade";
  for (std::size_t i = 1; i < tools.size(); ++i) {
    EXPECT_NE(tools[i]->toolType(), ToolType::sprayer);
  }
}

TEST_F(ToolRegistry, FindingToolsByType) {
  EXPECT_EQ(manager.findDrawingTool(nullptr, ToolType::flatBrush), manager.flatBrush());
  EXPECT_EQ(manager.findDrawingTool(nullptr, ToolType::filbertBrush), DefaultTool());
  EXPECT_FATAL(manager.findDrawingTool(nullptr, ToolType::sprayer), "Not supported");
  EXPECT_FATAL(manager.findDrawingTool(nullptr, ToolType::sander), "Not supported");

  const auto original = manager.flatBrush();
  manager.setFlatBrush(std::make_shared<FlatBrushTool>());
  EXPECT_EQ(manager.findDrawingTool(nullptr, ToolType::flatBrush), original)
      << "the registry keeps the tools it was built with";
}

TEST_F(ToolRegistry, AToolChangeOnACurrentCanvasIsAnnouncedInOrder) {
  auto canvas = std::make_shared<FakeCanvas>(MainPaintId, 800, 600);
  manager.setCurrentPaint(canvas);
  manager.setManagerDelegate(std::make_shared<RecordingDelegate>(journal));
  auto knife = std::make_shared<FakeTool>(ToolType::knife2, &journal);
  manager.setCurrentTool(knife);
  EXPECT_EQ(journal, (std::vector<std::string>{"tool will filbertBrush", "paint will 0", "paint did 0",
                                               "knife2 enabled unforced", "tool did knife2"}));
  EXPECT_FALSE(DefaultTool()->enabled());
  EXPECT_TRUE(knife->enabled());

  journal.clear();
  manager.setCurrentTool(knife);
  EXPECT_EQ(journal, (std::vector<std::string>{"tool will knife2", "knife2 disabled", "paint will 0",
                                               "paint did 0", "knife2 enabled unforced",
                                               "tool did knife2"}))
      << "the same tool again is disabled and enabled again";
}

TEST_F(ToolRegistry, AToolChangeWithoutACanvasEnablesNothing) {
  manager.setManagerDelegate(std::make_shared<RecordingDelegate>(journal));
  auto towel = std::make_shared<FakeTool>(ToolType::towel, &journal);
  manager.setCurrentTool(towel);
  EXPECT_EQ(journal, (std::vector<std::string>{"tool will filbertBrush", "tool did towel"}));
  EXPECT_EQ(towel->enabledCount, 0);
  EXPECT_TRUE(towel->enabled());
}

TEST_F(ToolRegistry, TheManagerKeepsAHostAssignedToolAlive) {
  std::weak_ptr<FakeTool> watch;
  {
    auto tool = std::make_shared<FakeTool>(ToolType::dryer);
    watch = tool;
    manager.setCurrentTool(tool);
  }
  ASSERT_FALSE(watch.expired());
  EXPECT_EQ(manager.currentTool()->toolType(), ToolType::dryer);
  manager.setCurrentTool(manager.defaultTool());
  EXPECT_TRUE(watch.expired());
}

TEST_F(ToolRegistry, PaintAssignmentsAreAnnouncedEveryTime) {
  manager.setManagerDelegate(std::make_shared<RecordingDelegate>(journal));
  auto canvas = std::make_shared<FakeCanvas>(MainPaintId, 800, 600);
  manager.setCurrentPaint(canvas);
  manager.setCurrentPaint(canvas);
  manager.setCurrentPaint(nullptr);
  EXPECT_EQ(journal, (std::vector<std::string>{"paint will none", "paint did 0", "paint will 0",
                                               "paint did 0", "paint will 0", "paint did none"}));
}

TEST_F(ToolRegistry, PalettesGetIdentifiersAboveTheMainCanvas) {
  const auto first = manager.createPalette();
  const auto second = manager.createPalette(300, 500);
  EXPECT_EQ(first->paintId(), 1u);
  EXPECT_EQ(second->paintId(), 2u);
  EXPECT_EQ(first->artwork()->name(), "");
  EXPECT_EQ(first->artwork()->width(), 400);
  EXPECT_EQ(first->artwork()->height(), 350);
  EXPECT_EQ(second->artwork()->name(), "Palette");
  EXPECT_EQ(second->artwork()->width(), 500) << "palettes are landscape";
  EXPECT_EQ(first->artwork()->surface()->id(), SurfaceId::Flat);
  EXPECT_EQ(first->layerMode(), LayerMode::Page);
  EXPECT_FALSE(first->supportCommand());
  EXPECT_TRUE(manager.isPalette(*first));
  EXPECT_FALSE(manager.isPalette(FakeCanvas(MainPaintId, 10, 10)));
  EXPECT_FALSE(manager.canvas() || manager.currentPaint());

  // Fakes stand in for the palettes' loading and cleaning, which need layers.
  manager.setPalettes({std::make_shared<FakeCanvas>(1, 400, 350)});
  manager.setTools({});
  manager.cleanResources();
  EXPECT_TRUE(manager.palettes().empty());
  EXPECT_EQ(manager.createPalette()->paintId(), 1u);
}

TEST_F(ToolRegistry, LoadsGoesInOrderAndStopsAtTheFirstError) {
  auto canvas = std::make_shared<FakeCanvas>(MainPaintId, 800, 600, 1.0, &journal);
  auto palette = std::make_shared<FakeCanvas>(1, 400, 350, 1.0, &journal);
  manager.setCanvas(canvas);
  manager.setPalettes({palette});
  auto tube = std::make_shared<FakeTool>(ToolType::tube, &journal);
  auto knife = std::make_shared<FakeTool>(ToolType::knife1, &journal);
  manager.setTools({tube, knife});
  const auto canvasesBytes = manager.heapSize();
  manager.loads();
  EXPECT_EQ(journal, (std::vector<std::string>{"tube loads", "knife1 loads", "canvas 0 loads",
                                               "canvas 1 loads"}));
  EXPECT_EQ(manager.heapSize() - canvasesBytes, 12 * 262'144) << "the working textures come first";

  journal.clear();
  knife->onLoads = [] { throw Error(ErrorMessage::NoMoreHeap); };
  try {
    manager.loads();
    FAIL() << "the tool's error must reach the caller";
  } catch (const Error& error) {
    EXPECT_EQ(error.message(), ErrorMessage::NoMoreHeap);
  }
  EXPECT_EQ(journal, (std::vector<std::string>{"tube loads", "knife1 loads"}));
}

TEST_F(ToolRegistry, CleanResourcesDropsCanvasesAndDetachesViewers) {
  auto canvas = std::make_shared<FakeCanvas>(MainPaintId, 800, 600, 1.0, &journal);
  auto palette = std::make_shared<FakeCanvas>(1, 400, 350, 1.0, &journal);
  auto tool = std::make_shared<FakeTool>(ToolType::towel, &journal);
  manager.setTools({tool});
  manager.setCanvas(canvas);
  manager.setCurrentPaint(canvas);
  manager.setPalettes({palette});
  manager.setManagerDelegate(std::make_shared<RecordingDelegate>(journal));
  manager.cleanResources();
  EXPECT_EQ(journal, (std::vector<std::string>{"canvas 1 cleanResources", "canvas 0 cleanResources",
                                               "paint will 0", "paint did none",
                                               "towel dettachViewer"}));
  EXPECT_FALSE(manager.canvas() || manager.currentPaint());

  // Without a main canvas the current paint stays.
  manager.setCurrentPaint(palette);
  journal.clear();
  manager.cleanResources();
  EXPECT_EQ(manager.currentPaint(), palette);
  EXPECT_EQ(journal, std::vector<std::string>{"towel dettachViewer"});
}

TEST(ToolRegistrySolventColor, IsWhiteWithZeroAlpha) {
  const auto& c = SOLVENT_COLOR();
  EXPECT_EQ(c.components(), (std::vector<double>{1.0, 1.0, 1.0, 0.0}));
}

}  // namespace
