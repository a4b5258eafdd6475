// The knives' own rules: the six knives and their scenes, the altitude watermark, the dial's range,
// the shared passes and the forward-only pencil state.

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
#include "tools/SoloDAEToolController.h"
#include "tools/ToolSurface.h"
#include "tools/knives/KnifeToolSurface.h"
#include "tools/knives/KnifeToolViewer.h"
#include "tools/knives/KnifeTools.h"
#include "utils/KernelInterface.h"

namespace tessivarium {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

class KnifeTest : public ::testing::Test {
 protected:
  KnifeTest() {
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
  }

  // A knife made current on the canvas (which enables it there).
  template <class Knife>
  std::shared_ptr<Knife> current() {
    auto knife = std::make_shared<Knife>();
    AppManager().setCurrentTool(knife);
    return knife;
  }

  // `count` samples from (x, y), each `step` points on, for the stroke surface.
  static TouchInputs stroke(double x, double y, graphics::Point step, int count, float altitude = 1.2f) {
    TouchInputs samples;
    for (int i = 0; i < count; ++i) {
      samples.push_back(std::make_shared<TouchInput>(graphics::Point(x + step.x * i, y + step.y * i), 1.0f, altitude, 0.2f));
    }
    return samples;
  }

  testsupport::ConsoleCapture console;
  std::shared_ptr<testsupport::TestCanvas> canvas = testsupport::makeCanvas(300, 200);
};

TEST_F(KnifeTest, EachKnifeIsItsTypeOnItsOwnSceneWithTheKnifeSettings) {
  const struct {
    std::function<std::shared_ptr<AbstractKnifeTool>()> make;
    ToolType type;
    const char* scene;
  } knives[] = {{[] { return std::make_shared<Knife1Tool>(); }, ToolType::knife1, "KnifeTool1"},
                {[] { return std::make_shared<Knife2Tool>(); }, ToolType::knife2, "KnifeTool2"},
                {[] { return std::make_shared<Knife3Tool>(); }, ToolType::knife3, "KnifeTool3"},
                {[] { return std::make_shared<Knife4Tool>(); }, ToolType::knife4, "KnifeTool4"},
                {[] { return std::make_shared<Knife5Tool>(); }, ToolType::knife5, "KnifeTool5"},
                {[] { return std::make_shared<Knife6Tool>(); }, ToolType::knife6, "KnifeTool6"}};
  for (const auto& k : knives) {
    const auto knife = k.make();
    EXPECT_EQ(knife->toolType(), k.type) << k.scene;
    EXPECT_TRUE(knife->canWetDrawing() && knife->wetDrawing() && knife->isThickPressureSensitive()) << k.scene;
    EXPECT_TRUE(knife->canFillColor() && knife->canClean() && knife->canReset() && knife->canSavePattern()) << k.scene;
    EXPECT_FALSE(knife->resizableOnPressure() || knife->autoClean() || knife->autoReset()) << k.scene;
    const auto viewer = std::dynamic_pointer_cast<KnifeToolViewer>(knife->toolViewer());
    ASSERT_TRUE(viewer) << k.scene;
    EXPECT_EQ(viewer->fileName(), k.scene);
    EXPECT_FALSE(viewer->stretching()) << k.scene;
    EXPECT_EQ(viewer->border(), SCNVector3(16, 16, 64)) << k.scene;
    EXPECT_FLOAT_EQ(viewer->scale(), 0.7f) << k.scene;  // scale 1 on an artwork of scale 1
    EXPECT_TRUE(std::dynamic_pointer_cast<KnifeToolSurface>(knife->toolSurface())) << k.scene;
  }
}

// Every uploaded altitude, as the kernels get it at BUFFER_ALTITUDE.
TEST_F(KnifeTest, AltitudesReachTheKernelsLoweredByTheWatermarkNeverBelowFlat) {
  const std::pair<float, float> cases[] = {{kPi / 2, kPi / 3},
                                           {KnifeAltitude_WaterMark, 0},
                                           {0.3f, 0},
                                           {0, 0},
                                           {kPi / 4, kPi / 4 - kPi / 6}};
  EXPECT_FLOAT_EQ(KnifeAltitude_WaterMark, 0.52359879f);
  TouchInputs batch;
  for (const auto& [altitude, lowered] : cases) {
    batch.push_back(std::make_shared<TouchInput>(graphics::Point(100 + 0.5 * batch.size(), 80), 1.0f, altitude, 0.2f));
  }
  const auto knife = current<Knife2Tool>();
  auto& surface = *knife->toolSurface();
  surface.reset(batch);
  ASSERT_EQ(surface.touchInputData().count(), static_cast<std::int64_t>(std::size(cases)));
  ASSERT_EQ(surface.altitudeBuffer()->length(), std::size(cases) * sizeof(float));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_FLOAT_EQ(testsupport::at<float>(surface.altitudeBuffer()->contents(), i * sizeof(float)), cases[i].second)
        << cases[i].first;
    EXPECT_FLOAT_EQ(surface.touchInputData().forces()[i], 1.0f);
  }
  surface.reset({});
  EXPECT_TRUE(surface.touchInputData().altitudes().empty());
}

