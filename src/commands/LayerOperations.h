#pragma once
// The layer undo steps: every change of a canvas's layer stack, and the whole-layer content changes
// a user can take back. A step is built by make(), which performs the change (redo()) and names the
// step; the canvas's entries then record it or release it. Undo and redo call the canvas's bodies
// (doLayerMoveUp(), doLayerDelete() ...); after each, the step selects a layer and has the canvas
// restack (restoreLayers()). The steps that change pixels hold a region snapshot taken just before
// the change and write it back on undo.
//
// A deleted, merged-away or undone-created layer stays alive, with its paint, in the step that
// refers to it; putting it back counts its textures again. A creation that fails for lack of
// texture memory is reported once as NoMoreHeap; the step then knows it failed, a duplicate or a
// merge does nothing further (a merge deletes nothing), and the entry releases the step instead of
// recording it. Main thread only.

#include <memory>
#include <optional>
#include <vector>

#include "commands/AbstractArtworkDrawingOperation.h"
#include "graphics/Geometry.h"

namespace tessivarium {

class ArtworkTextures;
class RegionBeforeOperation;

class AbstractLayerOperation : public AbstractArtworkDrawingOperation {
 public:
  AbstractLayerOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer);

  // Builds a step and performs it.
  template <typename Step, typename... Args>
  static std::shared_ptr<Step> make(Args&&... args) {
    auto step = std::make_shared<Step>(std::forward<Args>(args)...);
    step->redo();
    step->setName(Step::kName);
    return step;
  }

  // The canvas index to select after an undo or redo; none: the step layer's own index.
  const std::optional<std::int64_t>& layerIndex() const { return layerIndex_; }
  void setLayerIndex(std::optional<std::int64_t> index) { layerIndex_ = index; }
  // Whether the change could not be made (a creation without texture memory).
  virtual bool failed() const { return false; }

  // Selects the layer (layerIndex, or the step layer's index) and restacks the canvas.
  void restoreLayers();
  // Puts a layer a step removed (none: the step's layer) back at its former index, counted again.
  void putBackLayer(const std::shared_ptr<Layer>& layer = nullptr);
  // Runs a restacking body and says whether the step's layer changed its position.
  template <typename Body>
  bool movesLayer(Body&& body);

  void afterUndo() override { restoreLayers(); }
  void afterRedo() override { restoreLayers(); }

 protected:
  DrawingPaint& canvas() const;
  ArtworkTextures& stepLayer() const;

 private:
  std::optional<std::int64_t> layerIndex_;
};

class LayerMoveUpOperation final : public AbstractLayerOperation {
 public:
  static constexpr const char* kName = "Layer Move Up";
  using AbstractLayerOperation::AbstractLayerOperation;
  // Undoes only a move that happened: a layer already at the end of the stack stays where it is.
  void undo() override;
  void redo() override;

 private:
  bool moved_ = false;
};

class LayerMoveDownOperation final : public AbstractLayerOperation {
 public:
  static constexpr const char* kName = "Layer Move Down";
  using AbstractLayerOperation::AbstractLayerOperation;
  // Undoes only a move that happened: a layer already at the end of the stack stays where it is.
  void undo() override;
  void redo() override;

 private:
  bool moved_ = false;
};

class LayerGoUpOperation final : public AbstractLayerOperation {
 public:
  static constexpr const char* kName = "Layer Go Up";
  using AbstractLayerOperation::AbstractLayerOperation;
  void undo() override;
  void redo() override;
};

class LayerGoDownOperation final : public AbstractLayerOperation {
 public:
  static constexpr const char* kName = "Layer Go Down";
  using AbstractLayerOperation::AbstractLayerOperation;
  void undo() override;
  void redo() override;
};

class LayerHiddenOperation final : public AbstractLayerOperation {
 public:
  static constexpr const char* kName = "Hide Layer";
  LayerHiddenOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer, bool isHidden);
  bool isHidden() const { return isHidden_; }
  void undo() override;
  void redo() override;

 private:
  bool isHidden_;
};

