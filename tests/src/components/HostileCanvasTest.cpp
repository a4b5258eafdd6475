// The canvas against hostile sizes and failing texture requests: a size is refused before anything
// is made, a stroke whose snapshot fails records no step, and working textures that cannot be made
// are waited for instead of stopping the program.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "Globals.h"
#include "RecordedErrors.h"
#include "StrokeCanvas.h"
#include "gpu/TestControls.h"
#include "gpu/TextureDescriptor.h"
#include "tools/DebugSwitches.h"
#include "tools/RegionWorkingSets.h"
#include "tools/knives/KnifeTools.h"

namespace {

using namespace tessivarium;

void drawFrames() {
  while (ui::FrameSource::main().displayFrame() > 0) {
  }
}

TEST(HostileCanvas, SidesOutsideTheMaximumInPixelsOrCellsAreRefusedFirst) {
  testsupport::useFakeTool();
  const std::tuple<std::int64_t, std::int64_t, double, bool> cases[] = {  // width, height, scale, made
      {MAX_CANVAS_SIDE, 1, 1.0, true}, {MAX_CANVAS_SIDE + 1, 1, 1.0, false}, {MAX_CANVAS_SIDE / 2 + 1, 1, 2.0, false},
      {100000, 100000, 1.0, false},    {3000000000, 2, 1.0, false},          {-5, 10, 1.0, false},
      {10, 10, 1e12, false},           {1, 1, 0.5, false},                   {10, 10, std::nan(""), false}};
  for (const auto& [width, height, scale, made] : cases) {
    const auto requests = gpu::testControls().textureRequests();
    try {
      testsupport::makeCanvas(width, height, scale)->cleanResources();
      EXPECT_TRUE(made) << width << " x " << height << " at " << scale;
    } catch (const Error& e) {
      EXPECT_TRUE(!made && e.message() == ErrorMessage::TextureFormatIncompatible) << width << " at " << scale;
      EXPECT_EQ(gpu::testControls().textureRequests(), requests) << "nothing is made";
    }
  }
}

// The first stroke's snapshot fails at its grid, wet or dry texture: the stroke still paints, the
// host hears NoMoreHeap, no step is recorded and what the snapshot made is given back; the next
// stroke takes a whole snapshot again, so its undo gives back exactly what the first left.
TEST(HostileCanvas, AStrokeWhoseSnapshotFailsRecordsNoStepAndTheNextIsUndoneExactly) {
  for (const std::size_t failing : {1, 2, 3}) {  // the snapshot's grid, wet and dry texture
    testsupport::resetGlobals();
    DEBUG_DAE_KNIFE = KnifeDebugMode::None;  // no head preview made on the first stroke
    testsupport::StrokeCanvas s;
    s.use(AppManager().knife1());
    AppManager().surfaceTextures().loads();
    s.layWet(100, 80, 200, 120, {200, 60, 30, 40});
    const auto errors = std::make_shared<testsupport::RecordedErrors>();
    Application().setDelegateHandler(errors);
    // A rebuild during the stroke may make the working sets it composes regions in; they stay.
    const auto heap = AppManager().heapSize() - AppManager().regionWorkingSets().countedBytes();
    const auto untouched = s.layerBytes();
    gpu::testControls().failTextureRequest(failing);
    s.drag({110, 100}, {190, 100}, 12);
    const auto painted = s.layerBytes();
    EXPECT_NE(painted, untouched) << failing << ": the stroke paints";
    EXPECT_EQ(errors->errors, std::vector{ErrorMessage::NoMoreHeap}) << failing;
    EXPECT_FALSE(s.canvas->commandManager()->canUndo()) << failing;
    EXPECT_EQ(AppManager().heapSize() - AppManager().regionWorkingSets().countedBytes(), heap)
        << failing << ": what the snapshot made is given back";
    s.drag({120, 90}, {180, 110}, 12);
    ASSERT_TRUE(s.undo()) << failing;
    EXPECT_EQ(s.layerBytes(), painted) << failing;
    EXPECT_FALSE(s.canvas->commandManager()->canUndo()) << failing;
    s.canvas->cleanResources();
  }
}

TEST(HostileCanvas, WorkingTexturesThatCannotBeMadeAreReportedAndWaitedFor) {
  const std::function<void(testsupport::StrokeCanvas&)> uses[] = {
      [](auto& s) { s.drag({110, 100}, {190, 100}, 12); },
      [](auto& s) { s.canvas->layerMerge({s.canvas->layers()[0], s.canvas->layers()[1]}); },
      [](auto&) { AppManager().knife1()->fillColor(graphics::Color::white(), 1.0f, 1.0f); }};
  for (const auto& use : uses) {
    testsupport::resetGlobals();
    // The first working texture is made, every later one fails.
    gpu::testControls().failTexturesWhere([made = 0](const auto& d) mutable { return d.width == 256 && ++made > 1; });
    testsupport::StrokeCanvas s;
    s.use(AppManager().knife1());
    s.canvas->layerCreate();
    const auto errors = std::make_shared<testsupport::RecordedErrors>();
    Application().setDelegateHandler(errors);
    use(s);
    drawFrames();
    EXPECT_NE(std::ranges::count(errors->errors, ErrorMessage::NoMoreHeap), 0);
    gpu::testControls().failTexturesWhere({});
    s.layer().redraw();
    drawFrames();
    EXPECT_EQ(s.layer().drawingMode(), DrawingMode::Normal) << "the next frame rebuilds the picture";
  }
}

}  // namespace
