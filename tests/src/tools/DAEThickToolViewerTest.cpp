// Measuring a tool model from the marker nodes of its scene.
//
// The scene MeasuredKnife.dae on an 896 x 500 main canvas at scale 1 with the default screen
// (native height 2048): the screen ratio is 2048 / (2 x 896) x 0.05 = 2 / 35, which the canvas's
// shape against 4:3, (3 x 896) / (4 x 500) = 1.344, makes a content scale of 0.0768; with the tool
// node's 0.7 one scene unit is 0.0768 x 0.7 x 250 = 13.44 view points about the view centre
// (448, 250), as on a canvas of any shape. Upright a marker (x, y, z) shows at
// (448 + 13.44x, 250 - 13.44y); turned a quarter about x at (448 + 13.44x, 250 + 13.44z).
//   upright: MarkTop y 207.664, MarkDown y 250, so midY 228.832
//   turned:  headTop (450.688, 231.184), headLeft (434.56, 263.44), headRight (470.848, 251.344),
//            left (420.448, 265.456), right (476.224, 260.08), top (449.344, 247.312) at z 250,
//            down (446.656, 251.344) at z 207.664
//   extent (55.776, 34.272, 42.336); + border (16, 16, 64) = (71.776, 50.272, 106.336);
//   size 72 x 56 x 112
//   pad (8.112, 10.864, 34.832); shift = min - pad = (412.336, 220.32, 172.832)
//   head circle: centre (450.688, 251.344) - shift = (38.352, 31.024), radius 20.16 (the scene's
//   1.5 units)

#include "tools/AbstractDAEThickToolViewer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <type_traits>

#include "ConsoleCapture.h"
#include "FakeCanvas.h"
#include "StrokeCanvas.h"
#include "FakeTool.h"
#include "FatalStop.h"
#include "components/BrushView.h"
#include "foundation/Bundle.h"
#include "gpu/Texture.h"
#include "imaging/Image.h"
#include "scene/Scene.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEDialController.h"
#include "tools/DAEToolModel.h"
#include "tools/SoloDAEToolController.h"
#include "tools/ToolEncoder.h"
#include "tools/TouchInput.h"
#include "tools/brushes/FilbertBrushTools.h"
#include "tools/brushes/WideBrushTools.h"
#include "tools/knives/KnifeTools.h"
#include "tools/towels/TowelTool.h"

namespace tessivarium {
namespace {

constexpr float kTolerance = 1e-3f;

// A pass that counts its runs.
class CountingPass : public AbstractToolEncoder {
 public:
  void encode(DrawingPaint&, gpu::CommandBuffer&) override { ++runs; }
  int runs = 0;
};

class ModelTool : public AbstractDrawingTool {
 public:
  ModelTool() : AbstractDrawingTool(ToolType::knife3) {}
  std::vector<std::shared_ptr<ToolEncoder>> getInitializers() override { return {initializer}; }
  std::shared_ptr<CountingPass> initializer = std::make_shared<CountingPass>();
};

class DAEThickToolViewer : public testing::Test {
 protected:
  // The canvas and the scene folder, before the viewer is made.
  static bool install(const std::shared_ptr<testsupport::FakeCanvas>& canvas) {
    foundation::Bundle::framework().setRoot(TESS_ENGINE_SCENE_DIR);
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
    AppManager().setCurrentTool(std::make_shared<testsupport::FakeTool>(ToolType::knife3));
    return true;
  }

  void start() { canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(2, 2))); }
  BrushView& brushView() { return *canvas->brushView(); }
  DAEToolModel& model() { return dynamic_cast<DAEToolModel&>(*viewer.toolModel()); }
  std::size_t boxLines() const { return console.linesStartingWith("Box: ").size(); }

  testsupport::ConsoleCapture console;
  std::shared_ptr<testsupport::FakeCanvas> canvas = std::make_shared<testsupport::FakeCanvas>(MainPaintId, 896, 500);
  bool installed = install(canvas);
  ModelTool tool;
  AbstractDAEThickToolViewer viewer{tool, "MeasuredKnife"};
};

void expectPoint(const SCNVector3& got, float x, float y, float z, const char* what) {
  EXPECT_NEAR(got.x, x, kTolerance) << what;
  EXPECT_NEAR(got.y, y, kTolerance) << what;
  EXPECT_NEAR(got.z, z, kTolerance) << what;
}

