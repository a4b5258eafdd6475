#pragma once
// The composition of a layer's visible picture, one working region at a time:
// 1. texture passes turn the region's paint data into a height image, a colour image and alpha
//    images in the shared rendering textures (with the visible layers below folded in, in Stack
//    mode without the background);
// 2. the image graph shades the height image with the canvas's shading image, lays the colour
//    over it with a hard-light blend, applies the alpha and lays the paint picture over the dry
//    picture with the merge filter;
// 3. the result is scaled to the layer's picture resolution and its exact pixels (below) are
//    rendered at the region's place in the layer's painting texture.
//
// Exact pixels: a pixel's picture depends on the paint within 1.5 cells of its sample point (the
// shading's height differences reach one cell beyond it, their bilinear sampling half a cell
// more). So a region writes only the whole pixels whose sample points lie at least that far inside
// its cells, or reach the layer's edge where the region does; there it composes each of them
// exactly as one composition of the whole layer would, and regions that overlap write the same
// values. Like the whole layer's, no region writes the pixels whose sample points lie in the
// layer's one-cell border.
// Everything is encoded into the caller's command buffer, in that order; nothing is committed.
// Also: filling a texture with one colour, and a snapshot of a view tree into an image.
//
// No state of its own; the filters, the passes and the rendering textures are shared, so
// compositions are encoded one at a time, on the main thread. The work of compositions encoded in
// different working sets (the manager's surface textures swapped for the encoding) may run at once.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "graphics/Color.h"
#include "graphics/Image.h"
#include "imaging/Image.h"

namespace gpu {
class CommandBuffer;
class Texture;
}  // namespace gpu

namespace ui {
class View;
}

namespace tessivarium {

class DrawingPaint;

class CoreImageUtil {
 public:
  CoreImageUtil() = delete;

  // Whole picture pixels along one axis, from `first` up to, not including, `end`.
  struct PixelSpan {
    std::int64_t first = 0;
    std::int64_t end = 0;
  };

  // The exact pixels along one axis of the region whose first cell is `corner`, `regionCells` long,
  // on a layer side of `layerCells` cells at `scale` cells per pixel (pixel p samples cell
  // scale (p + 0.5)).
  static PixelSpan regionPixels(std::size_t corner, std::size_t regionCells, std::size_t layerCells, double scale);

  // Composes the working region whose first cell in the layer is (x, y) (whole cells) and renders
  // its exact pixels into `to` (a painting texture, cells / scale pixels, at the layers' data
  // scale) on `buffer`; no other texel is written. A composition that yields no image stops
  // fatally.
  static void render(DrawingPaint& paint, const std::shared_ptr<gpu::Texture>& to,
                     const std::shared_ptr<gpu::CommandBuffer>& buffer, double x, double y);
  // The picture of the working region whose first cell is (x, y) (its passes encoded on
  // `buffer`). Where the region reaches past the layer's edge, its relief ends at that edge, as
  // the whole layer's does: the working cells beyond hold no paint of this layer.
  static imaging::ImagePtr renderImage(DrawingPaint& paint, const std::shared_ptr<gpu::CommandBuffer>& buffer,
                                       double x, double y);
  // The height texture shaded with the canvas's shading image (which must be set), as the
  // foreground of a hard-light blend over the colour texture. Absent when no image can be made
  // over the height texture; a colour texture without an image stops fatally.
  static imaging::ImagePtr shaderImage(DrawingPaint& paint, const std::shared_ptr<gpu::Texture>& texture,
                                       const std::shared_ptr<gpu::Texture>& colorTexture);
  // Replaces every texel of the texture by the colour, at once, through a new image context on
  // the texture's device.
  static void setColor(const std::shared_ptr<gpu::Texture>& texture, const graphics::Color& color);
  // The view tree drawn into an image of its bounds times `scale`, one pixel per point; absent
  // when no image can be made.
  static std::shared_ptr<graphics::Image> createImage(const ui::View& view, double scale = 1.0);
};

}  // namespace tessivarium
