// A whole tube stroke on a real canvas: the paint it leaves, its replay from the record, and undo.

#include <gtest/gtest.h>

#include <any>

#include "DropToolFixture.h"
#include "commands/Command.h"
#include "commands/CommandData.h"
#include "commands/CommandManager.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolSurface.h"

namespace droptest {
namespace {

using TubeStroke = DropToolTest;

TEST_F(TubeStroke, ATubeStrokeLaysItsColourWithReliefReplaysToTheSameBytesAndUndoes) {
  const auto& tube = AppManager().tube();
  tube->setColor(graphics::Color::fromRGBA(0.2, 0.4, 0.8, 1));
  const auto before = layerBytes(layer());
  stroke({{{100, 60}, {104, 62}}, {{110, 65}, {118, 70}}, {{125, 76}}, {{131, 80}}});
  const auto after = layerBytes(layer());

  // Dry paint of the colour along the path (the main canvas lays it dry), none far from it.
  const auto dry = TextureUtil::toRawData(*layer().dryTexture());
  const auto dryAt = [&](int x, int y, int c) { return dry[(static_cast<std::size_t>(y) * 300 + x) * 4 + c]; };
  for (auto [x, y] : {std::pair{100, 60}, {118, 70}, {131, 80}}) {
    EXPECT_EQ(dryAt(x, y, 0), 51) << x << "," << y;
    EXPECT_EQ(dryAt(x, y, 2), 204);
    EXPECT_GT(dryAt(x, y, 3), 10);
  }
  EXPECT_EQ(dryAt(20, 150, 3), 0);
  // The last window (at the layer's corner) composed a height that stands higher on the path.
  const auto height = TextureUtil::toRawData(*AppManager().surfaceTextures().renderingTexture());
  EXPECT_GT(height[(80 * 256 + 131) * 4], height[(150 * 256 + 20) * 4]);
  const auto& step = AppManager().tube()->command();
  ASSERT_TRUE(step);
  std::size_t recorded = 0;
  for (const auto& batch : step->data()) recorded += batch->touchInputs().size();
  EXPECT_EQ(recorded, 6u) << "every sample drawn is in the record";

  // The record replayed on a fresh canvas gives the very same layer, also once another tool has
  // loaded a window over the working textures.
  const Command record = *step;
  auto live = canvas;
  canvas = start(testsupport::makeCanvas(300, 200));
  Command replayed = record;
  tube->execute(replayed, nullptr);
  EXPECT_EQ(layerBytes(layer()), after);
  EXPECT_EQ(tube->color(), graphics::Color::fromRGBA(0.2, 0.4, 0.8, 1));
  AppManager().setCurrentTool(AppManager().sprayer());
  AppManager().sprayer()->setTouchInputs({sample(250, 150)});
  AppManager().sprayer()->interactiveDraw(*canvas, nullptr);
  EXPECT_EQ(layerBytes(layer()), after);

  ASSERT_TRUE(live->commandManager()->undo());
  EXPECT_EQ(layerBytes(*live->currentContent()), before);
}

// A recorded batch without samples (a host's, or one whose samples are all missing) paints nothing
// and leaves the open window as it is: the batches after it land where they would without it.
TEST_F(TubeStroke, AReplayedBatchWithoutSamplesLeavesTheWindowWhereItIs) {
  const auto& tube = AppManager().tube();
  const auto batch = [](TouchInputs samples) {
    const CommandData::ToolData white{{"color", std::any(graphics::Color::white())}};
    return std::make_shared<CommandData>(std::move(samples), white);
  };
  // The first batch opens a window at the layer's right edge; the last one still fits in it.
  const auto replay = [&](bool withGap) {
    canvas = start(testsupport::makeCanvas(300, 200));
    Command command(ToolType::tube, foundation::Date::now());
    command.data() = {batch({sample(250, 150), sample(254, 152)}), batch({sample(120, 100), sample(124, 101)})};
    if (withGap) command.data().insert(command.data().begin() + 1, {batch({}), batch({nullptr})});
    tube->execute(command, nullptr);
    return layerBytes(layer());
  };
  EXPECT_EQ(replay(true), replay(false));
}

}  // namespace
}  // namespace droptest