std::vector<float> numbersOf(const std::string& line) {
  std::vector<float> numbers;
  std::istringstream in(line.substr(line.find(' ') + 1));
  for (float v; in >> v;) numbers.push_back(v);
  return numbers;
}

TEST_F(DAEThickToolViewer, StartsWithItsBorderAndNoModel) {
  static_assert(!std::is_constructible_v<AbstractDAEToolViewer, AbstractDrawingTool&, float>,
                "a tool-model viewer always names its scene");
  EXPECT_EQ(viewer.fileName(), "MeasuredKnife");
  EXPECT_EQ(viewer.border(), SCNVector3(16, 16, 64));
  EXPECT_TRUE(viewer.stretching());
  EXPECT_FALSE(viewer.initialized());
  viewer.updateSize();
  EXPECT_EQ(viewer.size(), (gpu::Size{73, 73, 0}));
}

TEST_F(DAEThickToolViewer, SizeIsTheNextMultipleOfEightAboveTheWholeExtent) {
  // The last three: a head of 100.4 x 104.0 x 30.0 cells with the border (16, 16, 64).
  const std::pair<float, std::int64_t> cases[] = {{24, 32},        {23.9f, 24},   {16, 24},      {0, 8},
                                                  {71.776f, 72},   {106.336f, 112}, {116.4f, 120}, {120.0f, 128},
                                                  {94.0f, 96}};
  for (const auto& [extent, size] : cases) EXPECT_EQ(AbstractDAEThickToolViewer::modelSize(extent), size) << extent;

  const auto box = viewer.boundingBox({{1, 5, -2}, {3, -1, 0}, {2, 2, 4}});
  EXPECT_EQ(box.max, SCNVector3(3, 5, 4));
  EXPECT_EQ(box.min, SCNVector3(1, -1, -2));
  EXPECT_FATAL(viewer.boundingBox({}), "AbstractDAEThickToolViewer.boundingBox: no points");
}

TEST_F(DAEThickToolViewer, MeasuresTheSceneIntoACentredModel) {
  start();
  viewer.attachView();
  ASSERT_TRUE(viewer.initialized());
  ASSERT_TRUE(viewer.toolModel());
  EXPECT_EQ(viewer.size(), (gpu::Size{72, 56, 112}));
  EXPECT_EQ(tool.initializer->runs, 1);

  const auto boxes = console.linesStartingWith("Box: ");
  ASSERT_EQ(boxes.size(), 2u);
  const auto extent = numbersOf(boxes[0]);
  ASSERT_EQ(extent.size(), 3u);
  EXPECT_NEAR(extent[0], 55.776f, kTolerance);
  EXPECT_NEAR(extent[1], 34.272f, kTolerance);
  EXPECT_NEAR(extent[2], 42.336f, kTolerance);
  EXPECT_EQ(boxes[1], "Box: 72 56 112");

  const auto& d = *model().descriptor();
  EXPECT_EQ(d.toolType(), ToolType::knife3);
  expectPoint(d.headTop(), 38.352f, 10.864f, 56, "headTop");
  expectPoint(d.headLeft(), 22.224f, 43.12f, 56, "headLeft");
  expectPoint(d.headRight(), 58.512f, 31.024f, 56, "headRight");
  expectPoint(d.left(), 8.112f, 45.136f, 56, "left");
  expectPoint(d.right(), 63.888f, 39.76f, 56, "right");
  expectPoint(d.top(), 37.008f, 26.992f, 77.168f, "top");    // z from MarkDown's upright height
  expectPoint(d.down(), 34.32f, 31.024f, 34.832f, "down");  // z from MarkTop's
  expectPoint(d.origin(), 38.352f, 10.864f, 34.832f, "origin");
  expectPoint(d.headCenter(), 38.352f, 31.024f, 56, "headCenter");
  EXPECT_NEAR(d.headRadius(), 20.16f, kTolerance);
  EXPECT_EQ(d.rotation(), 0);
  EXPECT_FLOAT_EQ(d.scale(), 0.7f);
  EXPECT_EQ(console.linesStartingWith("x: ").size(), 1u);
  EXPECT_EQ(console.linesStartingWith("Execution time: ").size(), 1u);

  // The scene's two top-level nodes sit in the content node with the markers hidden; the tool
  // node is given back its pose and display scale.
  const auto& content = viewer.toolContentNode();
  ASSERT_EQ(content->childNodes().size(), 2u);
  EXPECT_EQ(content->childNodes()[0]->name(), "Knife");
  EXPECT_EQ(content->childNodes()[1]->name(), "Handle");
  EXPECT_EQ(brushView().content(), content);
  EXPECT_FLOAT_EQ(content->scale().x, 0.0768f);
  EXPECT_TRUE(content->childNode("MarkHeadBottom", true)->isHidden());
  EXPECT_TRUE(content->childNode("MarkRight", true)->isHidden());
  EXPECT_FALSE(content->childNode("Knife", true)->isHidden());
  const float eighth = static_cast<float>(std::numbers::pi / 4);
  EXPECT_EQ(brushView().toolNode()->eulerAngles(), scene::Vector3(eighth, 0, eighth));
  EXPECT_EQ(brushView().toolNode()->scale(), scene::Vector3(0.7f, 0.7f, 0.7f));
}

