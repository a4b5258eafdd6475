// Whole strokes of real tools on a canvas with undo: each stroke's step keeps the layer as the
// stroke found it, so undoing the second of two overlapping strokes gives back the first's result;
// and in seeded runs of strokes, layer steps, hides, undos and redos, every change is one a step
// takes back exactly, while a stroke on a hidden layer changes nothing, then or later.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <string_view>

#include "ConsoleCapture.h"
#include "Globals.h"
#include "StrokeCanvas.h"
#include "graphics/Bitmap.h"
#include "graphics/Image.h"
#include "tools/brushes/FlatBrushTools.h"
#include "tools/knives/KnifeTools.h"
#include "tools/towels/TowelTool.h"
#include "tools/tubes/TubeTool.h"

namespace tessivarium {
namespace {

TEST(StrokeHistory, TwoStrokesThenOneUndoLeaveTheFirstStrokesResult) {
  testsupport::ConsoleCapture console;
  testsupport::StrokeCanvas paint;
  paint.use(std::make_shared<Knife1Tool>());
  paint.layWet(40, 40, 160, 160, {200, 60, 30, 40});
  const auto untouched = paint.layerBytes();

  paint.drag({50, 100}, {200, 100}, 30);
  const auto first = paint.layerBytes();
  ASSERT_NE(first, untouched);
  paint.drag({100, 50}, {100, 190}, 30);  // across the first stroke's mark
  ASSERT_NE(paint.layerBytes(), first);

  ASSERT_TRUE(paint.undo());
  EXPECT_EQ(paint.layerBytes(), first) << "the second stroke's step holds the layer as the first left it";
  ASSERT_TRUE(paint.undo());
  EXPECT_EQ(paint.layerBytes(), untouched);
}

// One layer as a run sees it: which layer, whether hidden, and its grid, wet and dry bytes hashed.
struct LayerState {
  const ArtworkTextures* layer;
  bool hidden;
  std::size_t paint;
  friend bool operator==(const LayerState&, const LayerState&) = default;
};
using CanvasState = std::vector<LayerState>;

// Seeded operations on a small canvas of two layers, four tools painting: after every operation (and
// the frames it asks for) the layers are compared with what the history says they must be. A
// stroke on a hidden layer changes no layer and records no step; any other change is recorded, and
// every undo and redo gives back the layers exactly as they were before and after the change, so
// that nothing of a hidden stroke can be painted later unrecorded either. Without `paintHidden` the
// run draws the same operations but skips the strokes on hidden layers.
class SeededStrokeRun {
 public:
  SeededStrokeRun(std::uint32_t seed, bool paintHidden) : random_(seed), paintHidden_(paintHidden) {
    paint_.use(tools_[0]);
    paint_.layWet(20, 20, 140, 100, {200, 60, 30, 40});
    paint_.canvas->layerCreate();
    paint_.canvas->commandManager()->clean();
    settle();
  }

  // Runs `count` operations; the canvas after each, hashed.
  std::vector<std::size_t> run(int count) {
    std::vector<std::size_t> trail;
    for (int i = 0; i < count; ++i) {
      step(std::to_string(i));
      if (::testing::Test::HasFatalFailure()) return trail;
      trail.push_back(hashOf(stateNow()));
    }
    return trail;
  }

  int hiddenStrokes() const { return hiddenStrokes_; }
  int checkedUndos() const { return checkedUndos_; }

 private:
  struct Recorded {
    CanvasState before, after;
    bool exact = true;  // no change outside the history came after it
  };

  unsigned below(unsigned n) { return static_cast<unsigned>(random_() % n); }
  double within(double n) { return static_cast<double>(random_() % 1000) / 1000.0 * n; }
  DrawingPaint& canvas() { return *paint_.canvas; }
  CommandManager& history() { return *canvas().commandManager(); }
  std::shared_ptr<Layer> anyLayer() { return canvas().layers()[below(static_cast<unsigned>(canvas().layers().size()))]; }

  static void settle() {
    for (int frame = 0; frame < 50 && ui::FrameSource::main().displayFrame() > 0; ++frame) {
    }
  }

