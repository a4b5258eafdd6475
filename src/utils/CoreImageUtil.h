#pragma once
// The composition of a layer's visible picture, one working region at a time:
// 1. texture passes turn the region's paint data into a height image, a colour image and alpha
//    images in the shared rendering textures (with the visible layers below folded in, in Stack
//    mode without the background);
// 2. the image graph shades the height image with the canvas's shading image, lays the colour
//    over it with a hard-light blend, applies the alpha and lays the paint picture over the dry
//    picture with the merge filter;
// 3. the result is scaled to the layer's picture resolution, trimmed by one cell on every side
//    and rendered at the region's origin into the layer's painting texture.
// Everything is encoded into the caller's command buffer, in that order; nothing is committed.
// Also: filling a texture with one colour, and a snapshot of a view tree into an image.
//
// No state of its own; the filters, the passes and the rendering textures are shared, so
// compositions run one at a time, on the main thread.

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

  // Composes the working region whose origin in the layer's cells is (x, y) and renders it into
  // `to` (a painting texture, cells / scale pixels) on `buffer`. Only the texels of the placed
  // picture, ((x + 1) / scale, (y + 1) / scale) to ((x + 255) / scale, (y + 255) / scale) for the
  // 256-cell region, are written. A composition that yields no image stops fatally.
  static void render(DrawingPaint& paint, const std::shared_ptr<gpu::Texture>& to,
                     const std::shared_ptr<gpu::CommandBuffer>& buffer, double x, double y);
  // The picture of the working region (its passes encoded on `buffer`); x and y are not used.
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
