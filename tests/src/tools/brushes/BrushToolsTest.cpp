// The nine flat, fan and filbert brushes and what they share: their settings, the working window of
// a stroke, the lowered altitudes and the passes that lay a fresh head.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <type_traits>

#include "ConsoleCapture.h"
#include "FakeCanvas.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModel.h"
#include "tools/TextureReset.h"
#include "tools/ToolSurface.h"
#include "tools/brushes/BrushDAEEncoders.h"
#include "tools/brushes/BrushToolSurface.h"
#include "tools/brushes/BrushToolViewer.h"
#include "tools/brushes/FanBrushTools.h"
#include "tools/brushes/FilbertBrushTools.h"
#include "tools/brushes/FlatBrushTools.h"

namespace tessivarium {
namespace {

static_assert(!std::is_constructible_v<FlatBrushTool, ToolType>, "a concrete brush has its one type");
static_assert(!std::is_constructible_v<AbstractFanBrushTool, ToolType>, "only the sizes are made");
static_assert(!std::is_constructible_v<AbstractBrushTool, ToolType>, "only the sizes are made");

class BrushTools : public testing::Test {
 protected:
  // A main canvas at `scale`, current, with the tool switched to `switchedTo` (the main canvas
  // when none).
  void useCanvas(std::int64_t width, std::int64_t height, double scale,
                 std::shared_ptr<testsupport::FakeCanvas> switchedTo = nullptr) {
    canvas = std::make_shared<testsupport::FakeCanvas>(MainPaintId, width, height, scale);
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
    tool->switchTo(switchedTo ? *switchedTo : *canvas);
  }

