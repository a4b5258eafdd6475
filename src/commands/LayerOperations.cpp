#include "commands/LayerOperations.h"

#include <algorithm>

#include "Application.h"
#include "ErrorMessage.h"
#include "commands/CommandManager.h"
#include "commands/RegionOperations.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"

namespace tessivarium {
namespace {

std::shared_ptr<ArtworkTextures> texturesOf(const std::shared_ptr<Layer>& layer) {
  auto textures = std::dynamic_pointer_cast<ArtworkTextures>(layer);
  if (!textures) foundation::fatalError("A layer step needs a layer that is an ArtworkTextures");
  return textures;
}

}  // namespace

// --- AbstractLayerOperation -----------------------------------------------------------------------------

AbstractLayerOperation::AbstractLayerOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer)
    : AbstractArtworkDrawingOperation(paint, std::move(layer)) {}

DrawingPaint& AbstractLayerOperation::canvas() const {
  const auto paint = this->paint();
  if (!paint) foundation::fatalError("A layer step outlived its canvas");
  return *paint;
}

ArtworkTextures& AbstractLayerOperation::stepLayer() const { return *texturesOf(layer()); }

void AbstractLayerOperation::restoreLayers() {
  DrawingPaint& paint = canvas();
  paint.setLayerIndex(layerIndex_ ? *layerIndex_ : stepLayer().index());
  paint.updateLayers();
}

void AbstractLayerOperation::putBackLayer(const std::shared_ptr<Layer>& layer) {
  const auto textures = texturesOf(layer ? layer : this->layer());
  canvas().insertLayer(textures, textures->index());
  textures->putBack();
}

// --- Restacking, selection, hiding, deletion -------------------------------------------------------------

template <typename Body>
bool AbstractLayerOperation::movesLayer(Body&& body) {
  const auto before = canvas().positionOf(stepLayer());
  body();
  return canvas().positionOf(stepLayer()) != before;
}

void LayerMoveUpOperation::redo() {
  moved_ = movesLayer([&] { canvas().doLayerMoveUp(layer()); });
}
void LayerMoveUpOperation::undo() {
  if (moved_) canvas().doLayerMoveDown(layer());
}

void LayerMoveDownOperation::redo() {
  moved_ = movesLayer([&] { canvas().doLayerMoveDown(layer()); });
}
void LayerMoveDownOperation::undo() {
  if (moved_) canvas().doLayerMoveUp(layer());
}

void LayerGoUpOperation::redo() { canvas().doLayerGoUp(); }
void LayerGoUpOperation::undo() { canvas().doLayerGoDown(); }

void LayerGoDownOperation::redo() { canvas().doLayerGoDown(); }
void LayerGoDownOperation::undo() { canvas().doLayerGoUp(); }

LayerHiddenOperation::LayerHiddenOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer,
                                           bool isHidden)
    : AbstractLayerOperation(paint, std::move(layer)), isHidden_(isHidden) {}

void LayerHiddenOperation::redo() { canvas().doLayerHidden(layer(), isHidden_); }
void LayerHiddenOperation::undo() { canvas().doLayerHidden(layer(), !isHidden_); }

void LayerDeleteOperation::redo() { canvas().doLayerDelete(layer(), true); }
void LayerDeleteOperation::undo() { putBackLayer(); }

// --- Creation, duplication, merging ---------------------------------------------------------------------

LayerCreateOperation::LayerCreateOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer)
    : AbstractLayerOperation(paint, layer ? std::move(layer) : (paint ? paint->currentLayer() : nullptr)) {}

void LayerCreateOperation::redo() {
  DrawingPaint& paint = canvas();
  if (createdLayer_) {
    putBackLayer(createdLayer_);
  } else {
    // Recording the step discards the undone steps; they go before the layer is made, since the
    // room the history made for it counts on their memory.
    if (paint.supportCommand()) paint.commandManager()->releaseUndone();
    try {
      paint.doLayerCreate();
      createdLayer_ = paint.currentLayer();
    } catch (const Error&) {
      Application().hanldeError(ErrorMessage::NoMoreHeap);
      failed_ = true;
      return;
    }
  }
  setLayerIndex(createdLayer_->index());
}

void LayerCreateOperation::undo() {
  if (createdLayer_) canvas().doLayerDelete(createdLayer_, false);
  setLayerIndex(std::nullopt);
}

