#pragma once
// The canvas view: a stack of layers over a background layer, with its undo manager and brush
// view. The layers, drawing and storage arrive with the canvas subsystem; until then the members
// that need them stop with "not built yet".

#include <cstdint>
#include <memory>
#include <vector>

#include "Artwork.h"
#include "imaging/Image.h"
#include "ui/View.h"

namespace gpu {
class Texture;
}

namespace imaging {
class Context;
}

namespace tessivarium {

class AbstractDrawingTool;
class ArtworkTextures;

// How the layers of a canvas are shown: stacked over each other, or one page at a time.
enum class LayerMode { Stack = 0, Page = 1 };

class DrawingPaint : public ui::View, public std::enable_shared_from_this<DrawingPaint> {
 public:
  // A canvas for `artwork` with the identifier `paintId`; without command support it records no
  // undo steps (palettes).
  DrawingPaint(std::uint64_t paintId, std::shared_ptr<Artwork> artwork, bool supportCommand = true);
  ~DrawingPaint() override;

  std::uint64_t paintId() const { return paintId_; }
  const std::shared_ptr<Artwork>& artwork() const { return artwork_; }
  bool supportCommand() const { return supportCommand_; }
  LayerMode layerMode() const { return layerMode_; }
  void setLayerMode(LayerMode mode) { layerMode_ = mode; }

  // Loads every layer in order; throws Error.
  virtual void loads();
  // Gives the layers' and the canvas's textures back and removes its views.
  virtual void cleanResources();
  // Makes this canvas the current paint (always, so the host hears of it) and has the current tool
  // switch to it; forced when the canvas was not current.
  virtual void enabledCurrentTool(bool force = false);

  // --- What the picture composition and the region snapshots read --------------------------------
  // Whether the canvas shows its background.
  bool showBackground() const { return showBackground_; }
  void setShowBackground(bool show) { showBackground_ = show; }
  // The layers, bottom first; each layer's index is its position.
  virtual const std::vector<std::shared_ptr<ArtworkTextures>>& layers() const;
  // The current layer (the selection lowered to the last layer when beyond it).
  virtual std::shared_ptr<ArtworkTextures> currentContent();
  // The host's lighting image of the composition's shading step; absent until set. Setting it
  // also makes the canvas current and redraws it.
  const imaging::ImagePtr& shadingImage() const { return shadingImage_; }
  virtual void setShadingImage(imaging::ImagePtr image);
  // The image context every composition of the canvas renders through, on the application
  // manager's device; made on first read.
  const std::shared_ptr<imaging::Context>& ciContext();

 protected:
  // Stores the shading image without the setter's other effects.
  void storeShadingImage(imaging::ImagePtr image) { shadingImage_ = std::move(image); }

 private:
  bool showBackground_ = false;
  imaging::ImagePtr shadingImage_;
  std::shared_ptr<imaging::Context> ciContext_;
  // --- end of the composition's members -------------------------------------------------------

  // --- What the texture passes read ---------------------------------------------------------------
 public:
  // The ground: the texture of the surface's map image. Held as given until the canvas builds it
  // from its surface.
  const std::shared_ptr<gpu::Texture>& groundTexture() const { return groundTexture_; }
  void setGroundTexture(std::shared_ptr<gpu::Texture> texture) { groundTexture_ = std::move(texture); }
  // Whether the canvas shows its surface's ground.
  bool showSurface() const { return showSurface_; }
  void setShowSurface(bool show) { showSurface_ = show; }
  // The application's current tool, whichever canvas is asked; one that is not a painting tool is a
  // fatal stop.
  std::shared_ptr<AbstractDrawingTool> drawingTool() const;

 private:
  std::shared_ptr<gpu::Texture> groundTexture_;
  bool showSurface_ = false;
  // --- end of the texture passes' members -----------------------------------------------------

 private:
  std::uint64_t paintId_;
  std::shared_ptr<Artwork> artwork_;
  bool supportCommand_;
  LayerMode layerMode_ = LayerMode::Stack;
};

}  // namespace tessivarium
