// What Scene::load checks before the COLLADA reader sees a file: the corpus of shapes that used to
// crash the reader, and the stated limits at and just past their edges.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SceneTestSupport.h"
#include "TempResourceRoot.h"
#include "scene/ColladaCheck.h"
#include "scene/Scene.h"

namespace {

using scene::Scene;
using scenetest::loadError;

// A scene of `depth` nodes, each inside the one before.
std::string nestedScene(std::size_t depth) {
  std::string text =
      "<?xml version=\"1.0\"?>\n<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">"
      "<asset><up_axis>Y_UP</up_axis></asset><library_visual_scenes><visual_scene id=\"S\">";
  for (std::size_t i = 0; i < depth; ++i) text += "<node id=\"n" + std::to_string(i) + "\">";
  for (std::size_t i = 0; i < depth; ++i) text += "</node>";
  return text + "</visual_scene></library_visual_scenes><scene><instance_visual_scene url=\"#S\"/></scene></COLLADA>";
}

TEST(SceneFileCheck, EveryShapeOfTheCorpusIsRefusedCleanly) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(TESS_SCENE_CORPUS_DIR)) files.push_back(entry.path());
  EXPECT_GE(files.size(), 20u) << "fuzz/corpus/scene is missing files";
  for (const auto& file : files) {
    const std::string message = loadError(file);
    EXPECT_NE(message, "") << file.filename() << " loaded";
    EXPECT_EQ(message.rfind("scene file \"" + file.string() + "\": ", 0), 0u) << message;
  }
}

TEST(SceneFileCheck, NestingIsRefusedPastItsLimits) {
  testsupport::TempResourceRoot temp;
  struct Case {
    std::size_t depth;
    const char* reason;  // "" for a scene that loads
  } cases[] = {
      {scene::kDeepestNodeNesting, ""},
      {scene::kDeepestNodeNesting + 1, "nodes are nested deeper than 128 levels"},
      {4000, "elements are nested deeper than 256 levels"},  // 200 KB that once overflowed the stack
  };
  for (const Case& c : cases) {
    const std::string message = loadError(temp.write("nested.dae", nestedScene(c.depth)));
    if (*c.reason == '\0') {
      EXPECT_EQ(message, "") << c.depth;
    } else {
      EXPECT_NE(message.find(c.reason), std::string::npos) << c.depth << ": " << message;
    }
  }
  const auto loaded = Scene::load(temp.write("nested.dae", nestedScene(scene::kDeepestNodeNesting)));
  EXPECT_TRUE(loaded->rootNode()->childNode("n127", true));
}

TEST(SceneFileCheck, FilesAreRefusedBySizeAndByLookBeforeTheyAreParsed) {
  testsupport::TempResourceRoot temp;
  const auto big = temp.write("big.dae", nestedScene(1));
  std::filesystem::resize_file(big, scene::kLargestSceneFile + 1);  // sparse: nothing written
  EXPECT_NE(loadError(big).find("more than the 16777216 a scene file may have"), std::string::npos);

  // A COLLADA document under another name is checked all the same; other files are not read.
  const std::string broken = nestedScene(1).replace(nestedScene(1).find("<node"), 0,
                                                     "<node id=\"L\"><instance_node url=\"#L\"/></node>");
  EXPECT_NE(loadError(temp.write("scene.xml", broken)).find("cycle through <node> \"L\""), std::string::npos);
  EXPECT_NE(loadError(temp.write("scene.xml", "<!DOCTYPE x [<!ENTITY e \"1\">]>\n<COLLADA/>")).find(
                "document type declaration"),
            std::string::npos);
  EXPECT_NE(loadError(temp.write("mesh.txt", "v 0 0 0\n")).find("not a COLLADA file"), std::string::npos);
}

}  // namespace