TEST_F(KnifeTest, TheFirstKnifeWarmsThePassesEveryKnifeShares) {
  const auto first = current<Knife1Tool>();
  gpu::commandTrace().start();
  first->initialize();
  const auto builds = gpu::commandTrace().pipelineBuilds();
  ASSERT_GE(builds.size(), 4u);
  const char* warmed[] = {"DAEToolModel_blur_image", "DAEToolModel_knife_paint", "DAEToolModel_knife_pickup",
                          "DAEToolModel_knife_fill"};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(builds[i].functionName, warmed[i]);

  gpu::commandTrace().start();
  const std::shared_ptr<AbstractKnifeTool> others[] = {current<Knife2Tool>(), current<Knife3Tool>(), current<Knife4Tool>(),
                                                       current<Knife5Tool>(), current<Knife6Tool>()};
  auto& registry = DAEEncoders();
  for (const auto& knife : others) {
    knife->initialize();
    EXPECT_TRUE(knife->initialized());
    EXPECT_EQ(registry.getPaintEncoder(knife->toolType()), registry.getPaintEncoder(ToolType::knife1));
    EXPECT_EQ(registry.getPickupEncoder(knife->toolType()), registry.getPickupEncoder(ToolType::knife1));
    EXPECT_EQ(registry.getColorFillEncoder(knife->toolType()), registry.getColorFillEncoder(ToolType::knife1));
    EXPECT_EQ(registry.getTextureBlur(knife->toolType()), registry.getTextureBlur(ToolType::knife1));
  }
  EXPECT_TRUE(gpu::commandTrace().pipelineBuilds().empty()) << "no knife after the first builds a pipeline";
  gpu::commandTrace().stop();
}

// A tool that keeps the engine's dial set-up, as the flat, fan and filbert brushes do, and one
// with no dial, as the wide brushes.
class DialBrush : public AbstractDAEDrawingTool {
 public:
  DialBrush() : AbstractDAEDrawingTool(ToolType::flatBrush) {}
};
class DiallessBrush : public AbstractDAEDrawingTool {
 public:
  DiallessBrush() : AbstractDAEDrawingTool(ToolType::wideBrush) {}
  std::shared_ptr<ToolController> createController() override { return nullptr; }
};

TEST_F(KnifeTest, SwitchingInAKnifeNarrowsTheDialWhichTheNextToolWithADialWidensAgain) {
  const auto& dial = *SOLO_DAE_TOOL_CONTROLLER();
  const struct {
    std::function<std::shared_ptr<AbstractDrawingTool>()> make;
    float min, max;
  } sequence[] = {{[] { return std::make_shared<Knife4Tool>(); }, -kPi / 2, kPi / 2},
                  {[] { return std::make_shared<DialBrush>(); }, 0, 2 * kPi},
                  {[] { return std::make_shared<Knife1Tool>(); }, -kPi / 2, kPi / 2},
                  {[] { return std::make_shared<DiallessBrush>(); }, -kPi / 2, kPi / 2}};
  for (const auto& step : sequence) {
    const auto tool = step.make();
    AppManager().setCurrentTool(tool);
    tool->switchTo(*canvas);
    EXPECT_FLOAT_EQ(dial.minAngle(), step.min) << describe(tool->toolType());
    EXPECT_FLOAT_EQ(dial.maxAngle(), step.max) << describe(tool->toolType());
    if (tool->controller()) {
      EXPECT_EQ(dial.changeValue(), tool);
    }
  }
}

// Byte 1 of the pencil state that the knife's paint and pickup passes bind: 1 only while the stroke
// runs forward for the blade's rotation (here the samples' azimuth is 0.2).
TEST_F(KnifeTest, KnivesPaintAndPickUpOnlyForwardOfTheBlade) {
  const auto knife = current<Knife5Tool>();
  auto& viewer = static_cast<KnifeToolViewer&>(*knife->toolViewer());
  const auto descriptor = std::make_shared<DAEToolDescriptorWrapper>(
      ToolType::knife5, SCNVector3(8, 2, 4), SCNVector3(8, 2, 4), SCNVector3(2, 8, 4), SCNVector3(14, 8, 4),
      SCNVector3(1, 9, 4), SCNVector3(15, 9, 4), SCNVector3(8, 8, 12), SCNVector3(8, 8, 4), SCNVector3(8, 8, 4), 6, 0,
      1);
  viewer.setToolModel(std::make_shared<DAEToolModel>(viewer, 16, 16, 16, descriptor));
  const struct {
    float rotation;
    graphics::Point step;
    std::uint8_t forward;
  } cases[] = {{1.0f, {1, -10}, 1}, {1.0f, {1, 10}, 0}, {-1.0f, {1, 10}, 1}, {-1.0f, {1, -10}, 0}, {0.1f, {1, 10}, 1}};
  auto& registry = DAEEncoders();
  for (const auto& c : cases) {
    descriptor->setRotation(c.rotation);
    knife->toolSurface()->reset(stroke(150, 100, c.step, 4));
    for (const std::shared_ptr<ToolEncoder>& pass :
         {std::static_pointer_cast<ToolEncoder>(registry.getPaintEncoder(ToolType::knife5)),
          std::static_pointer_cast<ToolEncoder>(registry.getPickupEncoder(ToolType::knife5))}) {
      gpu::commandTrace().start();
      pass->encode(*canvas, *AppManager().commandQueue()->makeCommandBuffer());
      const auto dispatches = gpu::commandTrace().dispatches();
      gpu::commandTrace().stop();
      ASSERT_EQ(dispatches.size(), 1u);
      const auto& state = dispatches[0].buffers.at(BUFFER_PENCIL_STATE).bytes;
      ASSERT_EQ(state.size(), 8u);
      const auto expected = pencilStateBytes(c.forward == 1);
      EXPECT_EQ(state, std::vector<std::uint8_t>(expected.begin(), expected.end()))
          << dispatches[0].kernelName << " rotation " << c.rotation << " dy " << c.step.y;
    }
  }
}

}  // namespace
}  // namespace tessivarium
