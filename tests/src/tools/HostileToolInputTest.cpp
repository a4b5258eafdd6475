// The tools against hostile values: samples far off the canvas, stylus angles beyond range,
// rotations and wetness values that are not numbers, and fills before the head can take them.

#include <gtest/gtest.h>

#include <any>
#include <cmath>
#include <functional>
#include <numbers>

#include "ConsoleCapture.h"
#include "Globals.h"
#include "RecordedErrors.h"
#include "StrokeCanvas.h"
#include "ToolSurfaceFixture.h"
#include "gpu/CommandTrace.h"
#include "tools/ToolFamilies.h"
#include "ui/Event.h"
#include "ui/FrameSource.h"
#include "ui/TouchSet.h"
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

// A stroke whose samples leap as far as a double reaches, through the canvas's touches, against
// the same stroke with each far-off sample put on the canvas's margin by hand: for every way of
// spacing (a knife, a brush, the unspaced tube, the sprayer, a wide brush) the two dispatch the same
// kernels and leave the same layer, so a far-off touch costs what a stroke to the margin costs.
TEST(HostileToolInputStrokes, AFarOffSampleIsDrawnAsTheSampleOnTheMargin) {
  constexpr double kMax = std::numeric_limits<double>::max();
  constexpr double kRight = testsupport::StrokeCanvas::kWidth + SAMPLE_MARGIN;
  constexpr double kBottom = testsupport::StrokeCanvas::kHeight + SAMPLE_MARGIN;
  using Frames = std::vector<std::vector<graphics::Point>>;
  const Frames far = {{{150, 100}, {1e300, 100}},
                      {{150, 100}, {-1e300, -1e300}},
                      {{kMax, -kMax}, {150, 100}, {1e6, 1e7}},
                      {{-kMax, 120}, {150, 101}}};
  const Frames held = {{{150, 100}, {kRight, 100}},
                       {{150, 100}, {-SAMPLE_MARGIN, -SAMPLE_MARGIN}},
                       {{kRight, -SAMPLE_MARGIN}, {150, 100}, {kRight, kBottom}},
                       {{-SAMPLE_MARGIN, 120}, {150, 101}}};
  using Tool = std::shared_ptr<AbstractDrawingTool> (*)();
  const auto strokeOf = [](const Frames& frames, Tool tool) {
    testsupport::resetGlobals();
    testsupport::ConsoleCapture console;
    testsupport::StrokeCanvas s;
    s.use(tool());
    s.layWet(100, 60, 200, 140, {200, 60, 30, 40});
    const auto untouched = s.layerBytes();
    const auto finger = testsupport::stylusTouch(150, 100);
    gpu::commandTrace().start();
    for (std::size_t f = 0; f < frames.size(); ++f) {
      std::vector<std::shared_ptr<ui::Touch>> batch;
      for (const auto& p : frames[f]) batch.push_back(testsupport::stylusTouch(p.x, p.y));
      ui::Event event;
      event.setCoalescedTouches(finger, batch);
      const auto phase = f == 0                   ? &DrawingPaint::touchesBegan
                         : f + 1 == frames.size() ? &DrawingPaint::touchesEnded
                                                  : &DrawingPaint::touchesMoved;
      ((*s.canvas).*phase)(ui::TouchSet{finger}, &event);
      ui::FrameSource::main().displayFrame();
    }
    ui::FrameSource::main().displayFrame();
    const auto kernels = gpu::commandTrace().kernelNames();
    gpu::commandTrace().stop();
    const auto painted = s.layerBytes();
    EXPECT_TRUE(s.undo());
    EXPECT_TRUE(s.layerBytes() == untouched) << "undo gives the layer back";
    return std::pair{kernels, painted};
  };
  const std::pair<const char*, Tool> tools[] = {
      {"knife", []() -> std::shared_ptr<AbstractDrawingTool> { return AppManager().knife1(); }},
      {"filbert brush", []() -> std::shared_ptr<AbstractDrawingTool> { return AppManager().filbertBrush(); }},
      {"small wide brush", []() -> std::shared_ptr<AbstractDrawingTool> { return AppManager().smallWideBrush(); }},
      {"tube", []() -> std::shared_ptr<AbstractDrawingTool> { return AppManager().tube(); }},
      {"big fan brush", []() -> std::shared_ptr<AbstractDrawingTool> { return AppManager().bigFanBrush(); }},
      {"sprayer", []() -> std::shared_ptr<AbstractDrawingTool> { return AppManager().sprayer(); }}};
  for (const auto& [name, tool] : tools) {
    const auto [farKernels, farLayer] = strokeOf(far, tool);
    const auto [heldKernels, heldLayer] = strokeOf(held, tool);
    EXPECT_EQ(farKernels, heldKernels) << name;
    EXPECT_TRUE(farLayer == heldLayer) << name;
  }
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

// Through a drop tool's fill and a thick-paint tool's: a wetness beyond either end is as dry or as
// wet as paint gets, one that is not a number is refused with CannotFillColor and fills nothing.
TEST(HostileToolInput, AWetnessIsBroughtIntoRangeOrRefusedWhenNotANumber) {
  testsupport::StrokeCanvas s;
  auto& tube = *AppManager().tube();
  const auto& knife = AppManager().knife1();
  s.use(knife);
  // stored: the wetness the tube keeps; the driest is the first level, 4 (a refused fill keeps the last).
  const std::pair<float, float> cases[] = {{kInf, 252}, {-1, 4}, {1e30f, 252}, {0.5f, 124}, {-kInf, 4}, {kNan, 4}};
  for (const auto& [wetness, stored] : cases) {
    const auto errors = std::make_shared<testsupport::RecordedErrors>();
    Application().setDelegateHandler(errors);
    const std::vector<ErrorMessage> refused =
        std::isnan(wetness) ? std::vector{ErrorMessage::CannotFillColor} : std::vector<ErrorMessage>{};
    tube.fillColor(graphics::Color::fromRGBA(1, 0, 0, 1), 1.0f, wetness);
    EXPECT_FLOAT_EQ(static_cast<float>(tube.color().alpha()), stored / 255) << wetness;
    EXPECT_EQ(errors->errors, refused) << "the tube, " << wetness;
    errors->errors.clear();
    knife->clean();
    knife->fillColor(graphics::Color::fromRGBA(1, 0, 0, 1), 1.0f, wetness);
    EXPECT_EQ(errors->errors, refused) << "the knife, " << wetness;
    if (refused.empty()) {
      EXPECT_GT(testsupport::StrokeCanvas::headPaint(*knife), 0) << wetness;
    } else {
      EXPECT_EQ(testsupport::StrokeCanvas::headPaint(*knife), 0) << "a refused fill loads nothing";
    }
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