  CanvasState stateNow() {
    CanvasState state;
    for (const auto& layer : canvas().layers()) {
      std::string bytes;
      for (const auto& texture : {layer->gridTexture(), layer->wetTexture(), layer->dryTexture()}) {
        const auto raw = TextureUtil::toRawData(*texture);
        bytes.append(raw.begin(), raw.end());
      }
      state.push_back({layer.get(), layer->isHidden(), std::hash<std::string_view>{}(bytes)});
    }
    return state;
  }

  // The paint of a layer that holds none.
  std::size_t emptyPaint() const {
    const auto& grid = *paint_.canvas->layers().front()->gridTexture();
    return std::hash<std::string_view>{}(std::string(3 * grid.width() * grid.height() * 4, '\0'));
  }

  // Positions, flags and paint: what the runs with and without hidden strokes must share.
  std::size_t hashOf(const CanvasState& state) const {
    std::size_t hash = static_cast<std::size_t>(paint_.canvas->layerIndex());
    for (const auto& layer : state) hash = hash * 1000003u ^ (layer.paint + layer.hidden);
    return hash;
  }

  const ArtworkDrawingOperation* newestStep() const {
    const auto& steps = paint_.canvas->commandManager()->operationPool().operations();
    return steps.empty() ? nullptr : steps.back().get();
  }

  void stroke() {
    auto& tool = tools_[below(static_cast<unsigned>(std::size(tools_)))];
    const bool fill = tool->canFillColor() && below(2) == 0;
    const auto colour = graphics::Color::fromRGBA(within(1), within(1), within(1), 1);
    const graphics::Point from{5 + within(290), 5 + within(190)}, to{5 + within(290), 5 + within(190)};
    const int samples = 4 + static_cast<int>(below(6));
    paint_.use(tool);
    if (fill) tool->fillColor(colour, 1.0f, 0.8f);
    if (paintHidden_ || !canvas().currentContent()->isHidden()) paint_.drag(from, to, samples, 0.8);
  }

  // The layer an operation may change, noted for step().
  std::shared_ptr<Layer> changing(std::shared_ptr<Layer> layer) {
    mayChange_ = layer.get();
    return layer;
  }

  // One operation, drawn from the seed whatever the run skips. Only the layer it notes may change
  // its paint (a stroke and an import the current layer's); the others at most come and go.
  std::string operate() {
    const auto r = [&](double n) { return within(n); };
    mayChange_ = nullptr;
    switch (below(32)) {
      case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 7:
        changing(canvas().currentLayer());
        stroke();
        return "stroke";
      case 8: canvas().layers().size() < 4 ? canvas().layerCreate() : canvas().layerDuplicate(anyLayer()); return "create";
      case 9: canvas().layerDelete(anyLayer()); return "delete";
      case 10: below(2) ? canvas().layerMoveDown(anyLayer()) : canvas().layerMoveUp(anyLayer()); return "move";
      case 11: canvas().layerMerge({anyLayer(), anyLayer()}); return "merge";
      case 12: case 13: case 14: case 15: {
        // Mostly the current layer, so that strokes often meet a hidden one.
        const auto layer = below(3) ? canvas().currentLayer() : anyLayer();
        canvas().layerHidden(layer, !layer->isHidden());
        return "hide";
      }
      case 16: canvas().setLayerIndex(below(4)); canvas().updateLayers(); return "select";
      case 17: canvas().layerClean(changing(anyLayer())); return "clean";
      case 18: changing(anyLayer())->dry(below(2) ? std::nullopt : std::optional(graphics::Rect(r(120), r(90), r(80), r(60)))); return "dry";
      case 19: changing(anyLayer())->wet(r(1), r(0.3), std::nullopt); return "wet";
      case 20: case 21: {
        std::vector<std::uint8_t> rgba(24 * 16 * 4);
        for (auto& byte : rgba) byte = static_cast<std::uint8_t>(random_());
        changing(canvas().currentLayer());
        anyLayer()->importImage(std::make_shared<graphics::Image>(graphics::Bitmap::make(24, 16, std::move(rgba), graphics::AlphaMode::Straight)),
                                graphics::Point(r(140), r(100)), 0.1f, below(2) == 0);
        return "import";
      }
      // Two that give every shown layer its frames back: a fresh start, and a shift no step records.
      case 22: canvas().cleanPaint(); return "clean all";
      case 23: canvas().move(static_cast<std::int64_t>(r(20)) - 10, static_cast<std::int64_t>(r(20)) - 10); return "shift";
      case 24: case 25: case 26: case 27: return "undo";
      default: return "redo";
    }
  }

