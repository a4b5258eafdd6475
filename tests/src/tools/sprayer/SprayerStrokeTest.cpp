// Whole strokes of the drop tools on a masked canvas: they complete, the masked cells keep their
// bytes whether the paint is laid wet (the sprayer) or dry (the tube), and the shared mask pass
// binds no record another tool left on it.

#include <gtest/gtest.h>

#include "DropToolFixture.h"
#include "gpu/Device.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModelPasses.h"

namespace droptest {
namespace {

using SprayerStroke = DropToolTest;

TEST_F(SprayerStroke, DropStrokesCompleteAndKeepOffTheMaskedCells) {
  maskLeftOf(150);
  const std::shared_ptr<AbstractDropTool> tools[] = {AppManager().sprayer(), AppManager().tube()};
  for (const auto& tool : tools) {
    SCOPED_TRACE(describe(tool->toolType()));
    AppManager().setCurrentTool(tool);
    tool->setColor(graphics::Color::fromRGBA(0.8, 0.2, 0.1, 1));
    DAEEncoders().getMasker()->setDescriptorBuffer(AppManager().device()->makeBuffer(180));
    const auto before = TextureUtil::toRawData(*layer().wetTexture()), dryBefore = TextureUtil::toRawData(*layer().dryTexture());
    stroke({{{120, 100}, {130, 101}}, {{140, 102}, {150, 103}}, {{160, 104}, {170, 105}}, {{180, 106}}});
    const auto wet = TextureUtil::toRawData(*layer().wetTexture()), dry = TextureUtil::toRawData(*layer().dryTexture());
    std::size_t maskedChanged = 0, painted = 0;
    for (std::size_t i = 0; i < wet.size(); i += 4) {
      const bool changed = wet[i + 3] != before[i + 3] || dry[i + 3] != dryBefore[i + 3];
      ((i / 4) % 300 < 150 ? maskedChanged : painted) += changed;
    }
    EXPECT_EQ(maskedChanged, 0u);
    EXPECT_GT(painted, 20u);
    EXPECT_FALSE(DAEEncoders().getMasker()->descriptorBuffer());
  }
}

}  // namespace
}  // namespace droptest
