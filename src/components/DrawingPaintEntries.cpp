// The canvas's layer entries: each builds the undo step of its change, whose construction performs
// it, and records it in the canvas's history (or releases it on a canvas without one). An entry
// given a layer that is not in this canvas's stack (the background, a layer the host made beside
// the stack, a deleted or released one), or called on a canvas without layers, does nothing; so
// does one whose change would change nothing (a merge of fewer than two layers, hiding a hidden
// layer), so that every recorded step's undo gives back the state before it.

#include <algorithm>

#include "commands/CommandManager.h"
#include "commands/LayerOperations.h"
#include "components/DrawingPaint.h"

namespace tessivarium {

const std::shared_ptr<CommandManager>& DrawingPaint::commandManager() {
  if (!commandManager_) commandManager_ = std::make_shared<CommandManager>(shared_from_this());
  return commandManager_;
}

void DrawingPaint::releaseHistory() {
  if (commandManager_) commandManager_->clean();
}

namespace {

// Records a performed step, or gives it up when the canvas keeps no history or the change could not
// be made.
void keep(DrawingPaint& canvas, const std::shared_ptr<AbstractLayerOperation>& step) {
  if (canvas.supportCommand() && !step->failed()) {
    canvas.commandManager()->append(step);
  } else {
    step->release();
  }
}

}  // namespace

void DrawingPaint::layerCreate() {
  if (layers_.empty()) return;
  keep(*this, AbstractLayerOperation::make<LayerCreateOperation>(shared_from_this()));
}

// A change of selection is never recorded.
void DrawingPaint::layerGoUp() {
  const auto layer = currentContent();
  if (!layer) return;
  const auto step = AbstractLayerOperation::make<LayerGoUpOperation>(shared_from_this(), layer);
  if (!supportCommand_) step->release();
}

void DrawingPaint::layerGoDown() {
  const auto layer = currentContent();
  if (!layer) return;
  const auto step = AbstractLayerOperation::make<LayerGoDownOperation>(shared_from_this(), layer);
  if (!supportCommand_) step->release();
}

void DrawingPaint::layerMerge(const std::vector<std::shared_ptr<Layer>>& layers) {
  std::vector<std::shared_ptr<ArtworkTextures>> distinct;
  for (const auto& layer : layers) {
    const auto target = own(layer);
    if (!target) return;
    if (std::find(distinct.begin(), distinct.end(), target) == distinct.end()) distinct.push_back(target);
  }
  // One layer merged into a new one would only move its paint to the front.
  if (distinct.size() < 2) return;
  keep(*this, AbstractLayerOperation::make<LayerMergeOperation>(shared_from_this(), layers));
}

void DrawingPaint::layerHidden(const std::shared_ptr<Layer>& layer, bool isHidden) {
  const auto target = layer ? own(layer) : currentContent();
  if (!target || target->isHidden() == isHidden) return;
  keep(*this, AbstractLayerOperation::make<LayerHiddenOperation>(shared_from_this(), target, isHidden));
}

void DrawingPaint::layerClean(const std::shared_ptr<Layer>& layer) {
  const auto target = layer ? own(layer) : currentContent();
  if (!target) return;
  keep(*this, AbstractLayerOperation::make<LayerCleanOperation>(shared_from_this(), target));
}

void DrawingPaint::layerMoveDown(const std::shared_ptr<Layer>& layer) {
  if (const auto target = own(layer)) {
    keep(*this, AbstractLayerOperation::make<LayerMoveDownOperation>(shared_from_this(), target));
  }
}

void DrawingPaint::layerMoveUp(const std::shared_ptr<Layer>& layer) {
  if (const auto target = own(layer)) {
    keep(*this, AbstractLayerOperation::make<LayerMoveUpOperation>(shared_from_this(), target));
  }
}

void DrawingPaint::layerDuplicate(const std::shared_ptr<Layer>& layer) {
  if (layers_.empty()) return;
  if (const auto target = own(layer)) {
    keep(*this, AbstractLayerOperation::make<LayerDuplicateOperation>(shared_from_this(), target));
  }
}

bool DrawingPaint::layerDelete(const std::shared_ptr<Layer>& layer) {
  if (layers_.size() <= 1) return false;
  const auto target = layer ? own(layer) : currentContent();
  if (!target) return false;
  keep(*this, AbstractLayerOperation::make<LayerDeleteOperation>(shared_from_this(), target));
  return true;
}

void DrawingPaint::layerCopyFrom(const std::shared_ptr<Layer>& layer, const std::shared_ptr<Layer>& from) {
  // The source may be any live layer, of another canvas too (a palette's): the copy takes the
  // extent the two have in common.
  const auto target = own(layer);
  const auto source = std::dynamic_pointer_cast<ArtworkTextures>(from);
  if (!target || !source || !source->isCounted()) return;
  keep(*this, AbstractLayerOperation::make<LayerCopyFromOperation>(shared_from_this(), target, source));
}

}  // namespace tessivarium
