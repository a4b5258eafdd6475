// The knives' own rules: the altitude watermark, the dial's range, the passes the first knife
// warms for all six, and the forward-only pencil state of their paint and pickup passes.

#include <gtest/gtest.h>

#include <functional>
#include <numbers>

#include "BytesAt.h"
#include "ConsoleCapture.h"
#include "TestCanvas.h"
#include "gpu/Gpu.h"
#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEDialController.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModel.h"
#include "tools/DAEToolModelBlur.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/DefaultToolViewer.h"
#include "tools/SoloDAEToolController.h"
#include "tools/ToolSurface.h"
#include "tools/brushes/FlatBrushTools.h"
#include "tools/brushes/WideBrushTools.h"
#include "tools/knives/KnifeToolSurface.h"
#include "tools/knives/KnifeTools.h"
#include "tools/roller/RollerTool.h"
#include "utils/KernelInterface.h"

namespace tessivarium {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

class KnifeTool : public ::testing::Test {
 protected:
  KnifeTool() {
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
  }
  // Made current on the canvas, which enables it there.
  template <class Tool>
  std::shared_ptr<Tool> current() {
    auto tool = std::make_shared<Tool>();
    AppManager().setCurrentTool(tool);
    return tool;
  }

  testsupport::ConsoleCapture console;
  std::shared_ptr<testsupport::TestCanvas> canvas = testsupport::makeCanvas(300, 200);
};

// The altitudes as the kernels get them at BUFFER_ALTITUDE.
TEST_F(KnifeTool, AltitudesReachTheKernelsLoweredByTheWatermarkNeverBelowFlat) {
  const std::pair<float, float> cases[] = {
      {kPi / 2, kPi / 3}, {KnifeAltitude_WaterMark, 0}, {0.3f, 0}, {0, 0}, {kPi / 4, kPi / 4 - kPi / 6}};
  TouchInputs batch;
  for (const auto& c : cases) {
    batch.push_back(std::make_shared<TouchInput>(graphics::Point(100 + 0.5 * batch.size(), 80), 1.0f, c.first, 0.2f));
  }
  auto& surface = *current<Knife2Tool>()->toolSurface();
  surface.reset(batch);
  ASSERT_EQ(surface.altitudeBuffer()->length(), std::size(cases) * sizeof(float));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const float lowered = testsupport::at<float>(surface.altitudeBuffer()->contents(), i * 4);
    EXPECT_FLOAT_EQ(lowered, cases[i].second) << cases[i].first;
  }
  surface.reset({});
  EXPECT_TRUE(surface.touchInputData().altitudes().empty());
}

