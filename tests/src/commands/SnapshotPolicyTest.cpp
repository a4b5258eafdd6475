// The memory policy of the history's region snapshots, on a canvas with real layers: one
// snapshot of a working region is 3 x 256 x 256 x 4 bytes, so under a 1 MB limit one fits and a
// second reaches the limit.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "TestCanvas.h"
#include "FatalStop.h"
#include "RecordingStep.h"
#include "commands/CommandManager.h"
#include "components/ArtworkData.h"
#include "gpu/TestControls.h"
#include "gpu/TextureDescriptor.h"
#include "tools/ApplicationManager.h"
#include "tools/RegionWorkingSets.h"

namespace tessivarium {
namespace {

using commands_test::RecordingStep;
using Strings = std::vector<std::string>;

constexpr std::int64_t kSnapshotBytes = 3 * 256 * 256 * 4;

class SnapshotPolicy : public ::testing::Test {
 protected:
  void SetUp() override {
    AppManager().setCurrentPaint(canvas);
    AppManager().setLimitedHeap(1);
  }
  std::shared_ptr<RecordingStep> record(const std::string& name, bool holdingSnapshot = false) {
    auto s = std::make_shared<RecordingStep>(name, &journal);
    if (holdingSnapshot) s->snapshot = request();
    manager.append(std::shared_ptr<ArtworkDrawingOperation>(s));
    return s;
  }
  std::shared_ptr<ArtworkData> request() { return manager.newArtworkData(canvas, canvas->currentContent()); }
  std::int64_t heap() const { return AppManager().heapSize(); }

  std::shared_ptr<testsupport::TestCanvas> canvas = testsupport::makeCanvas(80, 64, 1.0, 2);
  CommandManager manager{canvas};
  Strings journal;
};

TEST_F(SnapshotPolicy, BelowTheLimitASnapshotOfTheGivenLayerIsMade) {
  const auto start = heap();
  auto descriptor = gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA8Unorm, 40, 24, false);
  auto snapshot = manager.newArtworkData(canvas, canvas->layers()[0], descriptor);

