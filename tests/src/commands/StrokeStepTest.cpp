// The stroke step on a real canvas, recorded as the tools do it: at touch-down the canvas copies
// the current layer into `before` and the step starts; each write-back of the working window
// paints its region and appends its rectangle; touch-up appends the window's square once more,
// saves from `before` and hands the step to the history unless it ran out of memory.

#include "commands/DrawingArtworkDrawingOperation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "FatalStop.h"
#include "RecordingStep.h"
#include "TestCanvas.h"
#include "commands/CommandManager.h"
#include "components/ArtworkData.h"
#include "foundation/Clock.h"
#include "gpu/Texture.h"
#include "tools/ApplicationManager.h"
#include "utils/TextureUtil.h"

namespace tessivarium {
namespace {

using graphics::Rect;
using Bytes = std::vector<std::uint8_t>;
using LayerBytes = std::array<Bytes, 3>;  // grid, wet, dry

LayerBytes bytesOf(ArtworkTextures& layer) {
  return {TextureUtil::toRawData(*layer.gridTexture()), TextureUtil::toRawData(*layer.wetTexture()),
          TextureUtil::toRawData(*layer.dryTexture())};
}

// Every texel of the three textures gets bytes that depend on where it is and on `tag`.
void fillLayer(ArtworkTextures& layer, std::uint8_t tag) {
  int t = 0;
  for (const auto& texture : {layer.gridTexture(), layer.wetTexture(), layer.dryTexture()}) {
    const std::size_t w = texture->width(), h = texture->height();
    Bytes bytes(w * h * 4);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + tag + 31 * t);
    texture->writeRegion(gpu::Region::make2D(0, 0, w, h), 0, bytes, w * 4);
    ++t;
  }
}

// Paints `rect` of the three textures (clipped to them) with `tag`.
void paintRegion(ArtworkTextures& layer, const Rect& rect, std::uint8_t tag) {
  for (const auto& texture : {layer.gridTexture(), layer.wetTexture(), layer.dryTexture()}) {
    const Rect inside = rect.intersection(Rect(0, 0, double(texture->width()), double(texture->height())));
    const auto w = static_cast<std::size_t>(inside.width()), h = static_cast<std::size_t>(inside.height());
    const Bytes bytes(w * h * 4, tag);
    texture->writeRegion(gpu::Region::make2D(std::size_t(inside.minX()), std::size_t(inside.minY()), w, h), 0, bytes,
                         w * 4);
  }
}

class StrokeStep : public ::testing::Test {
 protected:
  void SetUp() override { useCanvas(testsupport::makeCanvas(600, 400)); }

  void useCanvas(std::shared_ptr<testsupport::TestCanvas> c) {
    canvas = std::move(c);
    manager = std::make_shared<CommandManager>(canvas);
    canvas->setCommandManager(manager);
    AppManager().setCurrentPaint(canvas);
    fillLayer(*canvas->currentContent(), 1);
  }

  void touchDown() {
    canvas->saveBefore(canvas->currentLayer());
    step = std::make_shared<DrawingArtworkDrawingOperation>(canvas->currentLayer());
  }
  // The working window at (x, y) goes back into the layer that was current at touch-down.
  void writeBack(double x, double y, std::uint8_t tag) {
    auto& layer = static_cast<ArtworkTextures&>(*step->layer());
    const double w = std::min<double>(MAC_WIDTH, double(layer.gridTexture()->width()));
    const double h = std::min<double>(MAC_WIDTH, double(layer.gridTexture()->height()));
    paintRegion(layer, Rect(x, y, w, h), tag);
    step->rects().emplace_back(x, y, w, h);
  }
  // Returns whether the step went into the history.
  bool touchUp(double x, double y) {
    step->rects().emplace_back(x, y, MAC_WIDTH, MAC_WIDTH);
    step->save(*canvas->before());
    if (step->noMemory()) return false;
    manager->append(std::shared_ptr<ArtworkDrawingOperation>(step));
    return true;
  }

