#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "FatalStop.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"

namespace {

TEST(ConsoleAndFatal, CaptureReceivesLinesInOrderAndRestoresThePreviousSink) {
  testsupport::ConsoleCapture outer;
  {
    testsupport::ConsoleCapture inner;
    foundation::consoleLine("first");
    foundation::consoleLine("second");
    EXPECT_EQ(inner.lines(), (std::vector<std::string>{"first", "second"}));
  }
  foundation::consoleLine("after");
  EXPECT_EQ(outer.lines(), (std::vector<std::string>{"after"}));
  EXPECT_EQ(outer.linesStartingWith("af").size(), 1u);
}

TEST(ConsoleAndFatal, StopInsideATestReportsItsMessage) {
  EXPECT_FATAL(foundation::fatalError("Not same size"), "Not same size");
  EXPECT_FATAL_CONTAINING(foundation::fatalError("no kernel named foo"), "foo");
}

TEST(ConsoleAndFatalDeathTest, DefaultStopPrintsTheMessageAndAborts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        foundation::setFatalHandler({});
        foundation::fatalError("should be implemented in subclass");
      },
      "Fatal error: should be implemented in subclass");
}

TEST(ConsoleAndFatalDeathTest, AHandlerThatReturnsStillStops) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        foundation::setFatalHandler([](std::string_view) {});
        foundation::fatalError("returned");
      },
      "Fatal error: returned");
}

}  // namespace
