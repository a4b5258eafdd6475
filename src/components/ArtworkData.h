#pragma once
// A region snapshot: a copy of one rectangle of one layer's grid, wet and dry textures, in three
// textures of the rectangle's size, counted against the application manager's texture memory. It
// is the unit of memory of undo and redo. It copies in three directions, each a blit of the grid,
// wet and dry textures in that order:
// - save(): layer region -> snapshot;
// - load(): snapshot -> layer region;
// - copyFrom(): the same region of a whole-layer snapshot -> this snapshot (the other snapshot is
//   read at this snapshot's origin, so it must be aligned with the layer, as the canvas's `before`
//   is).
// Each copy is committed on the application manager's command queue without waiting; the queue
// runs command buffers in commit order, which is what the undo swap relies on.
//
// A texture the device could not make (NoMoreHeap, already reported when it was made) stays
// absent; every copy and the release skip it, so nothing is ever read, written or released
// through an absent texture. Blits clip their regions to both textures, so a region that reaches
// beyond the layer copies what lies inside. Main thread only.

#include <cstdint>
#include <memory>

#include "gpu/Types.h"

namespace gpu {
class BlitCommandEncoder;
class Texture;
struct TextureDescriptor;
}  // namespace gpu

namespace tessivarium {

class ArtworkTextures;
class DrawingPaint;
class Layer;

class ArtworkData {
 public:
  // A snapshot of the current layer of `paint` (default: the application manager's current
  // paint, which must be set) with three new textures made from `descriptor` (default: the
  // working textures' descriptor, 256 x 256), origin (0, 0, 0) and size the descriptor's width and
  // height. A texture that cannot be made stays absent and the snapshot is not valid.
  ArtworkData();
  explicit ArtworkData(std::shared_ptr<DrawingPaint> paint);
  ArtworkData(std::shared_ptr<DrawingPaint> paint, std::shared_ptr<gpu::TextureDescriptor> descriptor);
  ArtworkData(const ArtworkData&) = delete;
  ArtworkData& operator=(const ArtworkData&) = delete;

  // The canvas, not owned: it outlives its snapshots (none once it is gone).
  std::shared_ptr<DrawingPaint> paint() const { return paint_.lock(); }
  void setPaint(const std::shared_ptr<DrawingPaint>& paint) { paint_ = paint; }
  const std::shared_ptr<ArtworkTextures>& layer() const { return layer_; }
  void setLayer(std::shared_ptr<ArtworkTextures> layer) { layer_ = std::move(layer); }
  const std::shared_ptr<gpu::Texture>& gridTexture() const { return gridTexture_; }
  void setGridTexture(std::shared_ptr<gpu::Texture> texture) { gridTexture_ = std::move(texture); }
  const std::shared_ptr<gpu::Texture>& wetTexture() const { return wetTexture_; }
  void setWetTexture(std::shared_ptr<gpu::Texture> texture) { wetTexture_ = std::move(texture); }
  const std::shared_ptr<gpu::Texture>& dryTexture() const { return dryTexture_; }
  void setDryTexture(std::shared_ptr<gpu::Texture> texture) { dryTexture_ = std::move(texture); }
  // Where the region starts in the layer's textures.
  const gpu::Origin& origin() const { return origin_; }
  void setOrigin(const gpu::Origin& origin) { origin_ = origin; }
  // The region's width, height and depth 1.
  const gpu::Size& size() const { return size_; }
  void setSize(const gpu::Size& size) { size_ = size; }
  const std::shared_ptr<gpu::TextureDescriptor>& descriptor() const { return descriptor_; }

  // Points the snapshot at another canvas's current layer and origin; size and textures stay.
  void update(const std::shared_ptr<DrawingPaint>& paint, const gpu::Origin& origin);
  // All three textures present and of the descriptor's width (heights are not compared).
  bool isValid() const;
  // The texture memory counted for the textures present (none after release()).
  std::int64_t countedBytes() const;
  // Copies the layer's region into the snapshot. A given layer becomes the snapshot's layer; it
  // must be an ArtworkTextures (anything else stops fatally).
  void save(const std::shared_ptr<Layer>& layer = nullptr);
  // Copies the snapshot back into the layer's region, after making the canvas the current paint.
  // Without an encoder it uses its own command buffer and commits it; with one it only encodes
  // (the caller ends the encoder and commits). Either way, at once, the layer's view gets the
  // layer as its delegate again, unless it is hidden (ArtworkTextures::attachView), and the layer
  // is set to rebuild its picture (Recreated).
  void load(gpu::BlitCommandEncoder* encoder = nullptr);
  // Copies the region at this snapshot's origin and size out of `other` into this snapshot.
  void copyFrom(const ArtworkData& other);
  // Gives the textures back to the application manager's count; they become absent.
  void release();

 private:
  std::weak_ptr<DrawingPaint> paint_;
  std::shared_ptr<ArtworkTextures> layer_;
  std::shared_ptr<gpu::Texture> gridTexture_;
  std::shared_ptr<gpu::Texture> wetTexture_;
  std::shared_ptr<gpu::Texture> dryTexture_;
  gpu::Origin origin_;
  gpu::Size size_;
  std::shared_ptr<gpu::TextureDescriptor> descriptor_;
};

}  // namespace tessivarium
