// Seeded random runs of recording, undo, redo, clean and snapshot requests against a plain model
// of the history (a list of step names and the index of the newest step in effect). Some steps
// retake their snapshot on every redo, as region steps do; some requests meet an injected
// texture failure. After every operation: the index model holds and matches the model; a step is
// released exactly once, when and only when it leaves the history; the counted texture memory is
// the bytes of the snapshots the history's steps hold; no snapshot is made at the limit unless a
// step gave way first, and at most one step gives way per request. The canvas's snapshot before a
// stroke is asked for too, failures falling on it as well: it is counted once whole, never in part.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestCanvas.h"
#include "RecordingStep.h"
#include "commands/CommandManager.h"
#include "components/ArtworkData.h"
#include "foundation/Console.h"
#include "gpu/TestControls.h"
#include "gpu/TextureDescriptor.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {
namespace {

using commands_test::RecordingStep;

// Five snapshots of 3 x 128 x 128 x 4 bytes fit under 1 MB, the sixth reaches it.
constexpr std::size_t kSide = 128;
constexpr std::int64_t kSnapshotBytes = 3 * kSide * kSide * 4;

class HistoryRun {
 public:
  explicit HistoryRun(std::uint32_t seed) : random_(seed) {
    AppManager().setCurrentPaint(canvas_);
    AppManager().setLimitedHeap(1);
    baseline_ = AppManager().heapSize();
  }

  void step() {
    switch (pick(0, 9)) {
      case 0: case 1: case 2: record(); break;
      case 3: case 4: case 5: undo(); break;
      case 6: case 7: redo(); break;
      case 8: pick(0, 19) == 0 ? clean() : pick(0, 1) == 0 ? bareRequest() : strokeSnapshot(); break;
      default: injectFailure(); break;
    }
    check();
  }

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  std::shared_ptr<ArtworkData> request() {
    const std::size_t failingBefore = failingIn_;
    const std::size_t historyBefore = manager_.operationPool().operations().size();
    std::int64_t heapBefore = AppManager().heapSize();  // once the undone steps are gone
    if (!inRedo_) {
      for (std::size_t i = static_cast<std::size_t>(current_ + 1); i < names_.size(); ++i)
        heapBefore -= bytesHeldBy(names_[i]);
      discardUndone();
    }
    const std::string oldest = names_.empty() ? "" : names_.front();
    const std::int64_t oldestBytes = names_.empty() ? 0 : bytesHeldBy(oldest);

    auto snapshot = manager_.newArtworkData(canvas_, canvas_->currentContent(), descriptor_);
    consumeFailure();

    const auto& ops = manager_.operationPool().operations();
    const bool gaveWay = ops.size() < names_.size();
    if (gaveWay) {
      EXPECT_EQ(names_.size() - ops.size(), 1u) << "more than one step gave way";
      EXPECT_NE(oldest, inProgress_) << "the step being redone gave itself up";
      names_.erase(names_.begin());
      current_ -= 1;
    }
    EXPECT_LE(ops.size(), historyBefore);
    const std::int64_t limit = 1024 * 1024;
    if (snapshot && !gaveWay) {
      EXPECT_TRUE(heapBefore < limit) << "a snapshot was made at the limit";
    }
    if (snapshot && gaveWay) {
      EXPECT_TRUE(heapBefore - oldestBytes < limit || failingBefore != 0);
    }
    return snapshot;
  }

  // The model of a snapshot request's first step (none from within a redo).
  void discardUndone() {
    while (static_cast<std::int64_t>(names_.size()) - 1 > current_) names_.pop_back();
  }

  void record() {
    std::string name = "S";  // appended to: GCC 12 warns falsely (-Wrestrict) of "S" + a temporary
    name += std::to_string(made_++);
    auto s = std::make_shared<RecordingStep>(std::move(name), nullptr);
    steps_.push_back(s);
    if (pick(0, 1) == 0) {
      s->snapshot = request();
      if (!s->snapshot) {  // a step whose snapshot cannot be had is not recorded
        s->release();
        return;
      }
    }
    if (pick(0, 2) == 0) {
      s->onRedo = [this](RecordingStep& self) {
        if (self.snapshot) self.snapshot->release();
        self.snapshot = request();
      };
    }
    manager_.append(std::shared_ptr<ArtworkDrawingOperation>(s));
    discardUndone();
    names_.push_back(s->name());
    current_ = static_cast<std::int64_t>(names_.size()) - 1;
  }

