#include "utils/DAEResourceManager.h"

#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "TempResourceRoot.h"
#include "foundation/Bundle.h"
#include "scene/Scene.h"

namespace tessivarium {
namespace {

const char* const kTinyScene = R"(<?xml version="1.0" encoding="utf-8"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
  <asset><unit name="meter" meter="1"/><up_axis>Y_UP</up_axis></asset>
  <library_visual_scenes>
    <visual_scene id="S" name="S"><node id="Only" name="Only"><translate>1 2 3</translate></node></visual_scene>
  </library_visual_scenes>
  <scene><instance_visual_scene url="#S"/></scene>
</COLLADA>
)";

TEST(DAEResourceManager, ReadsEachBundleAndNameOnce) {
  testsupport::TempResourceRoot first;
  first.write("Tiny.dae", kTinyScene);
  auto& bundle = foundation::Bundle::framework();

  const auto scene = DAECacheManager().getScene(bundle, "Tiny");
  ASSERT_TRUE(scene);
  EXPECT_EQ(scene->rootNode()->childNodes().at(0)->name(), "Only");
  EXPECT_EQ(DAECacheManager().getScene(bundle, "Tiny"), scene);
  EXPECT_EQ(scene::Scene::loadCount(), 1u);
  EXPECT_EQ(DAECacheManager().map().count(first.path().string() + "/Tiny"), 1u);

  // The same name in a bundle at another path is another scene.
  testsupport::TempResourceRoot second;
  second.write("Tiny.dae", kTinyScene);
  const auto other = DAECacheManager().getScene(bundle, "Tiny");
  ASSERT_TRUE(other);
  EXPECT_NE(other, scene);
  EXPECT_EQ(scene::Scene::loadCount(), 2u);
}

TEST(DAEResourceManager, MissingAndUnreadableFilesAreNotCached) {
  testsupport::TempResourceRoot root;
  root.write("Broken.dae", "<COLLADA><not closed");
  auto& bundle = foundation::Bundle::framework();
  testsupport::ConsoleCapture console;

  EXPECT_FALSE(DAECacheManager().getScene(bundle, "Absent"));
  EXPECT_FALSE(DAECacheManager().getScene(bundle, "Absent"));
  EXPECT_EQ(console.lines(), (std::vector<std::string>{"Absent isn't found", "Absent isn't found"}));
  EXPECT_EQ(scene::Scene::loadCount(), 0u);

  EXPECT_FALSE(DAECacheManager().getScene(bundle, "Broken"));
  EXPECT_FALSE(DAECacheManager().getScene(bundle, "Broken"));
  EXPECT_EQ(scene::Scene::loadCount(), 2u);
  EXPECT_EQ(console.lines().size(), 2u);
  EXPECT_TRUE(DAECacheManager().map().empty());

  // Mended on disk, the next call reads it.
  root.write("Broken.dae", kTinyScene);
  EXPECT_TRUE(DAECacheManager().getScene(bundle, "Broken"));
}

}  // namespace
}  // namespace tessivarium