  std::shared_ptr<testsupport::TestCanvas> canvas;
  std::shared_ptr<CommandManager> manager;
  std::shared_ptr<DrawingArtworkDrawingOperation> step;
};

TEST_F(StrokeStep, UndoRedoUndoAlternateTheRegionsByteForByte) {
  auto& layer = *canvas->currentContent();
  const LayerBytes before = bytesOf(layer);
  touchDown();
  writeBack(10, 20, 200);
  writeBack(150, 100, 201);  // overlaps the first
  writeBack(340, 140, 202);  // reaches beyond the right and bottom edges
  ASSERT_TRUE(touchUp(340, 140));
  const LayerBytes after = bytesOf(layer);
  ASSERT_NE(after, before);

  for (const auto& [expected, what] : {std::pair{&before, "undo"}, std::pair{&after, "redo"}, std::pair{&before, "undo"}}) {
    SCOPED_TRACE(what);
    ASSERT_NE(what[0] == 'u' ? manager->undo() : manager->redo(), nullptr);
    const LayerBytes now = bytesOf(layer);
    EXPECT_TRUE(now[0] == (*expected)[0]) << "grid";
    EXPECT_TRUE(now[1] == (*expected)[1]) << "wet";
    EXPECT_TRUE(now[2] == (*expected)[2]) << "dry";
    EXPECT_EQ(layer.drawingMode(), DrawingMode::Recreated);
  }
  EXPECT_EQ(step->name(), "Painting");
}

TEST_F(StrokeStep, AStrokeInsideItsFirstRegionKeepsTwoIdenticalSnapshots) {
  testsupport::ConsoleCapture console;
  touchDown();
  writeBack(64, 32, 9);
  ASSERT_TRUE(touchUp(64, 32));
  ASSERT_TRUE(step->operations());
  ASSERT_EQ(step->operations()->size(), 2u);
  for (const auto& snapshot : *step->operations()) {
    EXPECT_EQ(snapshot->origin(), (gpu::Origin{64, 32, 0}));
    EXPECT_EQ(snapshot->size(), (gpu::Size{256, 256, 1}));
    EXPECT_EQ(snapshot->layer(), step->layer());
  }
  EXPECT_TRUE(step->rects().empty());
  EXPECT_EQ(console.linesStartingWith("Undo Save time ").size(), 1u);
}

TEST_F(StrokeStep, RegionsAreClippedToTheLayerAndEmptyOnesDropped) {
  useCanvas(testsupport::makeCanvas(200, 150));
  const LayerBytes before = bytesOf(*canvas->currentContent());
  touchDown();
  writeBack(0, 0, 5);                  // the window is the whole layer: 200 x 150
  step->rects().emplace_back(700, 20, 256, 256);  // wholly outside
  ASSERT_TRUE(touchUp(0, 0));          // the 256 square reaches beyond the layer
  ASSERT_EQ(step->operations()->size(), 2u);
  for (const auto& snapshot : *step->operations()) {
    EXPECT_EQ(snapshot->origin(), (gpu::Origin{0, 0, 0}));
    EXPECT_EQ(snapshot->size(), (gpu::Size{200, 150, 1}));
  }
  manager->undo();
  EXPECT_EQ(bytesOf(*canvas->currentContent()), before);
}

TEST_F(StrokeStep, SnapshotsBelongToTheLayerTheStrokePainted) {
  useCanvas(testsupport::makeCanvas(600, 400, 1.0, 2));
  canvas->setLayerIndex(0);
  auto& painted = *canvas->currentContent();
  fillLayer(painted, 3);
  auto& other = canvas->layer(1);
  fillLayer(other, 4);
  const LayerBytes paintedBefore = bytesOf(painted), otherBefore = bytesOf(other);
  touchDown();
  writeBack(30, 30, 77);
  canvas->setLayerIndex(1);  // the current layer changes before the stroke ends
  ASSERT_TRUE(touchUp(30, 30));

  manager->undo();
  EXPECT_EQ(bytesOf(painted), paintedBefore);
  EXPECT_EQ(bytesOf(other), otherBefore);
}

TEST_F(StrokeStep, ARefusedSnapshotReleasesWhatWasMadeAndRecordsNothing) {
  auto older = std::make_shared<commands_test::RecordingStep>("older", nullptr);
  manager->append(std::shared_ptr<ArtworkDrawingOperation>(older));
  touchDown();
  writeBack(0, 0, 6);
  writeBack(300, 0, 7);  // three regions apart: three snapshots, of which only the first fits
  const std::int64_t limit = 64LL * 1024 * 1024;
  AppManager().setLimitedHeap(64);
  AppManager().setHeapSize(limit - 3 * 256 * 256 * 4);
  const std::int64_t heapBefore = AppManager().heapSize();
  testsupport::ConsoleCapture console;

  EXPECT_FALSE(touchUp(0, 144));
  EXPECT_TRUE(step->noMemory());
  EXPECT_FALSE(step->operations());
  EXPECT_TRUE(step->rects().empty());
  EXPECT_EQ(AppManager().heapSize(), heapBefore);
  EXPECT_TRUE(console.linesStartingWith("Undo Save time ").empty());
  EXPECT_EQ(older->releases, 1);  // given up to make room, and it stays given up
  EXPECT_FALSE(manager->canUndo());
}

TEST_F(StrokeStep, TheSaveLineGivesTheCountAndThePhaseSeconds) {
  double now = 0;
  foundation::setTimeSource([&] { return now += 0.25; });
  testsupport::ConsoleCapture console;
  touchDown();
  ASSERT_TRUE(touchUp(8, 8));
  touchDown();
  for (int i = 0; i < 200; ++i) step->rects().emplace_back(i, 0, 16, 16);
  ASSERT_TRUE(touchUp(8, 8));
  EXPECT_EQ(console.linesStartingWith("Undo Save time "),
            (std::vector<std::string>{"Undo Save time 1: 0.25 0.25 0.25 1.0", "Undo Save time 201: 0.25"}));
  EXPECT_EQ(step->operations()->size(), 1u);
  EXPECT_EQ(step->operations()->front()->size(), (gpu::Size{264, 264, 1}));  // the bounds, (0, 0) to (264, 264)
}

// Up to 200 regions are grouped, each with its done flag; beyond, one snapshot of their bounds.
TEST_F(StrokeStep, TwoHundredRegionsAreGroupedAndOneMoreIsNot) {
  for (const std::size_t count : {std::size_t{200}, std::size_t{201}}) {
    testsupport::ConsoleCapture console;
    touchDown();
    for (std::size_t i = 0; i + 1 < count; ++i) step->rects().emplace_back(double(i % 50) * 7, double(i / 50) * 30, 16, 16);
    ASSERT_TRUE(touchUp(500, 300));
    const bool grouped = count == 200;
    ASSERT_EQ(step->done().has_value(), grouped) << count;
    if (grouped) {
      EXPECT_EQ(step->done()->size(), 200u);
    } else {
      EXPECT_EQ(step->operations()->size(), 1u);
    }
    const auto lines = console.linesStartingWith("Undo Save time " + std::to_string(count) + ": ");
    ASSERT_EQ(lines.size(), 1u) << count;
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), ' '), grouped ? 7 : 4) << lines[0];
  }
}

