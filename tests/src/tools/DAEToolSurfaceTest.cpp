// The pass list of a tool-model stroke surface, by debug switch.

#include "tools/DAEToolSurface.h"

#include <gtest/gtest.h>

#include "FakeCanvas.h"
#include "FakeTool.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEPainting.h"
#include "tools/DAEPaintingShow.h"
#include "tools/DebugSwitches.h"

namespace tessivarium {
namespace {

TEST(DAEToolSurface, PaintsEachStepAndShowsTheHeightsWhileDebuggingAsksForThem) {
  auto canvas = std::make_shared<testsupport::FakeCanvas>(MainPaintId, 896, 500);
  AppManager().setCanvas(canvas);
  AppManager().setCurrentPaint(canvas);
  testsupport::FakeTool tool(ToolType::knife2), twin(ToolType::knife2);
  const std::pair<KnifeDebugMode, std::size_t> cases[] = {{KnifeDebugMode::Height, 2},
                                                         {KnifeDebugMode::Complete, 2},
                                                         {KnifeDebugMode::None, 1},
                                                         {KnifeDebugMode::Trace, 1}};
  for (const auto& [mode, passes] : cases) {
    DEBUG_DAE_KNIFE = mode;
    DAEToolSurface surface(tool);
    auto& list = surface.initEncoders();
    ASSERT_EQ(list.size(), passes) << static_cast<int>(mode);
    EXPECT_TRUE(std::dynamic_pointer_cast<DAEPainting>(list[0]));
    if (passes == 2) {
      EXPECT_TRUE(std::dynamic_pointer_cast<DAEPaintingShow>(list[1]));
    }
    EXPECT_TRUE(surface.encoders().empty());
    EXPECT_TRUE(surface.endEncoders().empty());
  }

  // Each surface makes its own composites, also for two tools of one kind.
  DEBUG_DAE_KNIFE = KnifeDebugMode::Height;
  DAEToolSurface first(tool), second(twin);
  EXPECT_NE(first.initEncoders()[0], second.initEncoders()[0]);
  EXPECT_NE(first.initEncoders()[1], second.initEncoders()[1]);
}

}  // namespace
}  // namespace tessivarium
