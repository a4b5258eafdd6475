#pragma once
// The region undo steps: a step that keeps a copy of one rectangle of a layer's grid, wet and dry
// textures as they were before a change (a region snapshot from the history's memory-bounded
// pool) and copies it back on undo; redo takes a fresh copy. A rectangle is in cells of the
// layer's data textures and is always clipped to the layer; "the whole layer" is the data
// textures' size. When the canvas keeps no history, or the pool can give no snapshot, the step
// works without one and its undo changes nothing.
//
// The image import places a picture into a layer's dry or wet paint at a point, taking the
// snapshot of the cells under the picture first. Main thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "commands/AbstractArtworkDrawingOperation.h"
#include "graphics/Geometry.h"

namespace gpu {
class Texture;
}

namespace graphics {
class Image;
}

namespace tessivarium {

class ArtworkData;
class ArtworkTextures;

class AbstractRegionOperation : public AbstractArtworkDrawingOperation {
 public:
  AbstractRegionOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer);

  // The snapshot; none after construction and after every undo.
  const std::shared_ptr<ArtworkData>& beforeData() const { return beforeData_; }

  // Takes the snapshot of the rectangle (already clipped to the layer) of the step's layer: a new
  // one when none is held, on a canvas that keeps a history.
  void initializeBeforeData(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height);

  // Copies the snapshot back into the layer, frees it and forgets it.
  void undo() override;
  // Frees the snapshot when one is held.
  void release() override;
  // The snapshot's.
  std::int64_t heldBytes() const override;

 protected:
  ArtworkTextures& targetLayer() const;

 private:
  std::shared_ptr<ArtworkData> beforeData_;
};

// A rectangle of a layer, fixed at construction; each redo takes its snapshot.
class RegionBeforeOperation final : public AbstractRegionOperation {
 public:
  // The whole layer.
  RegionBeforeOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer);
  // The rectangle's origin and size each cut toward zero to whole cells, then clipped.
  RegionBeforeOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer,
                        const graphics::Rect& rect);
  RegionBeforeOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer, std::int64_t x,
                        std::int64_t y, std::int64_t width, std::int64_t height);

  std::int64_t x() const { return x_; }
  std::int64_t y() const { return y_; }
  std::int64_t width() const { return width_; }
  std::int64_t height() const { return height_; }
  graphics::Rect rect() const;

  void redo() override;

 private:
  std::int64_t x_ = 0, y_ = 0, width_ = 0, height_ = 0;
};

class ImageImportOperation final : public AbstractRegionOperation {
 public:
  // Whether a picture's top-left corner may go to `at`: both coordinates finite, at least 0 and
  // below 2^32 (the kernel takes them as unsigned 32-bit integers).
  static bool acceptsPoint(graphics::Point at);

  // Builds the step and imports at once: the picture goes into a texture of its size (each side
  // cut toward zero), the cells under it are snapshot, and the dry (or, with `inWet`, the wet)
  // import pass lays it into the layer with `thickness` (none: the shared pass keeps its last
  // value). `completed` becomes the current layer's draw handler after each import. The point
  // must be accepted (a fatal stop otherwise; the layer's importImage checks it first).
  static std::shared_ptr<ImageImportOperation> make(const std::shared_ptr<DrawingPaint>& paint,
                                                    std::shared_ptr<Layer> layer,
                                                    const std::shared_ptr<graphics::Image>& image, graphics::Point at,
                                                    std::optional<float> thickness, bool inWet,
                                                    std::function<void()> completed);

  const std::shared_ptr<gpu::Texture>& imageTexture() const { return imageTexture_; }
  graphics::Point at() const { return at_; }
  const std::optional<float>& thickness() const { return thickness_; }
  bool inWet() const { return inWet_; }

  void redo() override;
  // Frees the snapshot and gives the picture texture back.
  void release() override;
  // The snapshot's and the picture texture's.
  std::int64_t heldBytes() const override;

  ImageImportOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer,
                       const std::shared_ptr<graphics::Image>& image, graphics::Point at,
                       std::optional<float> thickness, bool inWet, std::function<void()> completed);

 private:
  std::shared_ptr<gpu::Texture> imageTexture_;
  graphics::Point at_;
  std::optional<float> thickness_;
  bool inWet_;
  std::function<void()> completed_;
};

}  // namespace tessivarium
