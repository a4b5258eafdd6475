// The brush viewers: the head measured from a brush scene, the bristle picture on the "Brush" mesh
// and the bones bent by each sample.
//
// SyntheticBrush.dae on an 896 x 500 main canvas at scale 1 with the default screen (native height
// 2048): the content scale is 2 / 35 and a viewer of scale 1 sets the tool node to 0.7, so one scene
// unit is 10 view points about the view centre (448, 250).
//   upright: MarkTop y 220, MarkDown y 250, so midY 235
//   turned:  headTop (448, 210), headLeft (418, 230), headRight (478, 230), left (408, 270),
//            right (488, 270), top and down (448, 250) at z 250 and 220
//   extent (80, 60, 30); + border (16, 16, 64) = (96, 76, 94); size 104 x 80 x 96
//   pad (12, 10, 33); shift = min - pad = (396, 200, 187)
//   head circle: centre (448, 242.5) - shift = (52, 42.5), radius 32.5

#include "tools/brushes/BrushToolViewer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

#include "ConsoleCapture.h"
#include "FakeCanvas.h"
#include "TempResourceRoot.h"
#include "components/BrushView.h"
#include "foundation/Bundle.h"
#include "gpu/Texture.h"
#include "graphics/Bitmap.h"
#include "graphics/Image.h"
#include "imaging/Image.h"
#include "scene/Geometry.h"
#include "scene/Material.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEToolModel.h"
#include "tools/TouchInput.h"
#include "tools/brushes/FlatBrushTools.h"

namespace tessivarium {
namespace {

constexpr float kTolerance = 1e-3f;

std::string sceneText() {
  std::ifstream in(std::filesystem::path(TESS_BRUSH_SCENE_DIR) / "SyntheticBrush.dae");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class BrushViewer : public testing::Test {
 protected:
  BrushViewer() {
    foundation::Bundle::framework().setRoot(TESS_BRUSH_SCENE_DIR);
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
    tool->setToolViewer(std::make_shared<BrushToolViewer>(*tool, "SyntheticBrush"));
    AppManager().setCurrentTool(tool);
  }

  BrushToolViewer& viewer() { return dynamic_cast<BrushToolViewer&>(*tool->toolViewer()); }
  void start() { canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(2, 2))); }
  std::shared_ptr<scene::Node> node(const char* name) { return viewer().toolContentNode()->childNode(name, true); }
  std::vector<std::shared_ptr<scene::Material>> brushMaterials() { return node("Brush")->geometry()->materials(); }

