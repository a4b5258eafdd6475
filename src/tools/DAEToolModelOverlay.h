#pragma once
// The overlay passes of the tool-model engine: one kernel over up to three pairs of textures (grid,
// wet, dry; each a texture read and one written, often the same texture) that the caller sets as
// fields before encoding. Two of them work on a whole layer in place: the dry-layer pass (wet paint
// dried into the dry paint) and the wet-layer pass (the layer wetted again).
//
// The overlay map of a stroke step merges the step's changes into the working window.
//
// Both layer passes may be limited to a rectangle of the layer's cells: its origin, clipped to the
// layer, goes to the kernel as an offset record at BUFFER_OFFSET and the thread grid covers exactly
// its size, so the change stays inside the rectangle that the undo steps snapshot. Without a
// rectangle they cover the whole layer (as the merge uses the dry-layer pass). A rectangle that
// misses the layer dispatches nothing. The passes are shared (see DAEEncoders): every field stays
// as its last user set it. Main thread only.

#include <memory>
#include <optional>
#include <string>

#include "graphics/Geometry.h"
#include "tools/AbstractShaderUnit.h"

namespace tessivarium {

class AbstractDAEToolModelOverlay : public AbstractToolEncoderShader {
 public:
  AbstractDAEToolModelOverlay(std::string shaderName, PrepareStep prepare = noPreparation());

  const std::shared_ptr<gpu::Texture>& grid() const { return grid_; }
  void setGrid(std::shared_ptr<gpu::Texture> texture) { grid_ = std::move(texture); }
  const std::shared_ptr<gpu::Texture>& toGrid() const { return toGrid_; }
  void setToGrid(std::shared_ptr<gpu::Texture> texture) { toGrid_ = std::move(texture); }
  const std::shared_ptr<gpu::Texture>& wet() const { return wet_; }
  void setWet(std::shared_ptr<gpu::Texture> texture) { wet_ = std::move(texture); }
  const std::shared_ptr<gpu::Texture>& toWet() const { return toWet_; }
  void setToWet(std::shared_ptr<gpu::Texture> texture) { toWet_ = std::move(texture); }
  const std::shared_ptr<gpu::Texture>& dry() const { return dry_; }
  void setDry(std::shared_ptr<gpu::Texture> texture) { dry_ = std::move(texture); }
  const std::shared_ptr<gpu::Texture>& toDry() const { return toDry_; }
  void setToDry(std::shared_ptr<gpu::Texture> texture) { toDry_ = std::move(texture); }
  // Clears the six textures.
  void reset();

  // Binds each set texture (grid, toGrid, wet, toWet, dry, toDry at TEXTURE_GRID_READ,
  // TEXTURE_GRID_WRITE, TEXTURE_WET_READ, TEXTURE_WET_WRITE, TEXTURE_DRY_READ, TEXTURE_DRY_WRITE) and
  // sizes a 2-D grid over it, so the last one set decides the grid. With none set nothing is
  // dispatched.
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 protected:
  // The last bound texture, which sized the grid (none when nothing was bound).
  const std::shared_ptr<gpu::Texture>& lastBound() const;
  // Limits the dispatch to `rect` of the last bound texture (see the file's comment).
  void limitTo(const graphics::Rect& rect, gpu::ComputeCommandEncoder& encoder);

 private:
  std::shared_ptr<gpu::Texture> grid_, toGrid_, wet_, toWet_, dry_, toDry_;
};

// "DAEToolModel_overlay_map": a stroke step's changes (the textures numbered 1, where grid1 marks
// a touched cell) merged into the working window (those numbered 0), except on the cells the
// canvas's mask keeps paint off: the fields' bindings, then the mask's when the canvas has one.
class DAEToolModelOverlayMap final : public AbstractDAEToolModelOverlay {
 public:
  explicit DAEToolModelOverlayMap(PrepareStep prepare = noPreparation());
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// "DAEToolModel_dry_layer": the wet paint of the bound cells dried into the dry paint, their
// wetness and fluid marks cleared.
class DAEToolModelDryLayer final : public AbstractDAEToolModelOverlay {
 public:
  explicit DAEToolModelDryLayer(PrepareStep prepare = noPreparation());

  const std::optional<graphics::Rect>& rect() const { return rect_; }
  void setRect(std::optional<graphics::Rect> rect) { rect_ = rect; }

  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 private:
  std::optional<graphics::Rect> rect_;
};

// "DAEToolModel_wet_layer": the bound cells wetted to `wetness` (0 to 1) and their wet paint made
// at least `thickness` (0 to 1 of MAX_DEPTH) thick; each value goes as one 32-bit float, wetness at
// BUFFER_WETNESS and thickness at BUFFER_THICKNESS, when set.
class DAEToolModelWetLayer final : public AbstractDAEToolModelOverlay {
 public:
  explicit DAEToolModelWetLayer(PrepareStep prepare = noPreparation());

  const std::optional<graphics::Rect>& rect() const { return rect_; }
  void setRect(std::optional<graphics::Rect> rect) { rect_ = rect; }
  const std::optional<float>& wetness() const { return wetness_; }
  void setWetness(std::optional<float> wetness) { wetness_ = wetness; }
  const std::optional<float>& thickness() const { return thickness_; }
  void setThickness(std::optional<float> thickness) { thickness_ = thickness; }

  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 private:
  std::optional<graphics::Rect> rect_;
  std::optional<float> wetness_;
  std::optional<float> thickness_;
};

}  // namespace tessivarium
