#pragma once
// One layer of a canvas: its grid, wet and dry textures (the paint, at the artwork's size times the
// scale of the main canvas's artwork), its painting texture (the picture, at the artwork's size)
// and its own GPU view, whose delegate the canvas makes it when the layer is shown. Layers are
// passed to the host and to the undo steps through the Layer role.
//
// Memory: every texture is made through the application manager, which counts it. A layer in its
// canvas's stack is "counted"; cleanResources() takes its textures off the count once and marks it
// uncounted (the textures stay with the layer, so an undo step that keeps a deleted layer keeps its
// paint), and putBack() counts it again when an undo puts it back. So the count never drifts, however
// often a layer leaves and comes back. Main thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "components/PaintTypes.h"
#include "graphics/Color.h"
#include "graphics/Geometry.h"
#include "ui/GPUView.h"

namespace gpu {
class CommandBuffer;
class Texture;
struct TextureDescriptor;
}  // namespace gpu

namespace graphics {
class Image;
}

namespace tessivarium {

class Artwork;
class DrawingPaint;
class ToolEncoder;

// The sub-layers a content operation touches: `wet` the grid and wet textures, `dry` the dry
// texture, `both` all three.
enum class SublayerType { both, dry, wet };

// The role through which the host and the undo steps reach a layer. ArtworkTextures is its only
// kind.
class Layer {
 public:
  virtual ~Layer() = default;
  virtual std::int64_t index() const = 0;
  virtual bool isHidden() const = 0;
  virtual bool isVisible() const = 0;
  virtual void clean(SublayerType type = SublayerType::both) = 0;
  virtual void moveDown() = 0;
  virtual void moveUp() = 0;
  // Throws Error.
  virtual void duplicate() = 0;
  // The host's `delete` (a C++ keyword); false when the canvas holds this layer alone.
  virtual bool deleteLayer() = 0;
  virtual void copyFrom(const std::shared_ptr<Layer>& layer) = 0;
  virtual void dry() = 0;
  virtual void dry(std::optional<graphics::Rect> rect) = 0;
  virtual void wet(double wetness, double thickness) = 0;
  virtual void wet(double wetness, double thickness, std::optional<graphics::Rect> rect) = 0;
  virtual void importImage(std::shared_ptr<graphics::Image> image, graphics::Point at, std::optional<float> thickness,
                           bool inWet = false, std::function<void()> completed = {}) = 0;
};

class ArtworkTextures final : public Layer,
                              public ui::GPUViewDelegate,
                              public std::enable_shared_from_this<ArtworkTextures> {
  struct Key {};

 public:
  // The layer at `index` of `paint` (-1 for the background), which owns it and outlives it, with
  // its view (paused) and its four textures; with `with`, that layer's paint is copied in (the
  // canvas's copy body: the common extent, not recorded). Throws Error: TextureFormatIncompatible
  // when the artwork gives no texture size (sides or data sides below 1, not finite or beyond the
  // integer range; nothing is made then), NoMoreHeap when a texture cannot be made (what was made
  // is given back first).
  static std::shared_ptr<ArtworkTextures> make(DrawingPaint& paint, std::int64_t index,
                                               const std::shared_ptr<ArtworkTextures>& with = nullptr);
  ArtworkTextures(Key, DrawingPaint& paint, std::int64_t index);
  // The cells per picture pixel of `paint`'s layers: the data textures are the artwork's size times
  // this scale.
  static double dataScale(const DrawingPaint& paint);
  // The same for a canvas of `artwork` (the main canvas's scale, else the artwork's own).
  static double dataScale(const Artwork& artwork);
  ~ArtworkTextures() override;
  ArtworkTextures(const ArtworkTextures&) = delete;
  ArtworkTextures& operator=(const ArtworkTextures&) = delete;

  DrawingPaint& paint() const { return *paint_; }

  // Run when a frame's GPU work has completed (the frame drawing clears it after a stroke frame).
  const std::function<void()>& drawHandler() const { return drawHandler_; }
  void setDrawHandler(std::function<void()> handler) { drawHandler_ = std::move(handler); }

  // The position in the canvas's layer list; the canvas renumbers it.
  std::int64_t index() const override { return index_; }
  void setIndex(std::int64_t index) { index_ = index; }
  // The user's hide flag.
  bool isHidden() const override { return isHidden_; }
  void setIsHidden(bool hidden) { isHidden_ = hidden; }

  // The layer's own view.
  const std::shared_ptr<ui::GPUView>& metalView() const { return metalView_; }
  void setMetalView(std::shared_ptr<ui::GPUView> view) { metalView_ = std::move(view); }

  // Every assignment, of the same mode too, lets the view draw again (redraw()).
  DrawingMode drawingMode() const { return drawingMode_; }
  void setDrawingMode(DrawingMode mode);
  // True while a stroke is painted on this layer; becoming true unpauses the view.
  bool isDrawing() const { return isDrawing_; }
  void setIsDrawing(bool drawing);
  // Unpauses the view, so that it draws at its next display frame.
  void redraw();
  // Makes the layer its view's delegate again, so that the view draws the layer's frames, unless
  // the view is hidden: a hidden view draws none, so that nothing (a stroke's frames above all) is
  // painted on a layer no one sees. Showing the view again goes through the canvas's restacking.
  void attachView();

  // The descriptors (the artwork's size; the data size) and the textures, each made on first read.
  // A texture the device could not make stays absent and is asked for again at the next read.
  const std::shared_ptr<gpu::TextureDescriptor>& textureGlobalDescriptor();
  void setTextureGlobalDescriptor(std::shared_ptr<gpu::TextureDescriptor> d) { globalDescriptor_ = std::move(d); }
  const std::shared_ptr<gpu::TextureDescriptor>& textureDataDescriptor();
  void setTextureDataDescriptor(std::shared_ptr<gpu::TextureDescriptor> d) { dataDescriptor_ = std::move(d); }
  const std::shared_ptr<gpu::Texture>& gridTexture();
  void setGridTexture(std::shared_ptr<gpu::Texture> texture) { grid_ = std::move(texture); }
  const std::shared_ptr<gpu::Texture>& wetTexture();
  void setWetTexture(std::shared_ptr<gpu::Texture> texture) { wet_ = std::move(texture); }
  const std::shared_ptr<gpu::Texture>& dryTexture();
  void setDryTexture(std::shared_ptr<gpu::Texture> texture) { dry_ = std::move(texture); }
  const std::shared_ptr<gpu::Texture>& paintingTexture();
  void setPaintingTexture(std::shared_ptr<gpu::Texture> texture) { painting_ = std::move(texture); }

  // Shown in stack order: at or below the canvas's current layer and not hidden (the background,
  // index -1, unless hidden).
  bool isVisible() const override;
  // All four textures exist at their descriptors' widths; tested in the order grid, wet, dry,
  // painting, stopping at the first failure (so no texture behind it is made).
  bool isValid();
  // The same test; throws Error(NoMoreHeap) at the first failure.
  void loads();
  // Merges `layers` into this one, in list order, one command buffer each (DAEToolModelMerge). The
  // merged layers are not changed; an empty list commits nothing.
  void merge(const std::vector<std::shared_ptr<ArtworkTextures>>& layers);
  // Gives the layer's counted texture memory back (only textures that exist, only once), lets go of
  // the view's drawables, takes the view out of its superview and clears its delegate.
  void cleanResources();
  // Whether the layer's textures are in the application manager's count.
  bool isCounted() const { return counted_; }
  // Counts the layer's textures again after cleanResources() (a layer an undo puts back).
  void putBack();

  // The paint in this layer under view point (x, y) of `paint`, read back from the GPU: the wet
  // colour with the cell's wetness as alpha where the cell holds fluid, else the dry colour with the
  // dry wetness as alpha; none for an empty cell or a point off the layer. Cells are taken at the
  // scale of the application manager's canvas, which must exist.
  std::optional<graphics::Color> pickColor(DrawingPaint& paint, double x, double y);

  // The view's size notification: nothing to do.
  void drawableSizeWillChange(ui::GPUView& view, graphics::Size size) override;
  // One display frame, by drawing mode: Refresh shows the picture again, Recreated rebuilds it,
  // Normal lets the current tool draw the current layer's stroke and End also finishes the stroke;
  // every frame that does its work returns to Normal. Nothing is drawn before the canvas starts.
  void draw(ui::GPUView& view) override;
  // Rebuilds the picture from the paint data, working region by working region through the current
  // tool's surface and the canvas's composition (regions that write no pixel in common composed at
  // once, each in its own working set), then copies it to the view, presenting it when
  // `display` is set. Without a drawable nothing is rendered. False, with nothing done, when the
  // working textures cannot be made (NoMoreHeap, reported by the failed make).
  bool recreatedDraw(bool display = true);

  // --- Content operations ------------------------------------------------------------------------
  // Direct: reset the chosen textures (grid and wet, dry, or all three) at once and rebuild the
  // canvas's pictures; nothing is recorded.
  void clean(SublayerType type = SublayerType::both) override;
  // Encodes the resets of clean() (grid and wet, then dry) into `buffer`.
  void encodeClean(gpu::CommandBuffer& buffer, SublayerType type = SublayerType::both);
  // Direct: dry or wet the cells of `rect` (whole cells of the data textures) at once.
  void doDry(const graphics::Rect& rect);
  void doWet(double wetness, double thickness, const graphics::Rect& rect);
  // Undo steps: dry or wet `rect` (none: the whole layer), recorded when the canvas supports
  // commands.
  void dry() override;
  void dry(std::optional<graphics::Rect> rect) override;
  void wet(double wetness, double thickness) override;
  void wet(double wetness, double thickness, std::optional<graphics::Rect> rect) override;
  // An undo step that places `image` into the canvas's current layer (whichever layer is asked).
  void importImage(std::shared_ptr<graphics::Image> image, graphics::Point at, std::optional<float> thickness,
                   bool inWet = false, std::function<void()> completed = {}) override;
  // The canvas's entries of the same names, with this layer.
  void moveDown() override;
  void moveUp() override;
  void duplicate() override;
  bool deleteLayer() override;
  void copyFrom(const std::shared_ptr<Layer>& layer) override;

 private:
  const std::shared_ptr<gpu::Texture>& made(std::shared_ptr<gpu::Texture>& slot,
                                            const std::shared_ptr<gpu::TextureDescriptor>& descriptor);
  std::vector<std::shared_ptr<gpu::Texture>*> textureSlots();
  // Encodes `pass` on a command buffer of its own with the timing line, commits and has the canvas
  // rebuild its pictures.
  void runAtOnce(ToolEncoder& pass, const char* timing);

  DrawingPaint* paint_;
  std::function<void()> drawHandler_;
  std::int64_t index_;
  bool isHidden_ = false;
  std::shared_ptr<ui::GPUView> metalView_;
  DrawingMode drawingMode_ = DrawingMode::Recreated;
  bool isDrawing_ = false;
  std::shared_ptr<gpu::TextureDescriptor> globalDescriptor_, dataDescriptor_;
  std::shared_ptr<gpu::Texture> grid_, wet_, dry_, painting_;
  bool counted_ = true;
};

}  // namespace tessivarium
