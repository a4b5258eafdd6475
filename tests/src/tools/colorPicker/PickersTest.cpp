// The pickers on real canvases, driving the filbert brush or a tool that notes in its journal what
// the pickers ask of it, beside what its viewer notes (see StrokeTool).

#include <algorithm>
#include <optional>

#include <gtest/gtest.h>

#include "BytesAt.h"
#include "RecordedErrors.h"
#include "StrokeCanvas.h"
#include "Surface.h"
#include "gpu/CommandTrace.h"
#include "tools/brushes/FilbertBrushTools.h"
#include "tools/colorPicker/AbstractPaintPicker.h"
#include "tools/colorPicker/ColorPickerManager.h"
#include "tools/colorPicker/PatternPickerManager.h"
#include "utils/KernelInterface.h"

namespace {

using namespace tessivarium;
using foundation::describe;
using Handlers = std::vector<std::shared_ptr<TouchHandler>>;
// The forces of the touches of one move; none is a finger touch reporting a force of 0 out of 0.
using Move = std::vector<std::optional<double>>;

// A stylus put down at `at`, moved once per entry of `moves`, then lifted.
void gesture(DrawingPaint& canvas, graphics::Point at, const std::vector<Move>& moves = {}) {
  const auto stylus = testsupport::stylusTouch(at.x, at.y, ui::TouchPhase::Began);
  canvas.touchesBegan({stylus}, nullptr);
  ui::TouchState noForce;
  noForce.force = noForce.maximumPossibleForce = 0;
  for (const auto& move : moves) {
    ui::TouchSet touches;
    for (const auto& f : move) touches.insert(f ? testsupport::stylusTouch(at.x, at.y, ui::TouchPhase::Moved, *f)
                                                : ui::Touch::make(noForce));
    canvas.touchesMoved(touches, nullptr);
  }
  canvas.touchesEnded({stylus}, nullptr);
}

class PickingTool : public testsupport::StrokeTool {
 public:
  PickingTool() : StrokeTool(journal, ToolType::filbertBrush) {}

  void setEnabled(bool enabled) override {
    if (enabled) journal.push_back("enabled");
    StrokeTool::setEnabled(enabled);
  }
  void switchTo(DrawingPaint& paint) override {
    journal.push_back("switchTo " + describe(paint.artwork()->width()));
    StrokeTool::switchTo(paint);
  }
  void fillColor(const graphics::Color& color, float force, std::optional<float> wetness) override {
    journal.push_back("fill " + describe(color.components().at(0)) + " at " + describe(force) + (wetness ? " wet" : ""));
  }
  void pickPattern(const TouchInput& in, float rotation) override {
    journal.push_back("pick " + describe(in.location().x) + " " + describe(in.location().y) + " at " +
                      describe(in.force()) + " " + describe(in.altitudeAngle()) + " " + describe(in.azimuthAngle()) +
                      (in.isStylus() ? " stylus" : "") + " turned " + describe(rotation));
    StrokeTool::pickPattern(in, rotation);
  }

