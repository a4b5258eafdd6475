// The drop tool base, through the tube: what a frame records, how a recorded stroke is replayed,
// the colour fill and the viewer's light.

#include <gtest/gtest.h>

#include <any>
#include <cmath>

#include "BytesAt.h"
#include "ConsoleCapture.h"
#include "DropToolFixture.h"
#include "RecordedErrors.h"
#include "commands/Command.h"
#include "commands/CommandData.h"
#include "commands/CommandManager.h"
#include "foundation/Clock.h"
#include "components/BrushView.h"
#include "scene/Light.h"
#include "scene/Node.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolSurface.h"
#include "utils/KernelInterface.h"

namespace droptest {
namespace {

using AbstractDropToolTest = DropToolTest;

const graphics::Color red = graphics::Color::fromRGBA(1, 0, 0, 1), blue = graphics::Color::fromRGBA(0, 0, 1, 1);

TouchInputs samples(std::size_t n, double x = 60) {
  TouchInputs out;
  for (std::size_t i = 0; i < n; ++i) out.push_back(sample(x + 3.0 * static_cast<double>(i), 70));
  return out;
}

// The colours the step passes received, one per step.
std::vector<gpu::float4> coloursPainted() {
  std::vector<gpu::float4> out;
  for (const auto& d : gpu::commandTrace().dispatches()) {
    if (d.kernelName != "mac_add_sphere") continue;
    out.push_back(testsupport::at<gpu::float4>(d.buffers.at(BUFFER_COLOR).bytes.data(), 0));
  }
  return out;
}

TEST_F(AbstractDropToolTest, EveryDrawnFrameRecordsOneBatchOfItsSamplesAndColour) {
  withholdDrawables();
  auto& tube = *AppManager().tube();
  const struct {
    const char* what;
    std::size_t pending;
    bool busy, command;
    std::size_t recorded, commits;
  } cases[] = {{"a frame", 2, false, true, 1, 1},
               {"no samples", 0, false, true, 0, 0},
               {"a frame in flight", 2, true, true, 0, 0},
               {"no command", 2, false, false, 0, 1}};
  for (const auto& c : cases) {
    const auto command = c.command ? std::make_shared<Command>(ToolType::tube, foundation::Date::now()) : nullptr;
    tube.setCommand(command);
    const TouchInputs pending = samples(c.pending);
    tube.setTouchInputs(pending);
    tube.setIsBusy(c.busy);
    gpu::commandTrace().start();
    tube.interactiveDraw(*canvas, nullptr);
    EXPECT_EQ(gpu::commandTrace().commits().size(), c.commits) << c.what;
    if (command) {
      ASSERT_EQ(command->data().size(), c.recorded) << c.what;
      if (c.recorded) {
        EXPECT_EQ(command->data()[0]->touchInputs(), pending) << c.what;
      }
    }
    tube.setIsBusy(false);
  }
  // A colour change shows in the later batches only.
  const auto command = std::make_shared<Command>(ToolType::tube, foundation::Date::now());
  tube.setCommand(command);
  for (const auto& colour : {red, blue}) {
    tube.setColor(colour);
    tube.setTouchInputs(samples(1));
    tube.interactiveDraw(*canvas, nullptr);
  }
  ASSERT_EQ(command->data().size(), 2u);
  EXPECT_EQ(std::any_cast<graphics::Color>(command->data()[0]->toolData()->at("color")), red);
  EXPECT_EQ(std::any_cast<graphics::Color>(command->data()[1]->toolData()->at("color")), blue);
}

TEST_F(AbstractDropToolTest, AReplayPaintsEachBatchInItsColourOnTheGivenOrItsOwnBufferAndRestoresTheTool) {
  auto& tube = *AppManager().tube();
  Command command(ToolType::tube, foundation::Date::now());
  // A batch with no colour, or something else under "color", keeps the colour before it; a missing
  // sample is left out.
  TouchInputs withGap = samples(1, 90);
  withGap.push_back(nullptr);
  command.data() = {std::make_shared<CommandData>(samples(2), CommandData::ToolData{{"color", std::any(blue)}}),
                    std::make_shared<CommandData>(withGap, std::nullopt),
                    std::make_shared<CommandData>(samples(1, 120), CommandData::ToolData{{"color", std::any(7)}})};
  Command empty(ToolType::tube, foundation::Date::now());
  const struct {
    Command* command;
    bool ownBuffer;
    std::size_t steps, commits;
  } cases[] = {{&command, false, 3, 0}, {&command, true, 3, 1}, {&empty, true, 0, 1}};
  for (const auto& c : cases) {
    tube.setColor(red);
    tube.setTouchInputs(samples(1, 200));
    const auto given = c.ownBuffer ? nullptr : AppManager().commandQueue()->makeCommandBuffer();
    gpu::commandTrace().start();
    tube.execute(*c.command, given);
    const auto colours = coloursPainted();
    ASSERT_EQ(colours.size(), c.steps);
    for (const auto& colour : colours) EXPECT_EQ(colour, (gpu::float4{0, 0, 1, 1}));
    EXPECT_EQ(gpu::commandTrace().commits().size(), c.commits);
    EXPECT_EQ(gpu::commandTrace().waits().size(), c.commits);
    EXPECT_EQ(tube.color(), red);
    EXPECT_EQ(tube.touchInputs().size(), 1u) << "the pending samples stay";
    EXPECT_FALSE(tube.toolSurface()->origin()) << "the last window is written back and forgotten";
  }
  // A tool that is not the current one replays nothing.
  AppManager().setCurrentTool(AppManager().sprayer());
  testsupport::ConsoleCapture console;
  gpu::commandTrace().start();
  tube.execute(command, nullptr);
  EXPECT_TRUE(gpu::commandTrace().events().empty());
  EXPECT_EQ(console.lines(), std::vector<std::string>{"tube: not the current tool; the stroke is not replayed"});
}

// Strokes of 4 samples a frame whose last samples are still pending at the stroke's end (3, 1 and
// 1 of them): the record holds every sample drawn, and replayed on a cleared layer it paints the
// same bytes as the stroke did.
TEST_F(AbstractDropToolTest, AReplayedRecordPaintsTheWholeStrokeItsLastSamplesIncluded) {
  withholdDrawables();
  const std::shared_ptr<AbstractDropTool> tools[] = {AppManager().tube(), AppManager().sprayer()};
  for (const auto& tool : tools) {
    for (const std::size_t count : {7u, 9u, 13u}) {
      SCOPED_TRACE(testing::Message() << describe(tool->toolType()) << ", " << count << " samples");
      TouchInputs path;
      for (std::size_t i = 0; i < count; ++i) path.push_back(sample(60 + 11.0 * i, 70 + 5.0 * i));
      canvas = start(testsupport::makeCanvas(300, 200));
      AppManager().setCurrentTool(tool);
      drawThrough(*tool, path, 4);
      const auto stroke = layerBytes(layer());
      std::size_t recorded = 0;
      for (const auto& batch : tool->command()->data()) recorded += batch->touchInputs().size();
      EXPECT_EQ(recorded, count);

      canvas = start(testsupport::makeCanvas(300, 200));
      AppManager().setCurrentTool(tool);
      tool->execute(*tool->command(), nullptr);
      EXPECT_EQ(layerBytes(layer()), stroke);
    }
  }
}

// A replay while texture memory is short, failing at each texture request it makes in turn (the
// working textures given back before it, so it needs them all again): the host hears NoMoreHeap,
// the layer is as it was, and the stroke before it still undoes and redoes.
TEST_F(AbstractDropToolTest, AReplayShortOfTextureMemoryIsReportedAndChangesNothing) {
  auto& tube = *AppManager().tube();
  std::size_t requests = 0;  // those of a replay that has all it asks for, counted first
  for (std::size_t failing = 0; failing == 0 || failing <= requests; ++failing) {
    SCOPED_TRACE(failing);
    canvas = start(testsupport::makeCanvas(300, 200));
    const auto blank = layerBytes(layer());
    stroke({{{100, 60}, {110, 65}}, {{125, 76}}});
    const auto painted = layerBytes(layer());
    Command record = *tube.command();
    const auto errors = std::make_shared<testsupport::RecordedErrors>();
    Application().setDelegateHandler(errors);
    AppManager().setSurfaceTextures(std::make_shared<SurfaceWorkingTextures>());
    const std::size_t before = gpu::testControls().textureRequests();
    if (failing > 0) gpu::testControls().failTextureRequest(failing);
    tube.execute(record, nullptr);
    if (failing == 0) {
      requests = gpu::testControls().textureRequests() - before;
      ASSERT_GT(requests, 0u);
      continue;
    }
    EXPECT_EQ(errors->errors, std::vector<ErrorMessage>{ErrorMessage::NoMoreHeap});
    EXPECT_EQ(layerBytes(layer()), painted);
    ASSERT_TRUE(canvas->commandManager()->undo());
    EXPECT_EQ(layerBytes(layer()), blank);
    ASSERT_TRUE(canvas->commandManager()->redo());
    EXPECT_EQ(layerBytes(layer()), painted);
  }
}

TEST_F(AbstractDropToolTest, AColourFillTakesTheWetnessIntoTheAlphaAndLightsTheBrushView) {
  auto& tube = *AppManager().tube();
  const auto& light = canvas->brushView()->lightNode()->light();
  ASSERT_TRUE(light);
  tube.fillColor(blue, 1.0f, std::nullopt);
  EXPECT_EQ(tube.color(), blue);
  EXPECT_EQ(light->color(), blue);
  // Without a wetness the alpha is the wetness, never below the first level (alpha 0 lays fully wet).
  for (const double alpha : {0.0, 1.0 / 255, std::nan("")}) {
    tube.fillColor(blue.withAlpha(alpha), 1.0f, std::nullopt);
    EXPECT_EQ(tube.color(), blue.withAlpha(4.0 / 255.0)) << alpha;
  }
  tube.fillColor(red, 1.0f, 0.5f);
  EXPECT_EQ(tube.color(), graphics::Color::fromRGBA(1, 0, 0, 124.0 / 255.0));
  light->setColor(graphics::Color::white());
  tube.attachViewer();
  EXPECT_EQ(light->color(), tube.color()) << "attaching lights the view in the tool's colour";

  const auto errors = std::make_shared<testsupport::RecordedErrors>();
  Application().setDelegateHandler(errors);
  tube.setCanFillColor(false);
  tube.fillColor(blue, 1.0f, std::nullopt);
  EXPECT_EQ(tube.color(), graphics::Color::fromRGBA(1, 0, 0, 124.0 / 255.0));
  EXPECT_EQ(errors->errors, std::vector<ErrorMessage>{ErrorMessage::CannotFillColor});
}

}  // namespace
}  // namespace droptest
