// Seeded runs of layer changes, undos and redos on a small canvas. After every operation the
// count of texture memory is exactly the stack's layers, the live snapshots and the fixed
// textures; every undo brings back the stack (its layer objects, their order and the bytes of
// their grid, wet and dry textures) as it was before the undone change, and every redo as it was
// after it. With a device that fails at a seeded point nothing crashes, no layer is left without
// its textures and no failed change is recorded.

#include <random>
#include <string_view>

#include <gtest/gtest.h>

#include "LayerTestSupport.h"
#include "commands/CommandManager.h"
#include "commands/LayerOperations.h"
#include "commands/RegionOperations.h"
#include "components/ArtworkData.h"
#include "gpu/TestControls.h"
#include "graphics/Bitmap.h"
#include "graphics/Image.h"

namespace tessivarium {
namespace {

using namespace layertest;

std::int64_t bytesIn(const std::shared_ptr<gpu::Texture>& texture) {
  return texture ? static_cast<std::int64_t>(texture->width() * texture->height() * texture->depth() * 4) : 0;
}

std::int64_t snapshotBytes(const std::shared_ptr<ArtworkData>& data) {
  return data ? bytesIn(data->gridTexture()) + bytesIn(data->wetTexture()) + bytesIn(data->dryTexture()) : 0;
}

// The texture memory the history's steps hold, each as much as it says it would give back.
std::int64_t historyBytes(CommandManager& history) {
  std::int64_t sum = 0;
  for (const auto& step : history.operationPool().operations()) {
    std::int64_t held = 0;
    if (auto* region = dynamic_cast<AbstractLayerRegionOperation*>(step.get())) {
      held = snapshotBytes(region->regionBeforeOperation().beforeData());
    } else if (auto* import = dynamic_cast<ImageImportOperation*>(step.get())) {
      held = snapshotBytes(import->beforeData()) + bytesIn(import->imageTexture());
    }
    EXPECT_EQ(step->heldBytes(), held) << step->name();
    sum += held;
  }
  return sum;
}

struct LayerState {
  const ArtworkTextures* layer;
  std::size_t grid, wet, dry;
  friend bool operator==(const LayerState&, const LayerState&) = default;
};
using StackState = std::vector<LayerState>;

std::size_t hashOf(const gpu::Texture& texture) {
  const auto bytes = bytesOf(texture);
  return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

StackState stateOf(const DrawingPaint& canvas) {
  StackState state;
  for (const auto& layer : canvas.layers()) {
    state.push_back({layer.get(), hashOf(*layer->gridTexture()), hashOf(*layer->wetTexture()), hashOf(*layer->dryTexture())});
  }
  return state;
}

std::shared_ptr<graphics::Image> pictureOf(std::size_t w, std::size_t h, std::uint8_t seed) {
  std::vector<std::uint8_t> rgba(w * h * 4);
  for (std::size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<std::uint8_t>(seed + i * 37);
  return std::make_shared<graphics::Image>(graphics::Bitmap::make(w, h, std::move(rgba), graphics::AlphaMode::Straight));
}

class SeededRun {
 public:
  SeededRun(double scale, std::uint32_t seed) : random_(seed) {
    testsupport::useFakeTool();
    canvas_ = testsupport::makeCanvas(64, 48, scale, 2);
    AppManager().setCurrentPaint(canvas_);
    for (const auto& layer : canvas_->layers()) paint(*layer);
    history_ = canvas_->commandManager().get();
    const auto& data = canvas_->layers()[0]->textureDataDescriptor();
    layerBytes_ = 3 * static_cast<std::int64_t>(data->width * data->height * 4) + 64 * 48 * 4;
    fixed_ = AppManager().heapSize() - 2 * layerBytes_;
  }

  // One seeded operation; returns its name.
  std::string step() {
    const auto& layers = canvas_->layers();
    const auto pick = [&] { return layers[random_() % layers.size()]; };
    const unsigned kind = layers.size() > 6 ? random_() % 3 + 1 : random_() % 14;
    const auto r = [&](int n) { return static_cast<double>(random_() % static_cast<unsigned>(n)); };
    switch (kind) {
      case 0: canvas_->layerCreate(); return "create";
      case 1: canvas_->layerDelete(pick()); return "delete";
      case 2: canvas_->layerMerge({pick(), pick()}); return "merge";
      case 3: canvas_->layerDuplicate(pick()); return "duplicate";
      case 4: canvas_->layerHidden(pick(), random_() % 2 == 0); return "hide";
      case 5: random_() % 2 ? canvas_->layerMoveDown(pick()) : canvas_->layerMoveUp(pick()); return "move";
      case 6: canvas_->layerClean(pick()); return "clean";
      case 7: pick()->dry(graphics::Rect(r(140) - 10, r(110) - 10, r(60), r(50))); return "dry";
      case 8: pick()->wet(r(100) / 100, r(100) / 100, random_() % 3 ? std::optional<graphics::Rect>() : graphics::Rect(r(80), r(60), r(40), r(30))); return "wet";
      case 9: pick()->importImage(pictureOf(5 + random_() % 9, 4 + random_() % 7, static_cast<std::uint8_t>(random_())),
                                  graphics::Point(r(140), r(110)), random_() % 2 ? std::optional<float>(0.1f) : std::nullopt,
                                  random_() % 2 == 0);
        return "import";
      case 10: canvas_->layerCopyFrom(pick(), pick()); return "copy";
      case 11: case 12: return undo();
      default: return redo();
    }
  }

  // Runs `count` operations, checking the accounting after each and, when `exact`, every undo and
  // redo against the states around the change.
  void run(int count, bool exact) {
    for (int i = 0; i < count; ++i) {
      const auto before = stateOf(*canvas_);
      const auto newest = newestStep();
      const std::string name = step();
      const std::string label = std::to_string(i) + " " + name;
      const auto& pool = history_->operationPool();
      mirror_.resize(std::min<std::size_t>(mirror_.size(), static_cast<std::size_t>(pool.lastOperation() + 1)));
      if (name != "undo" && name != "redo" && newestStep() != newest) {
        ASSERT_EQ(pool.currentOperation(), pool.lastOperation()) << label;
        mirror_.resize(static_cast<std::size_t>(pool.currentOperation()));
        mirror_.push_back({before, stateOf(*canvas_)});
      }
      if (exact && !expected_.empty()) {
        ASSERT_EQ(stateOf(*canvas_), expected_) << label;
        ++checked_;
      }
      expected_.clear();
      const auto heap = AppManager().heapSize();
      ASSERT_GE(heap, 0) << label;
      ASSERT_EQ(heap, fixed_ + static_cast<std::int64_t>(canvas_->layers().size()) * layerBytes_ + historyBytes(*history_))
          << label;
      for (const auto& layer : canvas_->layers()) ASSERT_TRUE(layer->isValid()) << label;
    }
  }

  // The undos and redos compared with the states around their change.
  int checked() const { return checked_; }

 private:
  const ArtworkDrawingOperation* newestStep() const {
    const auto& operations = history_->operationPool().operations();
    return operations.empty() ? nullptr : operations.back().get();
  }

  std::string undo() {
    const auto& pool = history_->operationPool();
    if (pool.canUndo() && static_cast<std::size_t>(pool.currentOperation()) < mirror_.size()) {
      expected_ = mirror_[static_cast<std::size_t>(pool.currentOperation())].first;
    }
    history_->undo();
    return "undo";
  }

  std::string redo() {
    const auto& pool = history_->operationPool();
    if (pool.canRedo() && static_cast<std::size_t>(pool.currentOperation() + 1) < mirror_.size()) {
      expected_ = mirror_[static_cast<std::size_t>(pool.currentOperation() + 1)].second;
    }
    history_->redo();
    return "redo";
  }

  void paint(ArtworkTextures& layer) {
    for (const auto& t : {layer.gridTexture(), layer.wetTexture(), layer.dryTexture()}) {
      fillPattern(*t, static_cast<std::uint8_t>(random_()));
    }
  }

  std::mt19937 random_;
  std::shared_ptr<testsupport::TestCanvas> canvas_;
  CommandManager* history_ = nullptr;
  std::int64_t layerBytes_ = 0, fixed_ = 0;
  std::vector<std::pair<StackState, StackState>> mirror_;  // per recorded step: before, after
  StackState expected_;
  int checked_ = 0;
};

class LayerHistoryProperty : public ::testing::TestWithParam<double> {};

TEST_P(LayerHistoryProperty, UndoAndRedoAreExactAndTheCountFollowsTheLayers) {
  SeededRun run(GetParam(), 7001);
  run.run(2000, true);
  EXPECT_GT(run.checked(), 200);
}

TEST_P(LayerHistoryProperty, AFailingDeviceCorruptsNothingAndRecordsNoFailedChange) {
  for (const std::uint32_t seed : {11u, 12u, 13u}) {
    SeededRun run(GetParam(), seed);
    run.run(150, false);
    std::mt19937 random(seed);
    gpu::testControls().failTextureRequest(1 + random() % 12);
    run.run(300, false);
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, LayerHistoryProperty, ::testing::Values(1.0, 2.0));

}  // namespace
}  // namespace tessivarium
