#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "SceneTestSupport.h"
#include "TempResourceRoot.h"
#include "scene/Camera.h"
#include "scene/Geometry.h"
#include "scene/Scene.h"
#include "scene/SceneError.h"
#include "scene/View.h"

namespace {

using scene::Node;
using scene::Scene;
using scene::Vector3;
using scene::View;
using scenetest::expectNear;
using scenetest::kPi;
using scenetest::loadError;

const std::filesystem::path kTestScene = std::filesystem::path(TESS_SCENE_TEST_DIR) / "TestScene.dae";

std::string testSceneText() {
  std::ifstream in(kTestScene);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(SceneLoad, TheTestSceneKeepsNamesOrderTransformsAndMesh) {
  const auto loaded = Scene::load(kTestScene);
  const auto& root = *loaded->rootNode();
  ASSERT_EQ(root.childNodes().size(), 2u);
  const auto& tool = root.childNodes()[0];
  const auto& base = root.childNodes()[1];
  EXPECT_EQ(tool->name(), "Tool");
  EXPECT_EQ(base->name(), "Base");
  EXPECT_EQ(tool->parent(), &root);

  expectNear(tool->position(), {0, 1, 0});
  expectNear(tool->eulerAngles(), {0, kPi / 2, 0});
  expectNear(tool->scale(), {2, 2, 2});
  expectNear(base->position(), {3, 0, -2});
  expectNear(base->eulerAngles(), {10 * kPi / 180, 20 * kPi / 180, 30 * kPi / 180});
  expectNear(base->scale(), {1, 0.5f, 3});

  // Markers found recursively, at the world positions worked out from the file by hand.
  const auto top = root.childNode("MarkTop", true);
  const auto down = root.childNode("MarkDown", true);
  const auto left = root.childNode("MarkLeft", true);
  ASSERT_TRUE(top && down && left);
  expectNear(top->worldPosition(), {0, 2.5f, 0});
  expectNear(down->worldPosition(), {0, 1.5f, 0});
  expectNear(left->worldPosition(), {0, 1, 2});
  // Node names are the COLLADA names, else the ids, else empty.
  ASSERT_EQ(base->childNodes().size(), 3u);
  EXPECT_EQ(base->childNodes()[0]->name(), "Knob");
  EXPECT_EQ(base->childNodes()[1]->name(), "Socket");
  EXPECT_EQ(base->childNodes()[2]->name(), "");
  EXPECT_FALSE(root.childNode("Base-Knob-id", true));
  expectNear(root.childNode("Knob", true)->position(), {0.5f, 0, 0});
  expectNear(base->childNodes()[2]->position(), {0, 0, 2});

  // The head's quad: two triangles over six vertices with their normals and material.
  const auto head = root.childNode("Head", true);
  ASSERT_TRUE(head && head->geometry());
  const auto& geometry = *head->geometry();
  EXPECT_FALSE(tool->geometry());
  ASSERT_EQ(geometry.elements().size(), 1u);
  const auto& element = *geometry.elements()[0];
  EXPECT_EQ(element.primitiveCount(), 2u);
  EXPECT_EQ(element.bytesPerIndex(), 4u);
  const auto vertices = geometry.sources(scene::GeometrySemantic::vertex);
  const auto normals = geometry.sources(scene::GeometrySemantic::normal);
  ASSERT_EQ(vertices.size(), 1u);
  ASSERT_EQ(normals.size(), 1u);
  EXPECT_TRUE(geometry.sources(scene::GeometrySemantic::color).empty());
  const Vector3 firstTriangle[] = {{-0.5f, 0, -0.25f}, {0.5f, 0, 0.25f}, {0.5f, 0, -0.25f}};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(vertices[0]->vector3At(element.indexAt(k)), firstTriangle[k]);
  }
  for (std::size_t i = 0; i < geometry.vertexCount(); ++i) {
    EXPECT_EQ(normals[0]->vector3At(i), Vector3(0, 1, 0));
  }
  const auto material = geometry.firstMaterial();
  ASSERT_TRUE(material);
  EXPECT_EQ(material->lightingModel(), scene::LightingModel::phong);
  ASSERT_TRUE(material->diffuse().color());
  EXPECT_EQ(*material->diffuse().color(), graphics::Color::fromRGBA(0.25, 0.5, 0.75, 1));
  EXPECT_FLOAT_EQ(material->shininess(), 0.4f);
}

TEST(SceneLoad, MarkersProjectThroughTheMeasuringChain) {
  // The loaded nodes moved under a content node (scale 0.5) under a tool node (scale 2, at
  // x = 0.5) in a 400 × 200 view whose orthographic camera sits at (0, 0, 5) with scale 1, so one
  // world unit is 100 points.
  View view({0, 0, 400, 200});
  view.setScene(Scene::make());
  auto cameraNode = Node::make();
  cameraNode->setCamera(scene::Camera::make());
  cameraNode->camera()->setUsesOrthographicProjection(true);
  cameraNode->setPosition({0, 0, 5});
  view.scene()->rootNode()->addChildNode(cameraNode);
  auto toolNode = Node::make(), content = Node::make();
  toolNode->setPosition({0.5f, 0, 0});
  toolNode->setScale({2, 2, 2});
  content->setScale({0.5f, 0.5f, 0.5f});
  view.scene()->rootNode()->addChildNode(toolNode);
  toolNode->addChildNode(content);
  const auto loaded = Scene::load(kTestScene);
  const auto children = loaded->rootNode()->childNodes();
  for (const auto& child : children) content->addChildNode(child);

  auto at = [&](const char* name) {
    return view.projectPoint(content->childNode(name, true)->worldPosition());
  };
  // Upright the tool axis runs up the view: MarkTop (y 2.5) above MarkDown (y 1.5).
  expectNear(at("MarkTop"), {250, -150, 4.0f / 99}, 1e-4f);
  expectNear(at("MarkDown"), {250, -50, 4.0f / 99}, 1e-4f);
  // Turned by x = π/2, local (x, y, z) goes to (x, −z, y): MarkLeft at (0, 1, 2) drops 2 units.
  toolNode->setEulerAngles({kPi / 2, 0, 0});
  expectNear(at("MarkTop"), {250, 100, 1.5f / 99}, 1e-4f);
  expectNear(at("MarkLeft"), {250, 300, 3.0f / 99}, 1e-4f);
}

TEST(SceneLoad, AnotherUpAxisAndUnitBecomeYUpMetres) {
  testsupport::TempResourceRoot temp;
  const std::string nodes =
      "<node id=\"Mark\" name=\"Mark\"><translate>0 0 100</translate>"
      "<node id=\"Inner\" name=\"Inner\"><translate>10 0 0</translate></node></node>";
  std::string text = replaced(testSceneText(), "<up_axis>Y_UP</up_axis>", "<up_axis>Z_UP</up_axis>");
  text = replaced(text, "meter=\"1\"", "meter=\"0.01\"");
  text = replaced(text, "<visual_scene id=\"TestScene\" name=\"TestScene\">",
                  "<visual_scene id=\"TestScene\" name=\"TestScene\">" + nodes);
  const auto loaded = Scene::load(temp.write("ZUp.dae", text));
  const auto mark = loaded->rootNode()->childNodes().at(0);
  EXPECT_EQ(mark->name(), "Mark");
  expectNear(mark->position(), {0, 1, 0});  // 100 cm up the z axis is 1 m up the y axis
  expectNear(mark->scale(), {0.01f, 0.01f, 0.01f});
  expectNear(mark->childNode("Inner", false)->worldPosition(), {0.1f, 1, 0});
  EXPECT_EQ(loaded->rootNode()->position(), Vector3(0, 0, 0));
  EXPECT_EQ(loaded->rootNode()->scale(), Vector3(1, 1, 1));
}

TEST(SceneLoad, MissingCorruptAndForeignFilesAreErrors) {
  testsupport::TempResourceRoot temp;
  const std::string text = testSceneText();
  const auto missing = temp.path() / "Missing.dae";
  EXPECT_EQ(loadError(missing), "scene file \"" + missing.string() + "\": no such file");
  EXPECT_EQ(loadError(temp.path()), "scene file \"" + temp.path().string() + "\": no such file");

  struct Case {
    const char* file;
    std::string contents;
    const char* reason;
  };
  const Case cases[] = {
      {"Truncated.dae", text.substr(0, text.size() / 2), "malformed XML"},
      {"Empty.dae", "", "malformed XML"},
      {"Garbage.dae", "hello 1 2 3", "malformed XML"},
      {"Hollow.dae", "<?xml version=\"1.0\"?><COLLADA version=\"1.4.1\"></COLLADA>", "came out empty"},
      {"Mesh.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", "not a COLLADA file"},
      {"Sheared.dae",
       replaced(text, "<translate>0 0.5 0</translate>",
                "<matrix>1 0.5 0 0 0 1 0 0 0 0 1 0 0 0 0 1</matrix>"),
       "node \"Head\" has a transform that is not a translation, rotation and scale"},
      {"Lines.dae",
       replaced(replaced(text, "<triangles material=\"HeadSymbol\" count=\"2\">",
                         "<lines material=\"HeadSymbol\" count=\"3\">"),
                "</triangles>", "</lines>"),
       "has point or line primitives"},
  };
  for (const Case& c : cases) {
    const std::string message = loadError(temp.write(c.file, c.contents));
    EXPECT_NE(message.find(c.reason), std::string::npos) << c.file << ": " << message;
    EXPECT_EQ(message.rfind("scene file \"", 0), 0u) << message;
  }
}

TEST(SceneLoad, EveryReadIsCounted) {
  EXPECT_EQ(Scene::loadCount(), 0u);
  Scene::load(kTestScene);
  loadError("/no/such/scene.dae");
  Scene::load(kTestScene);
  EXPECT_EQ(Scene::loadCount(), 3u);
}

}  // namespace
