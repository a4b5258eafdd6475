#pragma once
// The undo step of one painted stroke ("Painting"). While a tool paints, it appends to `rects`
// the layer regions the stroke writes back (texel coordinates of the layer's data textures).
// At the end of the stroke, save() keeps snapshots of those regions as they were before the
// stroke, copied out of the canvas's whole-layer copy `before`, grouped so that overlapping
// regions share snapshots (see RegionClustering). Undo and redo run the same exchange: the
// snapshots are written into the layer and refilled with the layer's texels of just before, so
// each call toggles the regions between the two states.
//
// Regions are clipped to the layer before they are grouped (a working window can reach beyond
// a layer smaller than itself), and regions with nothing left are dropped; every snapshot
// belongs to the step's own layer, the one the stroke painted. Main thread only; nothing waits
// for the GPU: the copies keep their order because every command buffer goes to the
// application manager's one queue.

#include <memory>
#include <optional>
#include <vector>

#include "commands/AbstractArtworkDrawingOperation.h"
#include "graphics/Geometry.h"

namespace tessivarium {

class ArtworkData;
class ArtworkTextures;

class DrawingArtworkDrawingOperation : public AbstractArtworkDrawingOperation {
 public:
  // A step of the application manager's current paint, which must be set.
  explicit DrawingArtworkDrawingOperation(std::shared_ptr<Layer> layer);
  DrawingArtworkDrawingOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer);

  // The regions the stroke wrote, in the order the tool appended them.
  const std::vector<graphics::Rect>& rects() const { return rects_; }
  std::vector<graphics::Rect>& rects() { return rects_; }
  // One flag per grouped region once save() has grouped them: set when it joined a group.
  const std::optional<std::vector<bool>>& done() const { return done_; }
  // Set when the history could give no snapshot; never cleared.
  bool noMemory() const { return noMemory_; }
  // The snapshots in the order they were made; absent before save() and after release().
  const std::optional<std::vector<std::shared_ptr<ArtworkData>>>& operations() const { return operations_; }

  // Makes the snapshots of `rects` from `before` and prints "Undo Save time <n>: <seconds>...".
  // When a snapshot cannot be had, sets noMemory, releases every snapshot made and prints
  // nothing; the stroke then stays on the layer and cannot be undone.
  void save(const ArtworkData& before);
  // Exchanges the snapshots with the layer; nothing without snapshots.
  void execute();

  void undo() override;
  void redo() override;
  void release() override;
  // The snapshots'.
  std::int64_t heldBytes() const override;

 private:
  // The step's layer, which must be an ArtworkTextures.
  std::shared_ptr<ArtworkTextures> textures() const;
  // `rects` clipped to the layer's data textures, empty ones dropped.
  std::vector<graphics::Rect> regionsInLayer() const;
  // One snapshot of `rect` from `before`, appended to `operations`; sets noMemory without one.
  void createArtworkData(const graphics::Rect& rect, const ArtworkData& before);

  std::vector<graphics::Rect> rects_;
  std::optional<std::vector<bool>> done_;
  bool noMemory_ = false;
  std::optional<std::vector<std::shared_ptr<ArtworkData>>> operations_;
};

}  // namespace tessivarium
