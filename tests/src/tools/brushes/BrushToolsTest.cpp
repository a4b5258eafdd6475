// The nine flat, fan and filbert brushes and what they share: their settings, the pipelines built
// before the first stroke, the working window of a stroke, the lowered altitudes, the passes that
// lay a fresh head, and the viewer's bristle picture and bone bend.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <tuple>
#include <type_traits>

#include "ConsoleCapture.h"
#include "FakeCanvas.h"
#include "Globals.h"
#include "TempResourceRoot.h"
#include "foundation/Bundle.h"
#include "gpu/Gpu.h"
#include "scene/Geometry.h"
#include "scene/Material.h"
#include "scene/Node.h"
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

// Only the nine sizes are made, each with its own type: no brush takes another type, and no
// brush pass another kernel.
template <class Arguments, class... Classes>
constexpr bool noneTakes = false;
template <class... Arguments, class... Classes>
constexpr bool noneTakes<std::tuple<Arguments...>, Classes...> = (!std::is_constructible_v<Classes, Arguments...> && ...);
static_assert(noneTakes<std::tuple<ToolType>, SmallFanBrushTool, FanBrushTool, BigFanBrushTool, SmallFilbertBrushTool,
                        FilbertBrushTool, BigFilbertBrushTool, SmallFlatBrushTool, FlatBrushTool, BigFlatBrushTool,
                        AbstractFanBrushTool, AbstractFilbertBrushTool, AbstractFlatBrushTool, AbstractBrushTool>,
              "a brush has its one type, and only the sizes are made");
static_assert(noneTakes<std::tuple<std::string, PrepareStep>, DAEBrushPaintingEncoder, DAEBrushPickupEncoder,
                        BrushDAEColorFillEncoder, FlatBrushInitializer, FanBrushInitializer, FilbertBrushInitializer>,
              "a brush pass runs its one kernel");

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

// Before the first stroke a brush builds its own family's initialiser, then those of every family
// and the paint, pickup and fill passes all the flat, fan and filbert brushes share, then the
// engine's; once only.
TEST(BrushTools, InitializeBuildsTheFamilysInitialiserFirstAndEverythingOnce) {
  using Make = std::function<std::shared_ptr<AbstractBrushTool>()>;
  const std::tuple<Make, const char*> cases[] = {
      {[] { return std::make_shared<SmallFlatBrushTool>(); }, "DAEToolModel_brush_flat"},
      {[] { return std::make_shared<FanBrushTool>(); }, "DAEToolModel_brush_fan"},
      {[] { return std::make_shared<BigFilbertBrushTool>(); }, "DAEToolModel_brush_filbert"},
  };
  for (const auto& [make, family] : cases) {
    testsupport::resetGlobals();  // no pipeline built yet
    const auto brush = make();
    useCanvas(*brush, 800, 600);
    gpu::commandTrace().start();
    brush->initialize();
    std::vector<std::string> built;
    for (const auto& record : gpu::commandTrace().pipelineBuilds()) built.push_back(record.functionName);
    std::vector<std::string> expected = {family};
    for (const char* name : {"DAEToolModel_brush_fan", "DAEToolModel_brush_flat", "DAEToolModel_brush_filbert",
                             "DAEToolModel_brush_paint", "DAEToolModel_brush_pickup", "DAEToolModel_brush_fill"}) {
      if (name != std::string(family)) expected.push_back(name);
    }
    ASSERT_GT(built.size(), expected.size()) << family << ": the engine's passes follow";
    EXPECT_EQ(std::vector<std::string>(built.begin(), built.begin() + static_cast<std::ptrdiff_t>(expected.size())), expected);
    EXPECT_TRUE(brush->initialized());

    gpu::commandTrace().start();
    brush->initialize();
    EXPECT_TRUE(gpu::commandTrace().pipelineBuilds().empty()) << family;
    gpu::commandTrace().stop();
  }
}

// The bristle picture dresses the scene's "Brush" mesh only when both are there; otherwise every
// mesh keeps the scene's own materials, and nothing is said.
TEST(BrushTools, TheBristlePictureIsLeftOutSilentlyWhenAPieceIsMissing) {
  const auto bytesOf = [](const char* name, const char* type) {
    std::ifstream in(*foundation::Bundle::framework().pathForResource(name, type), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string flat = bytesOf("FlatBrush", "dae"), tube = bytesOf("Tube", "dae");
  const std::string picture = bytesOf("BrushBristles", "png"), junk = "not a picture";
  const std::tuple<const std::string*, const std::string*, int, const char*> cases[] = {
      {&flat, &picture, 1, "both there"},
      {&flat, nullptr, 0, "no picture"},
      {&flat, &junk, 0, "an unreadable picture"},
      {&tube, &picture, 0, "no \"Brush\" mesh"},
  };
  const std::function<int(const scene::Node&)> pictures = [&](const scene::Node& node) {
    int n = 0;
    if (node.geometry()) {
      for (const auto& material : node.geometry()->materials()) n += material->diffuse().image() != nullptr;
    }
    for (const auto& child : node.childNodes()) n += pictures(*child);
    return n;
  };
  for (const auto& [scene, png, dressed, what] : cases) {
    testsupport::TempResourceRoot root;
    root.write("scenes/FlatBrush.dae", *scene);
    if (png) root.write("images/BrushBristles.png", *png);
    const auto tool = std::make_shared<FlatBrushTool>();
    useCanvas(*tool, 800, 600);
    auto& viewer = dynamic_cast<BrushToolViewer&>(*tool->toolViewer());
    testsupport::ConsoleCapture console;
    viewer.loads();  // the canvas has not started: the scene only
    ASSERT_TRUE(viewer.toolContentNode()) << what;
    EXPECT_EQ(pictures(*viewer.toolContentNode()), dressed) << what;
    EXPECT_TRUE(console.lines().empty()) << what;
  }
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
