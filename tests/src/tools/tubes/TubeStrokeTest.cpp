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

// The paint a layer holds, wet and dry: the columns from `first` to `last` holding any, and the
// thickness bytes in all.
struct PaintLaid {
  std::size_t columns = 0;
  std::int64_t amount = 0;
};
PaintLaid paintLaid(ArtworkTextures& layer, std::size_t first, std::size_t last) {
  const auto wet = TextureUtil::toRawData(*layer.wetTexture()), dry = TextureUtil::toRawData(*layer.dryTexture());
  const std::size_t width = layer.wetTexture()->width();
  std::vector<bool> painted(width, false);
  PaintLaid out;
  for (std::size_t k = 3; k < wet.size(); k += 4) {
    out.amount += wet[k] + dry[k];
    if (wet[k] + dry[k] > 0) painted[(k / 4) % width] = true;
  }
  for (std::size_t x = first; x <= last; ++x) out.columns += painted[x];
  return out;
}

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

// One path along x = 100 to 430, drawn four samples a frame with samples 2 points apart or 30 (a
// quick stroke, sparse pen data): either way one unbroken line, and as much paint, which the path's
// length and force set, whichever samples carry it and wherever the frames join.
TEST_F(TubeStroke, AStrokeStaysOneLineAndLaysAsMuchPaintHoweverSparselyItIsSampled) {
  withholdDrawables();
  const auto& tube = AppManager().tube();
  const struct {
    bool wet;
    float firstForce, lastForce;
  } cases[] = {{false, 1.0f, 1.0f}, {true, 1.0f, 1.0f}, {true, 0.2f, 1.0f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.wet ? "wet" : "dry") << " force " << c.firstForce << " to " << c.lastForce);
    PaintLaid laid[2];
    for (const int spacing : {2, 30}) {
      canvas = start(testsupport::makeCanvas(600, 200));
      tube->setWetDrawing(c.wet);
      TouchInputs path;
      for (int x = 100; x <= 430; x += spacing) {
        const float along = static_cast<float>(x - 100) / 330.0f;
        path.push_back(sample(x, 100, c.firstForce + (c.lastForce - c.firstForce) * along));
      }
      drawThrough(*tube, path, 4);
      laid[spacing == 30] = paintLaid(layer(), 100, 430);
    }
    EXPECT_GE(laid[1].columns, 315u) << "95% of the 331 columns";
    EXPECT_NEAR(static_cast<double>(laid[1].amount), static_cast<double>(laid[0].amount), 0.05 * laid[0].amount);
  }
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
