#pragma once
// The canvas view: a stack of layers over a background layer, with its undo manager and brush
// view. The layers, drawing and storage arrive with the canvas subsystem; until then the members
// that need them stop with "not built yet".

#include <cstdint>
#include <memory>

#include "Artwork.h"
#include "ui/View.h"

namespace tessivarium {

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

 private:
  std::uint64_t paintId_;
  std::shared_ptr<Artwork> artwork_;
  bool supportCommand_;
  LayerMode layerMode_ = LayerMode::Stack;
};

}  // namespace tessivarium