TEST_F(StrokeStep, NoUndoOrRedoDuringAStroke) {
  touchDown();
  writeBack(0, 0, 8);
  ASSERT_TRUE(touchUp(0, 0));
  auto tool = testsupport::useFakeTool();
  auto& layer = *canvas->currentContent();

  layer.setIsDrawing(true);
  EXPECT_EQ(manager->undo(), nullptr);
  layer.setIsDrawing(false);
  tool->setCommandOperations(std::make_shared<DrawingArtworkDrawingOperation>(canvas->currentLayer()));
  EXPECT_EQ(manager->undo(), nullptr);
  tool->setCommandOperations(nullptr);
  EXPECT_EQ(manager->undo(), step);

  layer.setIsDrawing(true);
  EXPECT_EQ(manager->redo(), nullptr);
  layer.setIsDrawing(false);
  EXPECT_EQ(manager->redo(), step);
}

TEST_F(StrokeStep, AReleasedStepChangesNothing) {
  touchDown();
  writeBack(0, 0, 8);
  ASSERT_TRUE(touchUp(0, 0));
  const LayerBytes after = bytesOf(*canvas->currentContent());
  const std::int64_t heap = AppManager().heapSize();
  EXPECT_EQ(step->heldBytes(), 2 * 3 * 256 * 256 * 4);
  manager->clean();
  EXPECT_EQ(AppManager().heapSize(), heap - 2 * 3 * 256 * 256 * 4);
  EXPECT_EQ(step->heldBytes(), 0);
  step->execute();
  EXPECT_EQ(bytesOf(*canvas->currentContent()), after);
  EXPECT_FALSE(step->operations());
}

TEST_F(StrokeStep, AStepNeedsACanvas) {
  AppManager().setCurrentPaint(nullptr);
  EXPECT_FATAL(DrawingArtworkDrawingOperation(canvas->currentLayer()),
               "An undo step needs a canvas, and there is no current paint");
}

// A stroke's rectangles that keep less than one whole texel inside the layer need no snapshot and
// must not cost the stroke its undo.
TEST_F(StrokeStep, SliverRectanglesTakeNoSnapshot) {
  useCanvas(testsupport::makeCanvas(24, 16));
  touchDown();
  step->rects() = {graphics::Rect(4, 3, 12, 9), graphics::Rect(19.2, 5, 0.6, 6), graphics::Rect(23.6, 2, 3, 3)};
  step->save(*canvas->before());
  EXPECT_FALSE(step->noMemory());
  ASSERT_TRUE(step->operations());
  ASSERT_EQ(step->operations()->size(), 1u);
  const auto& snapshot = *step->operations()->front();
  EXPECT_EQ(snapshot.origin().x, 4u);
  EXPECT_EQ(snapshot.gridTexture()->width(), 12u);
  step->release();
}

}  // namespace
}  // namespace tessivarium
