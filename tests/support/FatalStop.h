#pragma once
// Fatal stops inside tests throw FatalStop instead of aborting; the test main installs the handler
// before every test, so EXPECT_FATAL(statement, "message") can assert the message.

#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

namespace testsupport {

class FatalStop : public std::runtime_error {
 public:
  explicit FatalStop(const std::string& message) : std::runtime_error(message) {}
};

// Installs the throwing handler (done for every test by the test main).
void installThrowingFatalHandler();

}  // namespace testsupport

// Expects `statement` to stop fatally with exactly `message`.
#define EXPECT_FATAL(statement, message)                                              \
  do {                                                                                \
    try {                                                                             \
      statement;                                                                      \
      ADD_FAILURE() << "expected a fatal stop: " << (message);                        \
    } catch (const ::testsupport::FatalStop& stop) {                                  \
      EXPECT_EQ(std::string(stop.what()), std::string(message));                      \
    }                                                                                 \
  } while (false)

// Expects `statement` to stop fatally with a message containing `fragment`.
#define EXPECT_FATAL_CONTAINING(statement, fragment)                                  \
  do {                                                                                \
    try {                                                                             \
      statement;                                                                      \
      ADD_FAILURE() << "expected a fatal stop containing: " << (fragment);            \
    } catch (const ::testsupport::FatalStop& stop) {                                  \
      EXPECT_NE(std::string(stop.what()).find(fragment), std::string::npos)           \
          << "message was: " << stop.what();                                          \
    }                                                                                 \
  } while (false)