  void undo() {
    auto undone = manager_.undo();
    if (current_ < 0) {
      EXPECT_EQ(undone, nullptr);
      return;
    }
    ASSERT_NE(undone, nullptr);
    EXPECT_EQ(undone->name(), names_[static_cast<std::size_t>(current_)]);
    current_ -= 1;
  }

  void redo() {
    if (current_ + 1 >= static_cast<std::int64_t>(names_.size())) {
      EXPECT_EQ(manager_.redo(), nullptr);
      return;
    }
    current_ += 1;
    inProgress_ = names_[static_cast<std::size_t>(current_)];
    inRedo_ = true;
    auto redone = manager_.redo();
    inRedo_ = false;
    ASSERT_NE(redone, nullptr);
    EXPECT_EQ(redone->name(), inProgress_);
    inProgress_.clear();
  }

  void clean() {
    manager_.clean();
    names_.clear();
    current_ = -1;
  }

  void bareRequest() {
    if (auto snapshot = request()) snapshot->release();
  }

  // The canvas's snapshot before a stroke: made whole or not kept at all. Until it is whole, its
  // first attempts fail at its first, second and third texture.
  void strokeSnapshot() {
    if (beforeBytes_ == 0 && failingIn_ == 0 && snapshotFailures_ < 3) {
      failingIn_ = ++snapshotFailures_;
      gpu::testControls().failTextureRequest(failingIn_);
    }
    const bool saved = canvas_->saveBefore(canvas_->currentContent());
    consumeFailure();
    if (saved) beforeBytes_ = 3 * 64 * 48 * 4;
    EXPECT_EQ(saved, beforeBytes_ != 0) << "a whole snapshot stays whole";
  }

  void injectFailure() {
    if (failingIn_ != 0) return;
    failingIn_ = static_cast<std::size_t>(pick(1, 3));
    gpu::testControls().failTextureRequest(failingIn_);
  }
  // Each attempt asks for three textures; the injected failure spoils the attempt it falls in.
  void consumeFailure() {
    const std::size_t made = gpu::testControls().textureRequests() - requestsSeen_;
    requestsSeen_ += made;
    failingIn_ = made >= failingIn_ ? 0 : failingIn_ - made;
  }

  std::int64_t bytesHeldBy(const std::string& name) const {
    for (const auto& s : steps_)
      if (s->name() == name && s->snapshot) return kSnapshotBytes;
    return 0;
  }

  void check() {
    const OperationPool& pool = manager_.operationPool();
    const auto& ops = pool.operations();
    ASSERT_EQ(static_cast<std::int64_t>(ops.size()), pool.lastOperation() + 1);
    ASSERT_LE(-1, pool.currentOperation());
    ASSERT_LE(pool.currentOperation(), pool.lastOperation());
    EXPECT_EQ(manager_.canUndo(), pool.currentOperation() >= 0);
    EXPECT_EQ(manager_.canRedo(), pool.currentOperation() < pool.lastOperation());
    EXPECT_EQ(pool.currentOperation(), current_);
    std::vector<std::string> names;
    for (const auto& op : ops) names.push_back(op->name());
    ASSERT_EQ(names, names_);

    std::int64_t held = 0;
    for (const auto& s : steps_) {
      const bool inHistory = std::find(names_.begin(), names_.end(), s->name()) != names_.end();
      ASSERT_EQ(s->releases, inHistory ? 0 : 1) << s->name();
      if (s->snapshot) held += kSnapshotBytes;
    }
    ASSERT_EQ(AppManager().heapSize() - baseline_, held + beforeBytes_);
  }

  std::mt19937 random_;
  std::shared_ptr<testsupport::TestCanvas> canvas_ = testsupport::makeCanvas(64, 48);
  CommandManager manager_{canvas_};
  std::shared_ptr<gpu::TextureDescriptor> descriptor_ =
      gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA8Unorm, kSide, kSide, false);
  std::vector<std::shared_ptr<RecordingStep>> steps_;
  std::vector<std::string> names_;
  std::int64_t current_ = -1;
  std::int64_t baseline_ = 0;
  std::int64_t beforeBytes_ = 0;
  std::size_t snapshotFailures_ = 0;
  int made_ = 0;
  bool inRedo_ = false;
  std::string inProgress_;
  std::size_t failingIn_ = 0;
  std::size_t requestsSeen_ = 0;
};

TEST(HistoryProperty, TenThousandRandomOperationsKeepTheHistorySound) {
  foundation::setConsoleSink([](std::string_view) {});
  for (std::uint32_t seed : {7u, 2026u, 90210u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    HistoryRun run(seed);
    for (int i = 0; i < 10000 && !::testing::Test::HasFatalFailure(); ++i) run.step();
  }
}

}  // namespace
}  // namespace tessivarium
