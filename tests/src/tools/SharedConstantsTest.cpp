#include <gtest/gtest.h>

#include "Artwork.h"
#include "tools/DebugSwitches.h"
#include "tools/ApplicationManager.h"

namespace {

using namespace tessivarium;

TEST(SharedConstants, WorkingRegionGeometryAndDefaults) {
  EXPECT_EQ(MAC_HALF_WIDTH, 128);
  EXPECT_EQ(MAC_WIDTH, 256);
  EXPECT_EQ(MAC_DEPTH, 32);
  EXPECT_DOUBLE_EQ(MAC_BORDER, 73.6);
  EXPECT_EQ(ORIGIN0, (gpu::Origin{0, 0, 0}));
  EXPECT_EQ(MainPaintId, 0u);
  EXPECT_EQ(static_cast<int>(DefaultPixelFormat), 70);
}

TEST(SharedConstants, DebugSwitchesStartAsShippedAndAreRestoredBetweenTests) {
  EXPECT_EQ(DEBUG_DAE_KNIFE, KnifeDebugMode::Height);
  EXPECT_FALSE(DEBUG_CFD || DEBUG_HEIGHT || TOTAL_HEIGHT);
  DEBUG_DAE_KNIFE = KnifeDebugMode::None;
  DEBUG_CFD = true;
  resetDebugSwitches();
  EXPECT_EQ(DEBUG_DAE_KNIFE, KnifeDebugMode::Height);
  EXPECT_FALSE(DEBUG_CFD);
}

}  // namespace