void LayerCreateOperation::release() { createdLayer_.reset(); }

void LayerDuplicateOperation::redo() {
  LayerCreateOperation::redo();
  if (failed()) return;
  canvas().doLayerCopyFrom(createdLayer(), layer());
}

void LayerDuplicateOperation::undo() { LayerCreateOperation::undo(); }

LayerMergeOperation::LayerMergeOperation(const std::shared_ptr<DrawingPaint>& paint,
                                         const std::vector<std::shared_ptr<Layer>>& layers)
    : LayerCreateOperation(paint, nullptr) {
  for (const auto& layer : layers) {
    auto textures = texturesOf(layer);
    // A layer named twice is merged once: deleted twice, it would come back twice.
    if (std::find(layers_.begin(), layers_.end(), textures) == layers_.end()) layers_.push_back(std::move(textures));
  }
  std::stable_sort(layers_.begin(), layers_.end(), [](const auto& a, const auto& b) { return a->index() < b->index(); });
}

void LayerMergeOperation::redo() {
  DrawingPaint& paint = canvas();
  const bool again = createdLayer() != nullptr;
  // Made at the front, the merged layer goes back there, still holding the merged paint.
  if (again) texturesOf(createdLayer())->setIndex(static_cast<std::int64_t>(paint.layers().size()));
  LayerCreateOperation::redo();
  if (failed()) return;  // nothing received the layers' paint: they stay
  if (!again) texturesOf(createdLayer())->merge(layers_);
  for (auto it = layers_.rbegin(); it != layers_.rend(); ++it) paint.doLayerDelete(*it, false);
  paint.updateLayers();
}

void LayerMergeOperation::undo() {
  if (failed()) return;
  LayerCreateOperation::undo();
  for (const auto& layer : layers_) putBackLayer(layer);
}

// --- Region steps ---------------------------------------------------------------------------------------

AbstractLayerRegionOperation::AbstractLayerRegionOperation(const std::shared_ptr<DrawingPaint>& paint,
                                                           std::shared_ptr<Layer> layer,
                                                           std::optional<graphics::Rect> rect)
    : AbstractLayerOperation(paint, layer),
      regionBeforeOperation_(rect ? std::make_unique<RegionBeforeOperation>(paint, layer, *rect)
                                  : std::make_unique<RegionBeforeOperation>(paint, layer)) {}

AbstractLayerRegionOperation::~AbstractLayerRegionOperation() = default;

graphics::Rect AbstractLayerRegionOperation::region() const { return regionBeforeOperation_->rect(); }

void AbstractLayerRegionOperation::redo() { regionBeforeOperation_->redo(); }

void AbstractLayerRegionOperation::undo() { regionBeforeOperation_->undo(); }

void AbstractLayerRegionOperation::release() { regionBeforeOperation_->release(); }

std::int64_t AbstractLayerRegionOperation::heldBytes() const { return regionBeforeOperation_->heldBytes(); }

LayerCleanOperation::LayerCleanOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer)
    : AbstractLayerRegionOperation(paint, std::move(layer)) {}

void LayerCleanOperation::redo() {
  AbstractLayerRegionOperation::redo();
  canvas().doLayerClean(layer());
}

LayerCopyFromOperation::LayerCopyFromOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer,
                                               std::shared_ptr<Layer> from)
    : AbstractLayerRegionOperation(paint, std::move(layer)), from_(std::move(from)) {}

void LayerCopyFromOperation::redo() {
  AbstractLayerRegionOperation::redo();
  canvas().doLayerCopyFrom(layer(), from_);
}

LayerDryOperation::LayerDryOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer,
                                     std::optional<graphics::Rect> rect)
    : AbstractLayerRegionOperation(paint, std::move(layer), rect) {}

void LayerDryOperation::redo() {
  AbstractLayerRegionOperation::redo();
  stepLayer().doDry(region());
}

LayerWetOperation::LayerWetOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer,
                                     double wetness, double thickness, std::optional<graphics::Rect> rect)
    : AbstractLayerRegionOperation(paint, std::move(layer), rect), wetness_(wetness), thickness_(thickness) {}

void LayerWetOperation::redo() {
  AbstractLayerRegionOperation::redo();
  stepLayer().doWet(wetness_, thickness_, region());
}

}  // namespace tessivarium
