// The tools against hostile values: samples far off the canvas, stylus angles beyond range,
// rotations and wetness values that are not numbers, and fills before the head can take them.

#include <gtest/gtest.h>

#include <any>
#include <cmath>
#include <functional>
#include <numbers>

#include "ConsoleCapture.h"
#include "RecordedErrors.h"
#include "StrokeCanvas.h"
#include "ToolSurfaceFixture.h"
#include "tools/knives/KnifeTools.h"
#include "tools/tubes/TubeTool.h"

namespace surfacetest {
namespace {

constexpr float kNan = std::numeric_limits<float>::quiet_NaN(), kInf = std::numeric_limits<float>::infinity();

using HostileToolInputSamples = ToolSurfaceTest;

TEST_F(HostileToolInputSamples, AreHeldAtTheCanvasMarginAndAGapGetsAtMostItsShare) {
  const std::tuple<double, graphics::Point, graphics::Point> cases[] = {  // scale, sample, where it is held
      {1.0, {1e6, -1e300}, {1024 + SAMPLE_MARGIN, -SAMPLE_MARGIN}},
      {0.5, {-std::numeric_limits<double>::max(), 300}, {-2 * SAMPLE_MARGIN, 300}}};  // the margin is in cells
  for (const auto& [scale, far, held] : cases) {
    useCanvas(1024, 768, scale);
    useTool(ToolType::knife1).toolSurface()->reset({at(400, 300), at(far.x, far.y)});
    EXPECT_EQ(surface().touchInputs().back()->location(), held) << far.x;
  }
  TouchInputs list{at(0, 0)};
  surface().appendList(list, at(1e5, 0), 3.0);  // longer than any canvas
  EXPECT_EQ(list.size(), 2 + MAX_SAMPLES_PER_GAP);
}

TEST(HostileToolInput, AStylusSampleKeepsItsAnglesInRange) {
  ui::TouchState state;
  state.type = ui::TouchType::Stylus, state.altitudeAngle = -1e300, state.azimuthAngle = 1e300;
  const TouchInput low(ui::Touch(state), nullptr);
  EXPECT_TRUE(low.altitudeAngle() == 0 && std::abs(low.azimuthAngle()) < 2 * std::numbers::pi);
  state.altitudeAngle = 1e300, state.azimuthAngle = -7.0;
  const TouchInput high(ui::Touch(state), nullptr);
  EXPECT_TRUE(high.altitudeAngle() == std::numbers::pi_v<float> / 2 &&
              high.azimuthAngle() == static_cast<float>(-7.0 + 2 * std::numbers::pi));
}

TEST(HostileToolInput, OnlyFiniteAnglesTurnTheToolAndItsViewer) {
  testsupport::StrokeCanvas s;
  const auto& knife = AppManager().knife1();
  s.use(knife);
  ToolViewer& viewer = *knife->toolViewer();
  const std::function<void(float)> entries[] = {[&](float r) { knife->setRotation(r); },
                                                [&](float r) { viewer.setRotation(r); },
                                                [&](float r) { knife->changedValue(std::any(r)); }};
  for (const auto& turn : entries) {
    for (const float angle : {kNan, kInf, -kInf, 1e30f, -2.5f}) {
      const float now = std::isfinite(angle) ? angle : knife->rotation();
      testsupport::ConsoleCapture console;
      turn(angle);
      EXPECT_TRUE(knife->rotation() == now && viewer.rotation() == now) << angle;
      EXPECT_EQ(std::ranges::count_if(console.lines(), [](const auto& l) { return l.ends_with("stays"); }),
                std::isfinite(angle) ? 0 : 1);
    }
  }
}

TEST(HostileToolInput, AWetnessIsBroughtIntoRangeOrRefusedWhenNotANumber) {
  testsupport::StrokeCanvas s;
  auto& tube = *AppManager().tube();
  const std::pair<float, float> cases[] = {{kInf, 252}, {-1, 0}, {0.5f, 124}, {kNan, 124}};  // stored wetness
  for (const auto& [wetness, stored] : cases) {
    tube.fillColor(graphics::Color::fromRGBA(1, 0, 0, 1), 1.0f, wetness);
    EXPECT_FLOAT_EQ(static_cast<float>(tube.color().alpha()), stored / 255) << wetness;
  }
}

TEST(HostileToolInput, AThickToolFillsOnlyItsOwnMeasuredHead) {
  testsupport::StrokeCanvas s;
  auto& manager = AppManager();
  const std::tuple<std::function<void()>, DrawingTool*, const char*> cases[] = {
      {[&] { manager.setCurrentTool(manager.knife1()); }, manager.knife1().get(), "the head is not measured yet"},
      {[&] {  // started while no canvas was current: the fill measures the head first
         s.canvas->setShadingImage(imaging::Image::fromTexture(manager.makeTexture(4, 4)));
         manager.setCurrentPaint(nullptr);
         manager.setCurrentTool(manager.knife2());
         manager.setCurrentPaint(s.canvas);
       },
       manager.knife2().get(), ""},
      {[] {}, manager.knife1().get(), "not the current tool"}};
  for (const auto& [arrange, tool, refusal] : cases) {
    arrange();
    const auto errors = std::make_shared<testsupport::RecordedErrors>();
    Application().setDelegateHandler(errors);
    testsupport::ConsoleCapture console;
    tool->fillColor(graphics::Color::white(), 1.0f, 1.0f);
    const std::size_t refused = *refusal != '\0';
    EXPECT_EQ(errors->errors.size(), refused) << refusal;
    EXPECT_EQ(console.linesStartingWith(std::string("knife1: ") + refusal).size(), refused);
  }
  EXPECT_TRUE(manager.knife2()->toolViewer()->toolModel());
}

}  // namespace
}  // namespace surfacetest
