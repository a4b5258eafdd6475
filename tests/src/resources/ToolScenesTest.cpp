// The painting tools' scene files and bristle picture in resources/, as the tools find them: through
// the framework bundle, read by the scene kit, measured by the thick viewers' measurement at every
// scale a tool uses. The files are written by scripts/make_tool_scenes.py (a test beside this one
// checks that they are what it writes); resources/scenes/README.md has the marker rules these cases
// hold the scenes to.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ConsoleCapture.h"
#include "FakeTool.h"
#include "TempResourceRoot.h"
#include "TestCanvas.h"
#include "foundation/Bundle.h"
#include "foundation/NumberText.h"
#include "graphics/Image.h"
#include "scene/Scene.h"
#include "tools/AbstractDAEThickToolViewer.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEToolDescriptorWrapper.h"
#include "tools/DAEToolModel.h"
#include "ui/Screen.h"

namespace tessivarium {
namespace {

const std::vector<std::string> kMarkers = {"MarkTop",       "MarkDown", "MarkHeadTop", "MarkHeadLeft",
                                           "MarkHeadRight", "MarkLeft", "MarkRight"};
const std::vector<std::string> kBrushNodes = {"Brush", "Bone2", "Bone3", "Bone4", "Bone5"};

// A head of this many cells or more across leaves a stroke no band of its working window to stay in.
constexpr std::int64_t kNoWindowBand = 183;
// Brush strokes place their samples 85 to 171 cells into the window; a larger brush head makes
// strokes reopen the window for some azimuths.
constexpr std::int64_t kBrushPlacement = 85;
// Five times the depth every tool starts with: room for the border and a head of a few dozen cells.
constexpr std::int64_t kModestDepth = 5 * MAC_DEPTH;
// The wide brushes' flat model: W x 12 x 3.
constexpr std::int64_t kWideHeight = 12, kWideDepth = 3;

enum class Family { brush, fan, wide, other };

// One use of a scene: the tools that measure it at one viewer scale, with one border.
struct SceneUse {
  const char* tools;
  const char* scene;
  float scale;
  bool border;  // the base border (16, 16, 64), or none
  Family family;
};

const SceneUse kUses[] = {
    {"small flat brush", "FlatBrush", 0.3f, true, Family::brush},
    {"flat, big flat brush", "FlatBrush", 1.0f, true, Family::brush},
    {"small wide brush", "FlatBrush", 0.3f, false, Family::wide},
    {"wide brush", "FlatBrush", 0.6f, false, Family::wide},
    {"big wide brush", "FlatBrush", 1.0f, false, Family::wide},
    {"extra-wide brush", "FlatBrush", 3.0f, false, Family::wide},
    {"small fan brush", "FanBrush", 0.4f, true, Family::fan},
    {"fan brush", "FanBrush", 0.6f, true, Family::fan},
    {"big fan brush", "FanBrush", 1.0f, true, Family::fan},
    {"small filbert brush", "FilbertBrush", 0.3f, true, Family::brush},
    {"filbert brush", "FilbertBrush", 0.6f, true, Family::brush},
    {"big filbert brush", "FilbertBrush", 1.0f, true, Family::brush},
    {"tube, sprayer", "Tube", 1.0f, true, Family::other},
    {"roller", "Roller", 0.1f, false, Family::other},
    {"knife 1", "KnifeTool1", 1.0f, true, Family::other},
    {"knife 2", "KnifeTool2", 1.0f, true, Family::other},
    {"knife 3", "KnifeTool3", 1.0f, true, Family::other},
    {"knife 4", "KnifeTool4", 1.0f, true, Family::other},
    {"knife 5", "KnifeTool5", 1.0f, true, Family::other},
    {"knife 6", "KnifeTool6", 1.0f, true, Family::other},
    {"towel", "towel", 1.0f, true, Family::other},
    {"sander", "Sander", 0.1f, false, Family::other},
    {"turpentine", "Turpentine", 0.1f, false, Family::other},
    {"fluffy mop", "FluffyMop", 0.1f, false, Family::other},
};

std::shared_ptr<scene::Scene> loadScene(const std::string& name) {
  const auto path = foundation::Bundle::framework().pathForResource(name, "dae");
  if (!path) throw std::runtime_error(name + " isn't found");
  return scene::Scene::load(*path);
}

TEST(ToolScenes, EverySceneHasItsNodes) {
  struct Case {
    std::string scene;
    std::vector<std::string> nodes;
  };
  std::vector<Case> cases = {{"FanDryer", {"Fan"}}};
  for (const char* brush : {"FlatBrush", "FanBrush", "FilbertBrush"}) cases.push_back({brush, kBrushNodes});
  for (const char* other : {"Tube", "Roller", "KnifeTool1", "KnifeTool2", "KnifeTool3", "KnifeTool4", "KnifeTool5",
                            "KnifeTool6", "towel", "Sander", "Turpentine", "FluffyMop"}) {
    cases.push_back({other, {}});
  }
  for (auto& c : cases) {
    SCOPED_TRACE(c.scene);
    std::shared_ptr<scene::Scene> loaded;
    ASSERT_NO_THROW(loaded = loadScene(c.scene));
    const auto& root = *loaded->rootNode();
    for (const auto& name : c.nodes) EXPECT_TRUE(root.childNode(name, true)) << name;
    if (c.scene == "FanDryer") continue;
    if (c.nodes == kBrushNodes) {
      EXPECT_TRUE(root.childNode("Brush", true)->geometry());
    }
    for (const auto& name : kMarkers) {
      const auto marker = root.childNode(name, true);
      ASSERT_TRUE(marker) << name;
      EXPECT_FALSE(marker->geometry()) << name << " is a marker, so an empty node";
    }
    // The tool stands on its tip at the origin with its axis along +y, as the file says: nothing
    // on the way converted the coordinates.
    const auto tip = root.childNode("MarkDown", true)->worldPosition();
    const auto top = root.childNode("MarkTop", true)->worldPosition();
    EXPECT_EQ(tip, scene::Vector3(0, 0, 0));
    EXPECT_EQ(top.x, 0);
    EXPECT_GT(top.y, 0);
    EXPECT_EQ(top.z, 0);
  }
}

TEST(ToolScenes, TheBristlePictureLoadsThroughTheBundle) {
  const auto path = foundation::Bundle::framework().pathForResource("BrushBristles", "png");
  ASSERT_TRUE(path);
  const auto image = graphics::Image::fromFile(*path);
  ASSERT_TRUE(image);
  EXPECT_GE(image->size().width, 1);
  EXPECT_GE(image->size().height, 1);
}

// A scene the bundle does not hold is none, never another file: names are case-sensitive, and an
// empty resource folder holds no scene at all.
TEST(ToolScenes, AMissingSceneIsNone) {
  auto& bundle = foundation::Bundle::framework();
  EXPECT_TRUE(bundle.pathForResource("towel", "dae"));
  EXPECT_FALSE(bundle.pathForResource("Towel", "dae"));
  EXPECT_FALSE(bundle.pathForResource("KnifeTool7", "dae"));
  testsupport::TempResourceRoot empty;
  EXPECT_FALSE(bundle.pathForResource("FlatBrush", "dae"));
  EXPECT_FALSE(bundle.pathForResource("BrushBristles", "png"));
}

// The head of one use, measured as its viewer measures it.
struct Measured {
  std::int64_t width, height, depth;
  std::shared_ptr<DAEToolDescriptorWrapper> descriptor;
  std::int64_t modelBytes() const { return 3 * width * height * depth * 4; }
};

// Measures `use` on `canvas` (the main and current canvas) with the engine's thick measurement; a
// wide brush keeps only the width, raised from the x extent alone, at height 12 and depth 3.
Measured measure(const SceneUse& use, const std::shared_ptr<testsupport::TestCanvas>& canvas) {
  AppManager().setCanvas(canvas);
  AppManager().setCurrentPaint(canvas);
  testsupport::FakeTool tool(ToolType::knife1);
  AbstractDAEThickToolViewer viewer(tool, use.scene, use.scale);
  if (!use.border) viewer.setBorder({0, 0, 0});
  viewer.loads();
  const auto model = std::dynamic_pointer_cast<DAEToolModel>(viewer.createToolModel());
  if (!model) throw std::logic_error(std::string(use.scene) + ": the measurement made no DAEToolModel");
  Measured m{model->width(), model->height(), model->depth(), model->descriptor()};
  if (use.family == Family::wide) {
    const auto& d = *m.descriptor;
    float lo = d.top().x, hi = d.top().x;
    for (const auto& p : {d.headTop(), d.headLeft(), d.headRight(), d.left(), d.right(), d.down()}) {
      lo = std::min(lo, p.x);
      hi = std::max(hi, p.x);
    }
    m = {static_cast<std::int64_t>(hi - lo) / 8 * 8 + 8, kWideHeight, kWideDepth, m.descriptor};
  }
  return m;
}

std::string describeUse(const SceneUse& use, double artworkScale) {
  return std::string(use.tools) + " (" + use.scene + " at " + foundation::describe(use.scale) + ", artwork scale " +
         foundation::describe(artworkScale) + ")";
}

// Every head fits a working window with room to move, and its markers give the layouts a head they
// can lay: a head circle through three marks that are neither in one line nor at one height, the
// side marks below the head's top and in order across, the slices in order.
void expectHeadsWithinTheWindow(const std::shared_ptr<testsupport::TestCanvas>& canvas) {
  const double artworkScale = canvas->artwork()->scale();
  for (const auto& use : kUses) {
    SCOPED_TRACE(describeUse(use, artworkScale));
    const Measured m = measure(use, canvas);
    EXPECT_LT(m.width, kNoWindowBand);
    EXPECT_LT(m.height, kNoWindowBand);
    EXPECT_LE(m.depth, kModestDepth);
    if (use.family == Family::brush || use.family == Family::fan) {
      EXPECT_LT(m.width, kBrushPlacement);
      EXPECT_LT(m.height, kBrushPlacement);
    }

    const auto& d = *m.descriptor;
    const auto ht = d.headTop(), hl = d.headLeft(), hr = d.headRight();
    const float twiceArea = (hl.x - ht.x) * (hr.y - ht.y) - (hr.x - ht.x) * (hl.y - ht.y);
    EXPECT_GE(std::abs(twiceArea), 1.0f) << "the head marks lie in one line";
    EXPECT_GE(std::max({ht.y, hl.y, hr.y}) - std::min({ht.y, hl.y, hr.y}), 1.0f) << "the head marks share one y";
    EXPECT_TRUE(std::isfinite(d.headRadius()) && d.headRadius() > 0) << d.headRadius();
    EXPECT_GT(d.left().y, ht.y);
    EXPECT_LE(static_cast<int>(d.left().x), static_cast<int>(d.right().x));
    EXPECT_LE(static_cast<int>(d.down().z), static_cast<int>(d.top().z));
    if (use.family == Family::fan) {
      // The fan's bristles sweep from a pivot at headLeft, above the head's centre.
      EXPECT_GE(d.headCenter().y - hl.y, 1.0f);
      EXPECT_GE(d.right().x - d.left().x, 1.0f);
    }
  }
}

// On the default screen, a canvas shaped as 2048 x 1536 (the scale chain sees its shape only), at
// artwork scale 1 and 2.
TEST(ToolScenes, EveryHeadFitsTheWindow) {
  testsupport::ConsoleCapture quiet;
  for (const double artworkScale : {1.0, 2.0}) expectHeadsWithinTheWindow(testsupport::makeCanvas(512, 384, artworkScale));
}

// The most view points per scene unit the tools meet: the largest screen (2732 pixels high) and a
// portrait canvas (shaped as 1536 x 2048).
TEST(ToolScenes, EveryHeadFitsTheWindowOnTheLargestView) {
  ui::Screen::setMainNativeSize({2048, 2732}, 2.0);
  testsupport::ConsoleCapture quiet;
  const auto artwork = std::make_shared<Artwork>("portrait", 384, 512, Surface::FindSurface(SurfaceId::Flat),
                                                 PaintOrientation::portail);
  expectHeadsWithinTheWindow(std::make_shared<testsupport::TestCanvas>(MainPaintId, artwork));
}

// Each tool's model (three W x H x D RGBA8 textures), beside a 2048 x 1536 canvas of three layers,
// stays within the texture memory limit, and so do all the models together.
TEST(ToolScenes, EveryModelFitsBesideACanvas) {
  testsupport::ConsoleCapture quiet;
  const auto canvas = testsupport::makeCanvas(2048, 1536, 1.0, 3);
  const std::int64_t canvasBytes = AppManager().heapSize();
  const std::int64_t limit = AppManager().limitedHeap() << 20;
  ASSERT_GT(canvasBytes, 0);

  std::int64_t total = 0;
  std::cout << std::fixed << std::setprecision(2) << "canvas 2048 x 1536, 3 layers: " << canvasBytes / 1048576.0
            << " MB of " << (limit >> 20) << " MB\n";
  for (const auto& use : kUses) {
    SCOPED_TRACE(describeUse(use, 1.0));
    const Measured m = measure(use, canvas);
    std::cout << std::setw(22) << std::left << use.tools << std::setw(13) << use.scene << std::right
              << std::setw(5) << use.scale << std::setw(5) << m.width << " x" << std::setw(4) << m.height << " x"
              << std::setw(4) << m.depth << std::setw(8) << m.modelBytes() / 1048576.0 << " MB\n";
    EXPECT_LE(canvasBytes + m.modelBytes(), limit);
    total += m.modelBytes();
  }
  std::cout << "all models: " << total / 1048576.0 << " MB\n";
  EXPECT_LE(canvasBytes + total, limit);
}

}  // namespace
}  // namespace tessivarium