  std::shared_ptr<testsupport::FakeCanvas> canvas = std::make_shared<testsupport::FakeCanvas>(MainPaintId, 896, 500);
  std::shared_ptr<FlatBrushTool> tool = std::make_shared<FlatBrushTool>();
};

void expectPoint(const SCNVector3& got, float x, float y, float z, const char* what) {
  EXPECT_NEAR(got.x, x, kTolerance) << what;
  EXPECT_NEAR(got.y, y, kTolerance) << what;
  EXPECT_NEAR(got.z, z, kTolerance) << what;
}

TEST_F(BrushViewer, MeasuresTheBrushSceneIntoACentredHeadAndLaysIt) {
  testsupport::ConsoleCapture console;
  start();
  viewer().attachView();
  ASSERT_TRUE(viewer().initialized());
  EXPECT_EQ(console.linesStartingWith("Box: "), (std::vector<std::string>{"Box: 80.0 60.0 30.0", "Box: 104 80 96"}));
  auto& model = dynamic_cast<DAEToolModel&>(*viewer().toolModel());
  EXPECT_EQ(viewer().size(), (gpu::Size{104, 80, 96}));
  const auto& d = *model.descriptor();
  expectPoint(d.headTop(), 52, 10, 48, "headTop");
  expectPoint(d.headLeft(), 22, 30, 48, "headLeft");
  expectPoint(d.headRight(), 82, 30, 48, "headRight");
  expectPoint(d.left(), 12, 70, 48, "left");
  expectPoint(d.right(), 92, 70, 48, "right");
  expectPoint(d.top(), 52, 50, 63, "top");
  expectPoint(d.down(), 52, 50, 33, "down");
  expectPoint(d.origin(), 52, 10, 33, "origin");
  expectPoint(d.headCenter(), 52, 42.5f, 48, "headCenter");
  EXPECT_NEAR(d.headRadius(), 32.5f, kTolerance);
  EXPECT_EQ(d.toolType(), ToolType::flatBrush);

  // The tool node has its pose back and the viewer's display scale.
  const float eighth = static_cast<float>(std::numbers::pi / 4);
  EXPECT_EQ(canvas->brushView()->toolNode()->eulerAngles(), scene::Vector3(eighth, 0, eighth));
  EXPECT_EQ(canvas->brushView()->toolNode()->scale(), scene::Vector3(0.7f, 0.7f, 0.7f));
  // The head was laid: the flat bristles are its body.
  long body = 0;
  const gpu::TexelView head = model.colorTexture0()->texels();
  for (std::size_t z = 0; z < head.depth(); ++z)
    for (std::size_t y = 0; y < head.height(); ++y)
      for (std::size_t x = 0; x < head.width(); ++x) body += head.texel(x, y, z)[3] == 255;
  EXPECT_GT(body, 0);
}

TEST_F(BrushViewer, TheBristlePictureDressesTheBrushMeshWhenEverythingIsThere) {
  testsupport::TempResourceRoot root;
  const std::string scene = sceneText();
  const auto picture = graphics::Image(graphics::Bitmap::make(2, 2, std::vector<std::uint8_t>(16, 200),
                                                              graphics::AlphaMode::Straight));
  struct Case {
    const char* what;
    bool brushMesh, picture, readable;
    bool dressed;
  } cases[] = {
      {"all there", true, true, true, true},
      {"no picture", true, false, false, false},
      {"an unreadable picture", true, true, false, false},
      {"no Brush mesh", false, true, true, false},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(root.path() / "BrushBristles.png");
    std::string text = scene;
    if (!c.brushMesh) text.replace(text.find("name=\"Brush\""), 12, "name=\"Brash\"");
    root.write("SyntheticBrush.dae", text);
    if (c.picture && c.readable) {
      ASSERT_TRUE(picture.writePNG(root.path() / "BrushBristles.png"));
    }
    if (c.picture && !c.readable) root.write("BrushBristles.png", "not a picture");

    tool->setToolViewer(std::make_shared<BrushToolViewer>(*tool, "SyntheticBrush"));
    testsupport::ConsoleCapture console;
    viewer().loads();
    EXPECT_TRUE(console.lines().empty()) << c.what;
    const auto mesh = node(c.brushMesh ? "Brush" : "Brash");
    ASSERT_TRUE(mesh) << c.what;
    const auto& materials = mesh->geometry()->materials();
    ASSERT_EQ(materials.size(), 1u) << c.what;
    EXPECT_EQ(materials[0]->diffuse().image() != nullptr, c.dressed) << c.what;
    if (c.dressed) {
      EXPECT_EQ(materials[0]->diffuse().image()->pixelWidth(), 2u);
      EXPECT_FLOAT_EQ(materials[0]->shininess(), 0.15f);
    }
  }
}

TEST(BrushBones, TheBendFollowsRotationAndForce) {
  struct Case {
    float rotation, force, x, z;
  } cases[] = {
      {0, 1, 0.15707964f, 0},
      {1.5707964f, 1, 0.31415927f, 0.15707964f},
      {3.1415927f, 1, -0.09424779f, -0.06283186f},
      {4.0f, 1, -0.07707964f, -0.04566371f},  // past π: turned back from 2π, then shrunk and reversed
      {5.0f, 0.5f, 0.028539818f, 0.012831855f},
      {2.0f, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const BoneBend bend = boneBend(c.rotation, c.force);
    EXPECT_NEAR(bend.x, c.x, 1e-6f) << c.rotation << " " << c.force;
    EXPECT_NEAR(bend.z, c.z, 1e-6f) << c.rotation << " " << c.force;
  }
}

TEST_F(BrushViewer, EachSampleBendsTheBonesAndStretchesTheLastWhileStretching) {
  start();
  viewer().loads();
  // Missing bones are skipped: Bone3 and Bone4 go, Bone5 hangs from Bone2.
  node("Bone2")->addChildNode(node("Bone5"));
  node("Bone3")->removeFromParentNode();
  viewer().setRotation(1.5707964f);
  scene::Node toolNode;
  const float quarter = static_cast<float>(std::numbers::pi / 2);
  struct Case {
    bool stretching;
    float force;
    scene::Vector3 lastScale;
  } cases[] = {{true, 1, {1.4f, 1, 1}}, {true, 0, {1, 1, 1}}, {false, 1, {1, 1, 1}}};
  for (const auto& c : cases) {
    node("Bone5")->setScale({1, 1, 1});
    viewer().setStretching(c.stretching);
    viewer().updateOnTouch(toolNode, TouchInput({100, 80}, c.force, quarter, quarter));
    const BoneBend bend = boneBend(1.5707964f, c.force);
    for (const char* bone : {"Bone2", "Bone5"})
      EXPECT_EQ(node(bone)->eulerAngles(), scene::Vector3(bend.x, 0, bend.z)) << bone << " " << c.force;
    EXPECT_EQ(node("Bone5")->scale(), c.lastScale) << c.stretching << " " << c.force;
  }
  EXPECT_EQ(toolNode.eulerAngles(), scene::Vector3(0, 0, 0)) << "the thick viewer's tilt comes first";
}

}  // namespace
}  // namespace tessivarium
