#include <gtest/gtest.h>

#include "TempResourceRoot.h"
#include "foundation/Bundle.h"

namespace {

using foundation::Bundle;

TEST(Bundle, FindsResourcesByNameAndTypeAtTheRootAndBelow) {
  testsupport::TempResourceRoot root;
  const auto beep = root.write("Beep.mp3", "x");
  const auto scene = root.write("scenes/brush.dae", "<dae/>");
  EXPECT_EQ(Bundle::framework().pathForResource("Beep", "mp3"), beep);
  EXPECT_EQ(Bundle::main().pathForResource("brush", "dae"), scene);
  EXPECT_EQ(Bundle::main().pathForResource("brush.dae", ""), scene);
}

TEST(Bundle, MissingResourcesAreAbsent) {
  testsupport::TempResourceRoot root;
  root.write("Beep.mp3", "x");
  EXPECT_FALSE(Bundle::framework().pathForResource("Beep", "wav"));
  EXPECT_FALSE(Bundle::framework().pathForResource("Boop", "mp3"));
  EXPECT_FALSE(Bundle::framework().pathForResource("", "mp3"));
}

TEST(Bundle, ChangingTheRootChangesWhatIsFound) {
  testsupport::TempResourceRoot first;
  first.write("map.png", "a");
  {
    testsupport::TempResourceRoot second;
    EXPECT_FALSE(Bundle::main().pathForResource("map", "png"));
    second.write("map.png", "b");
    EXPECT_EQ(Bundle::main().pathForResource("map", "png"), second.path() / "map.png");
  }
  EXPECT_EQ(Bundle::main().pathForResource("map", "png"), first.path() / "map.png");
}

TEST(Bundle, AMissingRootFindsNothing) {
  Bundle::main().setRoot("/nonexistent/tessivarium");
  EXPECT_FALSE(Bundle::main().pathForResource("anything", "png"));
}

TEST(Bundle, DefaultRootIsTheProjectResourcesFolder) {
  EXPECT_EQ(Bundle::defaultRoot().filename(), "resources");
}

}  // namespace