TEST_F(DAEThickToolViewer, LaterLoadsKeepTheSceneAndTheModel) {
  start();
  viewer.loads();
  const auto first = viewer.toolModel();
  const std::size_t reads = scene::Scene::loadCount();

  viewer.loads();  // initialized: nothing runs again
  EXPECT_EQ(tool.initializer->runs, 1);

  // After a detach only the initialisers and the save run again, on the same model.
  const std::uint8_t paint[4] = {9, 8, 7, 6};
  first->colorTexture0()->writeRegion(gpu::Region::make3D(5, 6, 7, 1, 1, 1), 0, 0, paint, 4, 4);
  viewer.dettachView();
  EXPECT_FALSE(viewer.initialized());
  viewer.loads();
  EXPECT_TRUE(viewer.initialized());
  EXPECT_EQ(tool.initializer->runs, 2);
  EXPECT_EQ(viewer.toolModel(), first);
  EXPECT_EQ(scene::Scene::loadCount(), reads);
  EXPECT_EQ(boxLines(), 2u);
  std::uint8_t saved[4] = {};
  first->savedColorTexture()->readRegion(gpu::Region::make3D(5, 6, 7, 1, 1, 1), 0, 0, saved, 4, 4);
  EXPECT_EQ(std::vector<std::uint8_t>(saved, saved + 4), std::vector<std::uint8_t>(paint, paint + 4));
  EXPECT_EQ(viewer.toolContentNode()->childNodes().size(), 2u);
}

// Until the canvas starts the scene shows but no model is made; the first touch makes it.
TEST_F(DAEThickToolViewer, ModelWaitsForTheStartedCanvas) {
  viewer.attachView();
  EXPECT_EQ(viewer.toolContentNode()->childNodes().size(), 2u);
  EXPECT_FALSE(viewer.toolModel());
  EXPECT_FALSE(viewer.initialized());
  EXPECT_EQ(tool.initializer->runs, 0);

  start();
  scene::Node node;
  const float quarter = static_cast<float>(std::numbers::pi / 2);
  viewer.updateOnTouch(node, TouchInput({100, 80}, 0.5f, quarter, quarter));
  EXPECT_TRUE(viewer.initialized());
  EXPECT_TRUE(viewer.toolModel());
  EXPECT_EQ(tool.initializer->runs, 1);
  EXPECT_EQ(node.eulerAngles(), scene::Vector3(0, 0, 0));
  EXPECT_EQ(viewer.eulerAngles(), scene::Vector3(0, 0, 0));
  viewer.updateOnTouch(node, TouchInput({100, 80}, 0.5f, 0.25f, 1.5f));
  EXPECT_EQ(tool.initializer->runs, 1);
  EXPECT_EQ(node.eulerAngles(), scene::Vector3(quarter - 0.25f, 0, quarter - 1.5f));
}

TEST_F(DAEThickToolViewer, MissingSceneLeavesNoModel) {
  start();
  console.clear();
  AbstractDAEThickToolViewer lost(tool, "NoSuchTool");
  lost.loads();
  lost.loads();
  EXPECT_EQ(console.lines(), std::vector<std::string>(2, "NoSuchTool isn't found"));
  EXPECT_FALSE(lost.toolModel());
  EXPECT_FALSE(lost.initialized());
  EXPECT_TRUE(lost.toolContentNode()->childNodes().empty());
  EXPECT_EQ(tool.initializer->runs, 0);
}