class LayerDeleteOperation final : public AbstractLayerOperation {
 public:
  static constexpr const char* kName = "Delete Layer";
  using AbstractLayerOperation::AbstractLayerOperation;
  void undo() override;
  void redo() override;
};

// A new empty layer at the front, made current; a redo after an undo puts the same layer back.
class LayerCreateOperation : public AbstractLayerOperation {
 public:
  static constexpr const char* kName = "Create Layer";
  // `layer` none: the canvas's current layer.
  LayerCreateOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer = nullptr);

  const std::shared_ptr<Layer>& createdLayer() const { return createdLayer_; }
  void setCreatedLayer(std::shared_ptr<Layer> layer) { createdLayer_ = std::move(layer); }
  bool failed() const override { return failed_; }

  void undo() override;
  void redo() override;
  void release() override;

 private:
  std::shared_ptr<Layer> createdLayer_;
  bool failed_ = false;
};

// A new layer holding a copy of the step's layer.
class LayerDuplicateOperation final : public LayerCreateOperation {
 public:
  static constexpr const char* kName = "Duplicate Layer";
  using LayerCreateOperation::LayerCreateOperation;
  void undo() override;
  void redo() override;
};

// A new layer into which the listed layers are merged, in ascending index order; they leave the
// stack, and an undo puts each back at its former position. A redo puts the merged layer back at
// the front with the paint it kept, so that it ends where and as it was after the first run.
class LayerMergeOperation final : public LayerCreateOperation {
 public:
  static constexpr const char* kName = "Layer Merge";
  LayerMergeOperation(const std::shared_ptr<DrawingPaint>& paint, const std::vector<std::shared_ptr<Layer>>& layers);
  const std::vector<std::shared_ptr<ArtworkTextures>>& layers() const { return layers_; }
  void undo() override;
  void redo() override;

 private:
  std::vector<std::shared_ptr<ArtworkTextures>> layers_;
};

// A step that snapshots a region of its layer (none: the whole layer) before its change.
class AbstractLayerRegionOperation : public AbstractLayerOperation {
 public:
  AbstractLayerRegionOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer,
                               std::optional<graphics::Rect> rect = std::nullopt);
  ~AbstractLayerRegionOperation() override;

  const RegionBeforeOperation& regionBeforeOperation() const { return *regionBeforeOperation_; }

  void undo() override;
  // Takes the snapshot; the subclass then makes its change.
  void redo() override;
  void release() override;
  std::int64_t heldBytes() const override;

 protected:
  graphics::Rect region() const;

 private:
  std::unique_ptr<RegionBeforeOperation> regionBeforeOperation_;
};

class LayerCleanOperation final : public AbstractLayerRegionOperation {
 public:
  static constexpr const char* kName = "Clean Layer";
  LayerCleanOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer);
  void redo() override;
};

class LayerCopyFromOperation final : public AbstractLayerRegionOperation {
 public:
  static constexpr const char* kName = "Copy Layer";
  LayerCopyFromOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer,
                         std::shared_ptr<Layer> from);
  const std::shared_ptr<Layer>& from() const { return from_; }
  void redo() override;

 private:
  std::shared_ptr<Layer> from_;
};

class LayerDryOperation final : public AbstractLayerRegionOperation {
 public:
  static constexpr const char* kName = "Dry Layer";
  LayerDryOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer,
                    std::optional<graphics::Rect> rect);
  void redo() override;
};

class LayerWetOperation final : public AbstractLayerRegionOperation {
 public:
  static constexpr const char* kName = "Wet Layer";
  LayerWetOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer, double wetness,
                    double thickness, std::optional<graphics::Rect> rect);
  double wetness() const { return wetness_; }
  double thickness() const { return thickness_; }
  void redo() override;

 private:
  double wetness_;
  double thickness_;
};

}  // namespace tessivarium