  testsupport::Journal journal;
};

// An 80 x 60 main canvas showing its surface (so that a colour pick finds the background's white
// where there is no paint) with a picking tool current, disabled as a host disables it for a pick
// and connected to the canvas already, its journal empty.
std::pair<std::shared_ptr<DrawingPaint>, std::shared_ptr<PickingTool>> pickingCanvas() {
  const std::shared_ptr<DrawingPaint> canvas = testsupport::makeCanvas(80, 60);
  AppManager().setCanvas(canvas);
  canvas->setShowSurface(true);
  const auto tool = std::make_shared<PickingTool>();
  AppManager().setCurrentTool(tool);
  tool->setEnabled(false);
  canvas->enabledCurrentTool(false);
  tool->journal.clear();
  return {canvas, tool};
}

TEST(Pickers, LoadsTheBrushWithThePaintUnderTheTouchThenTakesEveryPickerOut) {
  testsupport::StrokeCanvas painted;
  const auto& [canvas, brush] = std::pair{painted.canvas, DefaultTool()};
  painted.use(brush);
  painted.layWet(100, 60, 110, 70, {200, 40, 20, 90});
  const auto palette = testsupport::makeCanvas(120, 90, 1.0, 1, MainPaintId + 1, false);
  const auto first = std::make_shared<AbstractTouchHandler>(), last = std::make_shared<AbstractTouchHandler>();
  canvas->setTouchHandlers({first});
  const auto manager = std::make_shared<ColorPickerManager>();
  std::vector<std::size_t> installedAtDone;
  manager->setDone([&] { installedAtDone = {canvas->touchHandlers().size(), palette->touchHandlers().size()}; });
  manager->pick({canvas, palette});
  canvas->setTouchHandlers({first, canvas->touchHandlers()[1], last});
  brush->setEnabled(false);

  gpu::commandTrace().start();
  gesture(*canvas, {104, 65}, {{1.0}, {2.0}, {0.4}});
  const auto d = gpu::commandTrace().dispatches();
  const auto fill = std::find_if(d.begin(), d.end(), [](auto& p) { return p.kernelName == "DAEToolModel_brush_fill"; });
  ASSERT_NE(fill, d.end());
  EXPECT_EQ(testsupport::at<gpu::float4>(fill->buffers.at(BUFFER_COLOR).bytes.data(), 0),
            (gpu::float4{200 / 255.0f, 40 / 255.0f, 20 / 255.0f, 248 / 255.0f}))
      << "the paint's colour, its full wetness as the layer keeps it";
  EXPECT_EQ(testsupport::at<float>(fill->buffers.at(BUFFER_FORCE).bytes.data(), 0), 1.0f) << "the strongest move";
  EXPECT_TRUE(brush->enabled());
  EXPECT_EQ(installedAtDone, (std::vector<std::size_t>{3, 1})) << "done ran once, the pickers still installed";
  EXPECT_EQ(canvas->touchHandlers(), (Handlers{first, last}));
  EXPECT_TRUE(palette->touchHandlers().empty() && manager->pickers().empty());
}

struct Gesture {
  const char* what;
  std::vector<Move> moves;
  bool surfaceShown;
  const char* fill;  // the colour and force (a touch's force / 4, times the sensibility 3, at most 1)
};
void PrintTo(const Gesture& g, std::ostream* out) { *out << g.what; }
class PickersColorPickGesture : public testing::TestWithParam<Gesture> {};

// Two gestures: a pick ends at the first, one that finds no colour tries again at the second.
TEST_P(PickersColorPickGesture, FillsTheToolAtTheStrongestPressureOrReportsNoColour) {
  const auto& [canvas, tool] = pickingCanvas();
  const auto& row = GetParam();
  canvas->artwork()->setSurface(Surface::FindSurface(SurfaceId::CanvasArmyDuck));
  canvas->setShowSurface(row.surfaceShown);
  const auto errors = std::make_shared<testsupport::RecordedErrors>();
  Application().setDelegateHandler(errors);
  const auto manager = std::make_shared<ColorPickerManager>();
  int done = 0;
  manager->setDone([&] { ++done; });
  manager->setForce(0.9);
  manager->pick({canvas});
  gesture(*canvas, {10, 10}, row.moves);
  const auto asked = tool->journal;
  gesture(*canvas, {10, 10}, row.moves);

  const bool found = row.surfaceShown;
  EXPECT_EQ(asked, (found ? testsupport::Journal{"enabled", "switchTo 80", row.fill} : testsupport::Journal{}));
  EXPECT_EQ(errors->errors, std::vector(found ? 0 : 2, ErrorMessage::NoColorSelected));
  EXPECT_EQ(done, found ? 1 : 0);
  EXPECT_EQ(canvas->touchHandlers().size(), found ? 0u : 1u);
  manager->end();
}

INSTANTIATE_TEST_SUITE_P(
    Moves, PickersColorPickGesture,
    testing::Values(Gesture{"a tap: touch-down starts at 0", {}, true, "fill 1.0 at 0.0"},
                    Gesture{"a ratio above 1/sensibility", {{2.0}}, true, "fill 1.0 at 1.0"},
                    Gesture{"the strongest of several moves", {{0.4}, {1.0}, {0.2}}, true, "fill 1.0 at 0.75"},
                    Gesture{"every touch of a move", {{0.4, 1.0}}, true, "fill 1.0 at 0.75"},
                    Gesture{"no ratio: no change", {{0.4, std::nullopt}}, true, "fill 1.0 at 0.3"},
                    Gesture{"no colour", {{1.0}}, false, nullptr}));

class PickersSharedCanvas : public testing::TestWithParam<bool> {};

TEST_P(PickersSharedCanvas, EachPickEndsOnlyItsOwnPickersAndOnesReachedAfterTheirEndIgnoreTheTouch) {
  const auto& [canvas, tool] = pickingCanvas();
  tool->setCanSavePattern(GetParam());
  tool->setRotation(0.625f);
  tool->journal.clear();
  const auto other = std::make_shared<AbstractTouchHandler>();
  canvas->setTouchHandlers({other});
  const auto colours = std::make_shared<ColorPickerManager>();
  const auto patterns = std::make_shared<PatternPickerManager>();
  colours->pick({canvas});
  colours->pick({canvas});
  patterns->pick({canvas});
  const Handlers afterColours{other, patterns->pickers().at(0)};
  Handlers atPatternDone;
  patterns->setDone([&] { atPatternDone = canvas->touchHandlers(); });

  // The first colour picker ends its pick while the canvas walks on to the second, and to the
// pattern picker.
  gesture(*canvas, {30, 20}, {{1.0}, {0.4}});
  testsupport::Journal expected{"viewer touchesMoved", "viewer touchesMoved", "enabled", "switchTo 80",
                                "fill 1.0 at 0.75", "enabled", "switchTo 80",
                                "pick 30.0 20.0 at 0.75 0.9 0.4 stylus turned 0.625"};
  if (GetParam()) expected.push_back("viewer pickPattern 0.625");
  EXPECT_EQ(tool->journal, expected) << "the viewer follows the pattern picker's moves";
  EXPECT_EQ(atPatternDone, afterColours) << "also when the tool cannot save the pattern";
  EXPECT_EQ(canvas->touchHandlers(), Handlers{other});
}

INSTANTIATE_TEST_SUITE_P(CanSavePattern, PickersSharedCanvas, testing::Bool());

TEST(Pickers, ACanvasGoneWithPickersInstalledIsNeitherKeptNorTouched) {
  const auto& [kept, tool] = pickingCanvas();
  std::shared_ptr<DrawingPaint> gone = testsupport::makeCanvas(80, 60);
  const auto manager = std::make_shared<ColorPickerManager>();
  manager->pick({gone, kept});
  const auto pickers = manager->pickers();
  const std::weak_ptr<DrawingPaint> watch = gone;
  gone.reset();
  EXPECT_TRUE(watch.expired() && !pickers[0]->paint());

  manager->end();
  manager->end();
  EXPECT_TRUE(manager->pickers().empty() && kept->touchHandlers().empty());
  const ui::TouchSet touches{testsupport::stylusTouch(30, 20)};
  for (const auto& picker : pickers) {
    picker->touchesBegan(touches, nullptr);
    picker->touchesMoved(touches, nullptr);
    picker->touchesEnded(touches, nullptr);
  }
  EXPECT_TRUE(tool->journal.empty());
}

}  // namespace