TEST_F(DAEThickToolViewer, BrokenMarkersStopNamingTheScene) {
  viewer.loads();  // not started: the scene only
  start();
  viewer.toolContentNode()->childNode("MarkLeft", true)->removeFromParentNode();
  EXPECT_FATAL(viewer.loads(), "DefaultToolViewer.getLocation: no marker \"MarkLeft\"");
  EXPECT_FALSE(viewer.initialized());

  for (const float far : {NAN, INFINITY, 1e30f, 120.0f}) {
    canvas->setShadingImage(nullptr);
    AbstractDAEThickToolViewer broken(tool, "MeasuredKnife");
    broken.loads();
    broken.toolContentNode()->childNode("MarkRight", true)->setPosition({far, 1, 0.75f});
    start();
    EXPECT_FATAL_CONTAINING(broken.loads(), std::isfinite(far) ? "MeasuredKnife.dae: the tool head measures "
                                                                : "MeasuredKnife.dae: the marker \"MarkRight\" has no finite place");
    EXPECT_FALSE(broken.toolModel()) << far;
  }
}

// A head has the size in points it has on a 4:3 canvas on a canvas of every shape: the painted
// width of a stroke straight down, across its middle row, within a tenth. A brush and a wide brush
// lay their own paint; a knife and the towel are drawn through a block of wet paint, and their width
// is that of the cells they change.
struct Head {
  const char* name;
  std::shared_ptr<AbstractDrawingTool> (*get)();
  bool throughWetPaint;
  double width;  // points, on a 4:3 canvas
};
struct Shape {
  std::size_t width, height;
};

const Head kHeads[] = {
    {"filbertBrush", [] { return std::shared_ptr<AbstractDrawingTool>(AppManager().filbertBrush()); }, false, 11},
    {"knife2", [] { return std::shared_ptr<AbstractDrawingTool>(AppManager().knife2()); }, true, 28},
    {"towel", [] { return std::shared_ptr<AbstractDrawingTool>(AppManager().towel()); }, true, 24},
    {"wideBrush", [] { return std::shared_ptr<AbstractDrawingTool>(AppManager().wideBrush()); }, false, 16},
};
const Shape kShapes[] = {{400, 300}, {300, 300}, {600, 200}, {200, 400}};
void PrintTo(const Head& head, std::ostream* out) { *out << head.name; }
void PrintTo(const Shape& shape, std::ostream* out) { *out << shape.width << " x " << shape.height; }

class DAEThickToolViewerHeadWidth : public testing::TestWithParam<std::tuple<Head, Shape>> {};

TEST_P(DAEThickToolViewerHeadWidth, IsTheSameInPointsOnEveryCanvasShape) {
  const auto& [head, shape] = GetParam();
  testsupport::ConsoleCapture console;
  testsupport::StrokeCanvas strokes(shape.width, shape.height);
  const auto tool = head.get();
  strokes.use(tool);
  const std::size_t cx = shape.width / 2, cy = shape.height / 2;
  if (head.throughWetPaint) {
    strokes.layWet(cx - 60, cy - 60, cx + 60, cy + 60, {180, 60, 40, 20});
  } else {
    tool->fillColor(graphics::Color::fromRGBA(0.7, 0.2, 0.1, 1.0), 1.0f, 0.8f);
  }
  const auto before = strokes.wet();
  strokes.drag({double(cx), double(cy) - 40}, {double(cx), double(cy) + 40}, 41, 0.6);
  const auto after = strokes.wet();

  std::size_t first = shape.width, last = 0;
  for (std::size_t x = 0; x < shape.width; ++x) {
    const std::size_t at = cy * shape.width + x;
    if (head.throughWetPaint ? after[at] != before[at] : after[at] != 0) first = std::min(first, x), last = x;
  }
  ASSERT_LE(first, last) << "the stroke left no mark";
  EXPECT_NEAR(double(last - first + 1), head.width, head.width / 10);
}

INSTANTIATE_TEST_SUITE_P(HeadsAndShapes, DAEThickToolViewerHeadWidth,
                         testing::Combine(testing::ValuesIn(kHeads), testing::ValuesIn(kShapes)),
                         [](const auto& info) {
                           const Shape& shape = std::get<1>(info.param);
                           return std::string(std::get<0>(info.param).name) + "On" + std::to_string(shape.width) +
                                  "x" + std::to_string(shape.height);
                         });

TEST(DAEThickToolViewerDial, OneDialForTheProcess) {
  const auto dial = SOLO_DAE_TOOL_CONTROLLER();
  ASSERT_TRUE(dial);
  EXPECT_EQ(SOLO_DAE_TOOL_CONTROLLER(), dial);
  resetSoloDAEToolControllerForTesting();
  EXPECT_NE(SOLO_DAE_TOOL_CONTROLLER(), dial);
}

}  // namespace
}  // namespace tessivarium
