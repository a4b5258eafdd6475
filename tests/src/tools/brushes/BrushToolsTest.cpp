// The nine flat, fan and filbert brushes and what they share: their settings, the working window of
// a stroke, the lowered altitudes and the passes that lay a fresh head.

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <tuple>
#include <type_traits>

#include "FakeCanvas.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModel.h"
#include "tools/TextureReset.h"
#include "tools/TouchInput.h"
#include "tools/brushes/BrushDAEEncoders.h"
#include "tools/brushes/BrushToolSurface.h"
#include "tools/brushes/BrushToolViewer.h"
#include "tools/brushes/FanBrushTools.h"
#include "tools/brushes/FilbertBrushTools.h"
#include "tools/brushes/FlatBrushTools.h"

namespace tessivarium {
namespace {

static_assert(!std::is_constructible_v<FlatBrushTool, ToolType>, "a concrete brush has its one type");
static_assert(!std::is_constructible_v<AbstractFanBrushTool, ToolType> && !std::is_constructible_v<AbstractBrushTool, ToolType>,
              "only the sizes are made");

// A main canvas at `scale`, current, with `tool` switched to `switchedTo` (else to the canvas).
void useCanvas(AbstractDrawingTool& tool, std::int64_t width, std::int64_t height, double scale = 1.0,
               DrawingPaint* switchedTo = nullptr) {
  const auto canvas = std::make_shared<testsupport::FakeCanvas>(MainPaintId, width, height, scale);
  AppManager().setCanvas(canvas);
  AppManager().setCurrentPaint(canvas);
  tool.switchTo(switchedTo ? *switchedTo : *canvas);
}

TEST(BrushTools, NineBrushesTheirTypesScenesAndSizes) {
  useCanvas(*DefaultTool(), 800, 600);
  using Make = std::function<std::shared_ptr<AbstractBrushTool>()>;
  const std::tuple<Make, std::int64_t, const char*, float> cases[] = {
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
  for (const auto& [make, raw, scene, scale] : cases) {
    const auto brush = make();
    EXPECT_EQ(rawValue(brush->toolType()), raw);
    const auto viewer = std::dynamic_pointer_cast<BrushToolViewer>(brush->toolViewer());
    ASSERT_TRUE(viewer) << raw;
    EXPECT_EQ(viewer->fileName(), scene) << raw;
    EXPECT_FLOAT_EQ(viewer->scale(), scale * 0.7f) << raw << " (the display scale is 0.7 of the viewer's)";
    EXPECT_TRUE(brush->canWetDrawing() && brush->wetDrawing() && brush->isThickPressureSensitive()) << raw;
    EXPECT_TRUE(brush->canFillColor() && brush->canClean() && brush->canReset() && brush->canSavePattern()) << raw;
    EXPECT_TRUE(std::dynamic_pointer_cast<BrushToolSurface>(brush->toolSurface())) << raw;
  }
}

TEST(BrushTools, TheWindowLiesAThirdOfAWindowFurtherFromTheSamples) {
  const float quarter = 1.5707964f, nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    std::int64_t width, height;
    double scale;
    std::vector<graphics::Point> points;
    float azimuth;
    gpu::uint3 corner;
  } cases[] = {
      {2048, 1536, 1, {{500, 300}}, 0, {414, 172, 0}},
      {2048, 1536, 1, {{500, 300}}, quarter, {372, 214, 0}},
      {2048, 1536, 1, {{600, 90}, {500, 300}}, 0, {414, 0, 0}},  // the nearest corner of all points
      {2048, 1536, 1, {{-20, -5}, {10, 40}}, 0, {0, 0, 0}},      // points kept on the canvas first
      {2048, 1536, 1, {{5000, 4000}}, 0, {1792, 1280, 0}},       // the window kept on the canvas
      {250, 200, 1, {{200, 150}}, 0, {0, 0, 0}},                 // a canvas under one window
      {600, 400, 2, {{300, 150}}, 0, {514, 172, 0}},             // the shifts hold in cells
      {2048, 1536, 1, {{500, 300}}, nan, {0, 0, 0}},
  };
  const auto tool = DefaultTool();
  for (const auto& c : cases) {
    useCanvas(*tool, c.width, c.height, c.scale);
    EXPECT_EQ(tool->findWorkingOffset(c.points, c.azimuth), c.corner) << c.width << " " << c.scale << " " << c.azimuth;
  }
  // A palette: its size bounds the window, the main canvas gives the scale.
  testsupport::FakeCanvas palette(MainPaintId + 1, 400, 350);
  useCanvas(*tool, 2048, 1536, 2.0, &palette);
  EXPECT_EQ(tool->findWorkingOffset({{390, 340}}, 0), (gpu::uint3{544, 444, 0}));
}

TEST(BrushTools, AltitudesAreLoweredByTheWatermarkAndNothingElse) {
  useCanvas(*DefaultTool(), 800, 600);
  auto& data = DefaultTool()->toolSurface()->touchInputData();
  const float altitudes[] = {1.5707964f, 1.0f, 0.5235988f, 0.2f};
  for (const float a : altitudes) data.append(10, 20, 5, 0.5f, a, 0.3f);
  const auto locations = data.locations();
  DefaultTool()->toolSurface()->adjustInput();
  EXPECT_EQ(data.altitudes(), (std::vector<float>{1.0471976f, 0.4764012f, 0.0f, 0.0f}));
  EXPECT_TRUE(data.locations() == locations && data.forces() == std::vector<float>(4, 0.5f) &&
              data.azimuths() == std::vector<float>(4, 0.3f));
}

TEST(BrushTools, AFreshHeadIsResetThenGivenItsFamilysBristles) {
  const auto fan = std::make_shared<BigFanBrushTool>();
  useCanvas(*fan, 800, 600);
  EXPECT_TRUE(fan->getInitializers().empty()) << "no head yet: nothing to lay";
  auto& viewer = dynamic_cast<DefaultToolViewer&>(*fan->toolViewer());
  const SCNVector3 p(4, 4, 4);
  viewer.setToolModel(std::make_shared<DAEToolModel>(
      viewer, 8, 8, 8, std::make_shared<DAEToolDescriptorWrapper>(fan->toolType(), p, p, p, p, p, p, p, p, p, 2, 0, 1)));
  const auto passes = fan->getInitializers();
  ASSERT_EQ(passes.size(), 2u);
  EXPECT_EQ(std::dynamic_pointer_cast<TextureReset>(passes[0])->texture(), viewer.toolModel()->colorTexture1());
  EXPECT_EQ(passes[1], std::static_pointer_cast<ToolEncoder>(DAEEncoders().getFanBrushInitializer()));
  EXPECT_EQ(fan->getInitializers(), passes) << "the registry's shared passes";
}

TEST(BrushTools, EachSampleBendsTheBonesByRotationAndForceAndStretchesTheLastWhileStretching) {
  const float cases[][4] = {  // rotation, force, bend about x, about z
      {0, 1, 0.15707964f, 0},       {1.5707964f, 1, 0.31415927f, 0.15707964f}, {3.1415927f, 1, -0.09424779f, -0.06283186f},
      {4, 1, -0.07707964f, -0.04566371f}, {5, 0.5f, 0.028539818f, 0.012831855f},   {2, 0, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_NEAR(boneBend(c[0], c[1]).x, c[2], 1e-6f) << c[0] << " " << c[1];
    EXPECT_NEAR(boneBend(c[0], c[1]).z, c[3], 1e-6f) << c[0] << " " << c[1];
  }
  const auto tool = std::make_shared<FanBrushTool>();
  useCanvas(*tool, 2048, 1536);
  auto& viewer = dynamic_cast<BrushToolViewer&>(*tool->toolViewer());
  viewer.loads();  // the scene, without a model: the canvas has not started
  const auto bone = [&](const char* name) { return viewer.toolContentNode()->childNode(name, true); };
  bone("Bone4")->removeFromParentNode();  // a missing bone (and Bone5 under it) is skipped
  bone("Bone3")->addChildNode(scene::Node::make());
  bone("Bone3")->childNodes().back()->setName("Bone5");
  viewer.setRotation(1.5707964f);
  scene::Node toolNode;
  for (const auto& [stretching, force, length] : {std::tuple{true, 1.0f, 1.4f}, {true, 0.0f, 1.0f}, {false, 1.0f, 1.0f}}) {
    bone("Bone5")->setScale({1, 1, 1});
    viewer.setStretching(stretching);
    viewer.updateOnTouch(toolNode, TouchInput({100, 80}, force, 1.5707964f, 1.5707964f));
    const BoneBend bend = boneBend(1.5707964f, force);
    for (const char* name : {"Bone2", "Bone3", "Bone5"}) EXPECT_EQ(bone(name)->eulerAngles(), scene::Vector3(bend.x, 0, bend.z)) << name;
    EXPECT_EQ(bone("Bone5")->scale(), scene::Vector3(length, 1, 1)) << stretching << " " << force;
  }
}

}  // namespace
}  // namespace tessivarium
