// Layer steps where the selection and the stack after an undo are easy to get subtly wrong: a
// step built while a layer other than the front-most one is current.

#include <gtest/gtest.h>

#include "LayerTestSupport.h"
#include "commands/CommandManager.h"
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

}  // namespace
}  // namespace tessivarium
