#pragma once
// One layer of a canvas: its grid, wet and dry textures (the paint, at the artwork's size times
// the scale), its painting texture (the picture, at the artwork's size) and its own GPU view,
// whose delegate it is. Layers are passed through the Layer role.
//
// Only what the picture composition and the region snapshots use is here so far; the layer
// subsystem builds the construction, the textures and the frame drawing, and until then those
// members stop with "not built yet".

#include <cstdint>
#include <memory>

#include "components/PaintTypes.h"
#include "ui/GPUView.h"

namespace gpu {
class Texture;
struct TextureDescriptor;
}  // namespace gpu

namespace tessivarium {

class DrawingPaint;

// The role through which the host and the undo steps reach a layer.
class Layer {
 public:
  virtual ~Layer() = default;
  virtual std::int64_t index() const = 0;
  virtual bool isHidden() const = 0;
};

class ArtworkTextures : public Layer,
                        public ui::GPUViewDelegate,
                        public std::enable_shared_from_this<ArtworkTextures> {
 public:
  // The layer at `index` of `paint`, which owns it and outlives it.
  ArtworkTextures(DrawingPaint& paint, std::int64_t index);
  ~ArtworkTextures() override;

  DrawingPaint& paint() const { return *paint_; }

  // The position in the canvas's layer list; the canvas renumbers it.
  std::int64_t index() const override { return index_; }
  void setIndex(std::int64_t index) { index_ = index; }
  // Hidden layers never take part in a composition.
  bool isHidden() const override { return isHidden_; }
  void setIsHidden(bool hidden) { isHidden_ = hidden; }

  // The layer's own view.
  virtual const std::shared_ptr<ui::GPUView>& metalView() const;

  // Every assignment, of the same mode too, lets the view draw again (redraw()).
  DrawingMode drawingMode() const { return drawingMode_; }
  void setDrawingMode(DrawingMode mode);
  // Unpauses the view, so that it draws at its next display frame.
  void redraw();

  // The descriptor of the three data textures, and the textures, each made on first read.
  virtual const std::shared_ptr<gpu::TextureDescriptor>& textureDataDescriptor();
  virtual const std::shared_ptr<gpu::Texture>& gridTexture();
  virtual const std::shared_ptr<gpu::Texture>& wetTexture();
  virtual const std::shared_ptr<gpu::Texture>& dryTexture();
  virtual const std::shared_ptr<gpu::Texture>& paintingTexture();

  // The view's size notification: nothing to do.
  void drawableSizeWillChange(ui::GPUView& view, graphics::Size size) override;
  void draw(ui::GPUView& view) override;

 private:
  DrawingPaint* paint_;
  std::int64_t index_;
  bool isHidden_ = false;
  DrawingMode drawingMode_ = DrawingMode::Recreated;
};

}  // namespace tessivarium