  std::shared_ptr<testsupport::FakeCanvas> canvas;
  std::shared_ptr<AbstractBrushTool> tool = std::make_shared<FilbertBrushTool>();
};

TEST_F(BrushTools, NineBrushesTheirTypesScenesAndSizes) {
  useCanvas(800, 600, 1.0);
  struct Case {
    std::function<std::shared_ptr<AbstractBrushTool>()> make;
    std::int64_t raw;
    const char* scene;
    float scale;
  } cases[] = {
      {[] { return std::make_shared<SmallFanBrushTool>(); }, 5, "FanBrush", 0.4f},
      {[] { return std::make_shared<FanBrushTool>(); }, 6, "FanBrush", 0.6f},
      {[] { return std::make_shared<BigFanBrushTool>(); }, 7, "FanBrush", 1.0f},
      {[] { return std::make_shared<SmallFilbertBrushTool>(); }, 8, "FilbertBrush", 0.3f},
      {[] { return std::make_shared<FilbertBrushTool>(); }, 9, "FilbertBrush", 0.6f},
      {[] { return std::make_shared<BigFilbertBrushTool>(); }, 10, "FilbertBrush", 1.0f},
      {[] { return std::make_shared<SmallFlatBrushTool>(); }, 11, "FlatBrush", 0.3f},
      {[] { return std::make_shared<FlatBrushTool>(); }, 12, "FlatBrush", 1.0f},
      {[] { return std::make_shared<BigFlatBrushTool>(); }, 13, "FlatBrush", 1.0f},
  };
  for (const auto& c : cases) {
    const auto brush = c.make();
    EXPECT_EQ(rawValue(brush->toolType()), c.raw);
    const auto viewer = std::dynamic_pointer_cast<BrushToolViewer>(brush->toolViewer());
    ASSERT_TRUE(viewer) << c.raw;
    EXPECT_EQ(viewer->fileName(), c.scene) << c.raw;
    EXPECT_FLOAT_EQ(viewer->scale(), c.scale * 0.7f) << c.raw << " (the display scale is 0.7 of the viewer's)";
    EXPECT_TRUE(brush->canWetDrawing() && brush->wetDrawing() && brush->isThickPressureSensitive()) << c.raw;
    EXPECT_TRUE(brush->canFillColor() && brush->canClean() && brush->canReset() && brush->canSavePattern()) << c.raw;
    EXPECT_EQ(brush->thickness(), 1.0f) << c.raw;
    EXPECT_TRUE(std::dynamic_pointer_cast<BrushToolSurface>(brush->toolSurface())) << c.raw;
  }
}

TEST_F(BrushTools, TheWindowLiesAThirdOfAWindowFurtherFromTheSamples) {
  const float quarter = static_cast<float>(std::numbers::pi / 2);
  struct Case {
    std::int64_t width, height;
    double scale;
    std::vector<graphics::Point> points;
    float azimuth;
    gpu::uint3 corner;
  } cases[] = {
      {2048, 1536, 1.0, {{500, 300}}, 0, {414, 172, 0}},
      {2048, 1536, 1.0, {{500, 300}}, quarter, {372, 214, 0}},
      {2048, 1536, 1.0, {{600, 90}, {500, 300}}, 0, {414, 0, 0}},          // the nearest corner of all points
      {2048, 1536, 1.0, {{-20, -5}, {10, 40}}, 0, {0, 0, 0}},              // points kept on the canvas first
      {2048, 1536, 1.0, {{5000, 4000}}, 0, {1792, 1280, 0}},               // the window kept on the canvas
      {250, 200, 1.0, {{200, 150}}, 0, {0, 0, 0}},                         // a canvas under one window
      {600, 400, 2.0, {{300, 150}}, 0, {514, 172, 0}},                     // the shifts hold in cells
      {2048, 1536, 1.0, {{500, 300}}, std::numeric_limits<float>::quiet_NaN(), {0, 0, 0}},
  };
  for (const auto& c : cases) {
    useCanvas(c.width, c.height, c.scale);
    EXPECT_EQ(tool->findWorkingOffset(c.points, c.azimuth), c.corner) << c.width << " " << c.scale << " " << c.azimuth;
  }

  // A palette of another size: its size bounds the window, the main canvas gives the scale.
  const auto palette = std::make_shared<testsupport::FakeCanvas>(MainPaintId + 1, 400, 350, 1.0);
  useCanvas(2048, 1536, 2.0, palette);
  EXPECT_EQ(tool->findWorkingOffset({{390, 340}}, 0), (gpu::uint3{544, 444, 0}));
}

TEST_F(BrushTools, AltitudesAreLoweredByTheWatermarkAndNothingElse) {
  useCanvas(800, 600, 1.0);
  auto& data = tool->toolSurface()->touchInputData();
  const float altitudes[] = {1.5707964f, 1.0f, 0.5235988f, 0.2f};
  for (int i = 0; i < 4; ++i) data.append(10.0f + i, 20, 5, 0.5f, altitudes[i], 0.3f);
  const auto locations = data.locations();
  tool->toolSurface()->adjustInput();
  EXPECT_EQ(data.altitudes(), (std::vector<float>{1.0471976f, 0.4764012f, 0.0f, 0.0f}));
  EXPECT_EQ(data.locations(), locations);
  EXPECT_EQ(data.forces(), std::vector<float>(4, 0.5f));
  EXPECT_EQ(data.azimuths(), std::vector<float>(4, 0.3f));
  EXPECT_EQ(data.count(), 4);
}

TEST_F(BrushTools, AFreshHeadIsResetThenGivenItsFamilysBristles) {
  useCanvas(800, 600, 1.0);
  const auto fan = std::make_shared<BigFanBrushTool>();
  EXPECT_TRUE(fan->getInitializers().empty()) << "no head yet: nothing to lay";

  auto& viewer = dynamic_cast<DefaultToolViewer&>(*fan->toolViewer());
  const SCNVector3 p(4, 4, 4);
  viewer.setToolModel(std::make_shared<DAEToolModel>(
      viewer, 8, 8, 8, std::make_shared<DAEToolDescriptorWrapper>(fan->toolType(), p, p, p, p, p, p, p, p, p, 2, 0, 1)));
  const auto passes = fan->getInitializers();
  ASSERT_EQ(passes.size(), 2u);
  const auto reset = std::dynamic_pointer_cast<TextureReset>(passes[0]);
  ASSERT_TRUE(reset);
  EXPECT_EQ(reset->texture(), viewer.toolModel()->colorTexture1());
  EXPECT_EQ(passes[1], std::static_pointer_cast<ToolEncoder>(DAEEncoders().getFanBrushInitializer()));
  EXPECT_EQ(fan->getInitializers(), passes) << "the registry's shared passes";
}

TEST_F(BrushTools, InitializeBuildsTheBrushPipelinesOnceFamilyFirst) {
  useCanvas(800, 600, 1.0);
  testsupport::ConsoleCapture console;
  const auto flat = std::make_shared<SmallFlatBrushTool>();
  flat->initialize();
  flat->initialize();
  EXPECT_TRUE(flat->initialized());
  std::vector<std::string> builds;
  for (const auto& line : console.linesStartingWith("Execution time of DAEToolModel_brush_"))
    builds.push_back(line.substr(std::string("Execution time of ").size(), line.find(':') - 18));
  EXPECT_EQ(builds, (std::vector<std::string>{"DAEToolModel_brush_flat", "DAEToolModel_brush_fan",
                                              "DAEToolModel_brush_filbert", "DAEToolModel_brush_paint",
                                              "DAEToolModel_brush_pickup", "DAEToolModel_brush_fill"}));
  EXPECT_EQ(console.linesStartingWith("Execution time of DAEToolModel_mask").size(), 1u) << "then the shared passes";
}

}  // namespace
}  // namespace tessivarium
