#include <gtest/gtest.h>

#include "FatalStop.h"
#include "ui/Screen.h"

namespace {

using graphics::Rect;
using ui::Screen;

TEST(Screen, DefaultsToAPortrait1536By2048ScreenAtScale2) {
  EXPECT_EQ(Screen::main().nativeBounds(), Rect(0, 0, 1536, 2048));
  EXPECT_EQ(Screen::main().nativeScale(), 2.0);
  EXPECT_EQ(Screen::main().bounds(), Rect(0, 0, 768, 1024));
}

TEST(Screen, NativeBoundsAreSetBeforeFirstUse) {
  Screen::setMainNativeSize({2048, 2732}, 2.0);
  Screen::setMainNativeSize({2732, 2048}, 2.0);  // still unused: the last setting holds
  EXPECT_EQ(Screen::main().nativeBounds(), Rect(0, 0, 2732, 2048));
  EXPECT_EQ(Screen::main().bounds(), Rect(0, 0, 1366, 1024));
  EXPECT_FATAL(Screen::setMainNativeSize({1536, 2048}, 2.0),
               "The main screen's native bounds are set before its first use.");
  EXPECT_EQ(Screen::main().nativeBounds(), Rect(0, 0, 2732, 2048));
}

TEST(Screen, RefusesSizesAndScalesThatAreNotPositive) {
  EXPECT_FATAL(Screen::setMainNativeSize({0, 2048}, 2.0),
               "The main screen needs a positive, finite size and scale.");
  EXPECT_FATAL(Screen::setMainNativeSize({1536, 2048}, 0.0),
               "The main screen needs a positive, finite size and scale.");
}

}  // namespace
