// Undo steps where the result is easy to get subtly wrong: the selection after a create undo when
// a back layer was current, sliver rectangles of a stroke, a deleted layer's view, and the
// selection at both ends of the stack.

#include <gtest/gtest.h>

#include "LayerTestSupport.h"
#include "commands/CommandManager.h"
#include "commands/DrawingArtworkDrawingOperation.h"
#include "components/ArtworkData.h"
#include "commands/LayerOperations.h"

namespace tessivarium {
namespace {

using namespace layertest;
using Layers = std::vector<std::shared_ptr<ArtworkTextures>>;

class UndoFaults : public ::testing::Test {
 protected:
  UndoFaults() {
    testsupport::useFakeTool();
    canvas = testsupport::makeCanvas(24, 16, 1.0, 3);
    AppManager().setCurrentPaint(canvas);
    a = canvas->layers()[0], b = canvas->layers()[1], c = canvas->layers()[2];
  }
  CommandManager& history() { return *canvas->commandManager(); }

  std::shared_ptr<testsupport::TestCanvas> canvas;
  std::shared_ptr<ArtworkTextures> a, b, c;
};

// The new layer goes to the front; undoing it selects the layer that was current, wherever it is,
// and redoing it selects the new layer again.
TEST_F(UndoFaults, CreateUndoSelectsTheLayerCurrentBeforeIt) {
  for (const auto& current : {a, b}) {
    canvas->setLayerIndex(current->index());
    canvas->layerCreate();
    ASSERT_EQ(canvas->layers().size(), 4u);
    const auto created = canvas->layers()[3];
    history().undo();
    EXPECT_EQ(canvas->layers(), (Layers{a, b, c}));
    EXPECT_EQ(canvas->currentContent(), current) << current->index();
    history().redo();
    EXPECT_EQ(canvas->currentContent(), created);
    history().undo();
  }
}

// A stroke's rectangles that keep less than one whole texel inside the layer need no snapshot and
// must not cost the stroke its undo.
TEST_F(UndoFaults, SliverRectanglesTakeNoSnapshot) {
  canvas->saveBefore(c);
  auto step = std::make_shared<DrawingArtworkDrawingOperation>(canvas, c);
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

// A deleted layer stays alive in its step but leaves the view tree and draws no more frames.
TEST_F(UndoFaults, ADeletedLayerKeepsNoViewDelegate) {
  ASSERT_EQ(canvas->currentContent(), c);
  ASSERT_TRUE(c->metalView()->delegate());
  EXPECT_TRUE(canvas->layerDelete(c));
  EXPECT_EQ(c->metalView()->superview(), nullptr);
  EXPECT_FALSE(c->metalView()->delegate());
}

// Selecting past either end of the stack stays on the end layer.
TEST_F(UndoFaults, SelectionStopsAtBothEndsOfTheStack) {
  struct Case {
    std::int64_t from;
    bool up;
    std::int64_t to;
  };
  for (const Case s : {Case{0, false, 0}, Case{1, false, 0}, Case{1, true, 2}, Case{2, true, 2}}) {
    canvas->setLayerIndex(s.from);
    s.up ? canvas->layerGoUp() : canvas->layerGoDown();
    EXPECT_EQ(canvas->layerIndex(), s.to) << s.from << (s.up ? " up" : " down");
  }
}

}  // namespace
}  // namespace tessivarium