  ASSERT_NE(snapshot, nullptr);
  EXPECT_TRUE(snapshot->isValid());
  EXPECT_EQ(snapshot->layer(), canvas->layers()[0]);  // the given layer, not the current one
  EXPECT_EQ(snapshot->size(), (gpu::Size{40, 24, 1}));
  EXPECT_EQ(heap() - start, 3 * 40 * 24 * 4);
  // By default a snapshot covers one working region.
  EXPECT_EQ(request()->size(), (gpu::Size{256, 256, 1}));
}

TEST_F(SnapshotPolicy, AtTheLimitExactlyTheOldestStepGivesWayForOneRetry) {
  struct Case {
    const char* name;
    bool oldestHoldsSnapshot;  // its release brings the count below the limit
    bool expectSnapshot;
  };
  for (const Case& c : {Case{"oldest frees enough", true, true}, Case{"oldest frees nothing", false, false}}) {
    SCOPED_TRACE(c.name);
    manager.clean();
    journal.clear();
    auto a = record("A", c.oldestHoldsSnapshot);
    auto b = record("B", !c.oldestHoldsSnapshot);
    auto extra = request();  // a second snapshot reaches the limit
    ASSERT_TRUE(AppManager().isReachMaxHeap());
    journal.clear();

    auto snapshot = request();
    EXPECT_EQ(snapshot != nullptr, c.expectSnapshot);
    EXPECT_EQ(journal, (Strings{"release A"}));
    EXPECT_EQ(manager.operationPool().operations().size(), 1u);
    EXPECT_EQ(manager.operationPool().currentOperation(), 0);
    if (snapshot) snapshot->release();
    extra->release();
  }
}

TEST_F(SnapshotPolicy, AtTheLimitTheRebuildsSpareWorkingSetsGiveWayBeforeAnyStep) {
  ASSERT_TRUE(AppManager().surfaceTextures().makeAll());
  AppManager().setLimitedHeap(64);
  auto& spare = AppManager().regionWorkingSets();
  spare.sets(2);
  ASSERT_EQ(spare.extraSets(), 1u);
  auto a = record("A", true);
  // The limit where the count stands now; the spare set's memory alone makes room for a snapshot.
  AppManager().setLimitedHeap(heap() / (1024 * 1024));
  ASSERT_TRUE(AppManager().isReachMaxHeap());
  journal.clear();

  auto snapshot = request();
  EXPECT_NE(snapshot, nullptr);
  EXPECT_EQ(spare.extraSets(), 0u);
  EXPECT_TRUE(journal.empty()) << "no step gave way";
  EXPECT_TRUE(manager.canUndo());
}

TEST_F(SnapshotPolicy, AnEmptyPoolAtTheLimitGivesNothing) {
  AppManager().setHeapSize(1024 * 1024);
  testsupport::ConsoleCapture console;
  EXPECT_EQ(request(), nullptr);
  EXPECT_TRUE(console.lines().empty());  // no texture was asked for
  EXPECT_EQ(heap(), 1024 * 1024);
}

TEST_F(SnapshotPolicy, UndoneStepsAreDiscardedBeforeAnythingIsMade) {
  record("A");
  auto b = record("B");
  manager.undo();
  std::size_t requestsAtRelease = 99;
  b->onRelease = [&](RecordingStep&) { requestsAtRelease = gpu::testControls().textureRequests(); };
  const std::size_t before = gpu::testControls().textureRequests();

  ASSERT_NE(request(), nullptr);
  EXPECT_EQ(b->releases, 1);
  EXPECT_EQ(requestsAtRelease, before);
  EXPECT_FALSE(manager.hasErasableData());
}

TEST_F(SnapshotPolicy, AnInvalidSnapshotHandsBackTheTexturesItGot) {
  auto a = record("A");
  const auto start = heap();
  gpu::testControls().failTextureRequest(2);  // the first attempt gets grid and dry, no wet

  auto snapshot = request();
  ASSERT_NE(snapshot, nullptr);  // the retry succeeds
  EXPECT_EQ(heap() - start, kSnapshotBytes);
  EXPECT_EQ(a->releases, 1);  // the oldest step gives way whatever the failure

  // Both attempts failing leave the count where it was.
  record("B");
  const auto again = heap();
  gpu::testControls().failTexturesWhere([](const gpu::TextureDescriptor& d) { return d.width == 256; });
  EXPECT_EQ(request(), nullptr);
  EXPECT_EQ(heap(), again);
}

TEST_F(SnapshotPolicy, ASnapshotAskedForFromARedoKeepsTheRestOfTheRedoChain) {
  auto a = record("A"), b = record("B");
  manager.undo(), manager.undo();
  std::shared_ptr<ArtworkData> retaken;
  a->onRedo = [&](RecordingStep&) { retaken = request(); };

  manager.redo();
  EXPECT_NE(retaken, nullptr);
  EXPECT_EQ(b->releases, 0);
  EXPECT_TRUE(manager.canRedo());
  EXPECT_EQ(manager.redo(), b);
}

TEST_F(SnapshotPolicy, AStepBeingUndoneOrRedoneNeverGivesItselfUp) {
  struct Case {
    const char* name;
    bool redo;
    bool olderStep;  // an older step holding a snapshot can give way; the retry then succeeds
  };
  for (const Case& c : {Case{"redo of the oldest", true, false}, Case{"redo of a later step", true, true},
                        Case{"undo of the oldest", false, false}}) {
    SCOPED_TRACE(c.name);
    manager.clean();
    std::shared_ptr<RecordingStep> older;
    if (c.olderStep) older = record("older", true);
    auto step = record("step");
    auto laterUndone = record("later");
    manager.undo();
    if (c.redo) manager.undo();
    std::vector<std::shared_ptr<ArtworkData>> held(c.olderStep ? 1 : 2);
    for (auto& snapshot : held) snapshot = std::make_shared<ArtworkData>(canvas);  // outside the history
    ASSERT_TRUE(AppManager().isReachMaxHeap());
    std::shared_ptr<ArtworkData> retaken;
    (c.redo ? step->onRedo : step->onUndo) = [&](RecordingStep&) { retaken = request(); };

    EXPECT_EQ(c.redo ? manager.redo() : manager.undo(), step);
    EXPECT_EQ(step->releases, 0);
    EXPECT_EQ(retaken != nullptr, c.olderStep);
    if (older) {
      EXPECT_EQ(older->releases, 1);
    }
    EXPECT_EQ(laterUndone->releases, c.redo ? 0 : 1);  // an undo's request still discards undone steps
    const auto& pool = manager.operationPool();
    EXPECT_EQ(pool.operations().size(), static_cast<std::size_t>(pool.lastOperation() + 1));
    if (c.redo) {
      EXPECT_EQ(pool.operations()[static_cast<std::size_t>(pool.currentOperation())], step);
    }
    if (retaken) retaken->release();
    for (auto& snapshot : held) snapshot->release();
  }
}

TEST_F(SnapshotPolicy, ALayerThatCannotHoldASnapshotStopsFatally) {
  EXPECT_FATAL(manager.newArtworkData(canvas, nullptr),
               "OperationPool.newArtworkData: the layer is not an ArtworkTextures");
}

}  // namespace
}  // namespace tessivarium