  void step(const std::string& at) {
    const CanvasState before = stateNow();
    const auto* newest = newestStep();
    const auto& pool = history().operationPool();
    const std::int64_t current = pool.currentOperation();
    const bool hiddenStroke = canvas().currentContent()->isHidden();
    const std::string name = operate();
    const std::string label = at + " " + name;
    if (name == "undo" || name == "redo") {
      const bool undo = name == "undo";
      if (!(undo ? history().undo() : history().redo())) return;
      settle();
      const Recorded& step = recorded_.at(static_cast<std::size_t>(undo ? current : current + 1));
      if (!step.exact) {
        // Taken back or made again over paint the history never saw: no step's states hold now.
        for (auto& other : recorded_) other.exact = false;
        return;
      }
      ASSERT_EQ(stateNow(), undo ? step.before : step.after) << label;
      checkedUndos_ += undo;
      return;
    }
    settle();
    const CanvasState after = stateNow();
    if (name == "clean all") {
      recorded_.clear();
      for (const auto& layer : after) ASSERT_EQ(layer.paint, emptyPaint()) << label;
      return;
    }
    if (name == "shift") {
      for (auto& step : recorded_) step.exact = false;
      return;
    }
    if (name == "stroke" && hiddenStroke) {
      ++hiddenStrokes_;
      ASSERT_EQ(after, before) << label << ": a stroke on a hidden layer changes no layer";
      ASSERT_EQ(newestStep(), newest) << label << ": and records no step";
      ASSERT_EQ(pool.currentOperation(), current) << label;
      return;
    }
    if (newestStep() == newest && pool.currentOperation() == current) {
      ASSERT_EQ(after, before) << label << ": a change no step records";
      return;
    }
    ASSERT_EQ(pool.currentOperation(), pool.lastOperation()) << label;
    for (const LayerState& was : before) {
      const auto now = std::find_if(after.begin(), after.end(), [&](const LayerState& s) { return s.layer == was.layer; });
      if (now == after.end() || was.layer == mayChange_) continue;
      ASSERT_EQ(now->paint, was.paint) << label << ": another layer's paint";
    }
    recorded_.resize(static_cast<std::size_t>(pool.currentOperation()));
    recorded_.push_back({before, after});
  }

  std::mt19937 random_;
  bool paintHidden_;
  testsupport::StrokeCanvas paint_;
  std::shared_ptr<AbstractDrawingTool> tools_[4] = {std::make_shared<Knife2Tool>(), std::make_shared<FlatBrushTool>(),
                                                    std::make_shared<TubeTool>(), std::make_shared<TowelTool>()};
  std::vector<Recorded> recorded_;
  const Layer* mayChange_ = nullptr;
  int hiddenStrokes_ = 0, checkedUndos_ = 0;
};

// Each seed once with every stroke and once without those on hidden layers: the canvas after every
// operation is the same.
class StrokeHistoryRuns : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(StrokeHistoryRuns, ChangeOnlyWhatTheirStepsTakeBackAndAHiddenStrokeNothing) {
  testsupport::ConsoleCapture console;
  std::vector<std::size_t> painted, skipped;
  {
    SeededStrokeRun run(GetParam(), true);
    painted = run.run(160);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_GT(run.hiddenStrokes(), 5);
    EXPECT_GT(run.checkedUndos(), 10);
  }
  testsupport::resetGlobals();
  {
    SeededStrokeRun run(GetParam(), false);
    skipped = run.run(160);
  }
  ASSERT_EQ(painted.size(), skipped.size());
  for (std::size_t i = 0; i < painted.size(); ++i) {
    ASSERT_EQ(painted[i], skipped[i]) << "operation " << i << ": the hidden strokes showed later";
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, StrokeHistoryRuns, ::testing::Values(202u, 303u, 505u));

}  // namespace
}  // namespace tessivarium