TEST_F(KnifeTool, TheFirstKnifeBuildsThePipelinesOfThePassesAllSixShare) {
  const auto first = current<Knife1Tool>();
  gpu::commandTrace().start();
  first->initialize();
  const auto builds = gpu::commandTrace().pipelineBuilds();
  const char* warmed[] = {"DAEToolModel_blur_image", "DAEToolModel_knife_paint", "DAEToolModel_knife_pickup",
                          "DAEToolModel_knife_fill"};
  ASSERT_GE(builds.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(builds[i].functionName, warmed[i]);
  gpu::commandTrace().start();
  const std::shared_ptr<AbstractKnifeTool> later[] = {current<Knife3Tool>(), current<Knife6Tool>()};
  auto& registry = DAEEncoders();
  for (const auto& knife : later) {
    knife->initialize();
    EXPECT_TRUE(knife->initialized());
    // Asked for by the knife's own type, its passes are the ones the first knife built.
    const ToolType type = knife->toolType();
    const std::shared_ptr<AbstractShaderUnit> own[] = {registry.getTextureBlur(type), registry.getPaintEncoder(type),
                                                       registry.getPickupEncoder(type), registry.getColorFillEncoder(type)};
    for (const auto& pass : own) pass->shaderPipelineState();
  }
  EXPECT_TRUE(gpu::commandTrace().pipelineBuilds().empty());
  gpu::commandTrace().stop();
}

TEST_F(KnifeTool, AKnifeNarrowsTheDialTheNextToolWithADialWidensAgain) {
  const struct {
    std::function<std::shared_ptr<AbstractDrawingTool>()> make;
    float min, max;
  } sequence[] = {{[] { return std::make_shared<Knife4Tool>(); }, -kPi / 2, kPi / 2},
                  {[] { return std::make_shared<FlatBrushTool>(); }, 0, 2 * kPi},
                  {[] { return std::make_shared<Knife1Tool>(); }, -kPi / 2, kPi / 2},
                  {[] { return std::make_shared<WideBrushTool>(); }, -kPi / 2, kPi / 2}};
  const auto& dial = *SOLO_DAE_TOOL_CONTROLLER();
  for (const auto& step : sequence) {
    const auto tool = step.make();
    AppManager().setCurrentTool(tool);
    tool->switchTo(*canvas);
    EXPECT_FLOAT_EQ(dial.minAngle(), step.min) << describe(tool->toolType());
    EXPECT_FLOAT_EQ(dial.maxAngle(), step.max) << describe(tool->toolType());
  }
}

// Byte 1 of the pencil state: for a knife 1 only while the stroke runs forward for the blade's
// rotation (the samples' azimuth is 0.2), for the roller always 1; every other byte 0.
TEST_F(KnifeTool, KnivesPaintAndPickUpOnlyForwardOfTheBlade) {
  auto& registry = DAEEncoders();
  const struct {
    std::shared_ptr<AbstractDrawingTool> tool;
    std::vector<std::shared_ptr<ToolEncoder>> passes;
  } tools[] = {{current<Knife5Tool>(), {registry.getPaintEncoder(ToolType::knife5), registry.getPickupEncoder(ToolType::knife5)}},
               {current<RollerTool>(), {registry.getPaintEncoder(ToolType::roller)}}};
  const struct {
    float rotation, dy;
    bool forward;
  } cases[] = {{1, -10, true}, {1, 10, false}, {-1, 10, true}, {-1, -10, false}, {0.1f, 10, true}};
  for (const auto& t : tools) {
    AppManager().setCurrentTool(t.tool);
    auto& viewer = static_cast<DefaultToolViewer&>(*t.tool->toolViewer());
    const SCNVector3 p(8, 8, 4);
    const auto head = std::make_shared<DAEToolDescriptorWrapper>(t.tool->toolType(), p, p, p, p, p, p, p, p, p, 6, 0, 1);
    viewer.setToolModel(std::make_shared<DAEToolModel>(viewer, 16, 16, 16, head));
    for (const auto& c : cases) {
      head->setRotation(c.rotation);
      TouchInputs stroke;
      for (int i = 0; i < 4; ++i) {
        stroke.push_back(std::make_shared<TouchInput>(graphics::Point(150 + i, 100 + c.dy * i), 1.0f, 1.2f, 0.2f));
      }
      t.tool->toolSurface()->reset(stroke);
      const bool forward = c.forward || !isKnife(t.tool->toolType());
      const std::vector<std::uint8_t> expected{0, static_cast<std::uint8_t>(forward ? 1 : 0), 0, 0, 0, 0, 0, 0};
      for (const auto& pass : t.passes) {
        gpu::commandTrace().start();
        pass->encode(*canvas, *AppManager().commandQueue()->makeCommandBuffer());
        const auto dispatch = gpu::commandTrace().dispatches().at(0);
        gpu::commandTrace().stop();
        EXPECT_EQ(dispatch.buffers.at(BUFFER_PENCIL_STATE).bytes, expected)
            << dispatch.kernelName << " rotation " << c.rotation << " dy " << c.dy;
      }
    }
  }
}

}  // namespace
}  // namespace tessivarium
