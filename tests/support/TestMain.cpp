// The main of every test executable: each test starts from fresh globals.

#include <gtest/gtest.h>

#include "Globals.h"

namespace {

class FreshGlobals : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { testsupport::resetGlobals(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshGlobals);
  return RUN_ALL_TESTS();
}
