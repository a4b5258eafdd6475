#pragma once
// The canvas view: a stack of layers over a background layer, with the host's back and front
// views, the brush view on top, the optional mask that limits painting, the ground texture of its
// surface, the whole-layer snapshot the stroke steps copy from and its undo history.
//
// The stack: position 0 of layers() is the back-most layer, the last position the front-most.
// Moving a layer down takes it one position higher, one step nearer the front; moving it up takes
// it one position lower, nearer the back. Going up selects the next layer towards the front, going
// down the next towards the back. After every change of the stack updateLayers() renumbers the
// layers and restacks the views, from the back: backView, the background's view, the layer views
// in stack order, any other subview, frontView, brushView.
//
// Layer operations come in two halves: an entry (layerCreate(), layerMoveDown() ...) builds the
// undo step whose construction performs the change and records it (or releases it on a canvas
// without command support); a body (doLayerCreate(), doLayerMoveDown() ...) changes the stack
// without any bookkeeping. Every entry that takes a layer refuses, changing and recording
// nothing, a layer that is not in this canvas's stack (the background, a layer made beside the
// stack, a deleted or released one; a copy's source may be any live layer, of another canvas
// too), and every entry records nothing for a change that changes nothing; every entry, touch and
// draw does nothing on a canvas that has no layer (its construction may have failed for lack of
// texture memory).
//
// Main thread only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "Artwork.h"
#include "components/ArtworkTextures.h"
#include "components/CanvasDelegates.h"
#include "components/PaintTypes.h"
#include "components/RawData.h"
#include "graphics/Color.h"
#include "graphics/Geometry.h"
#include "imaging/Image.h"
#include "ui/View.h"

namespace gpu {
class Texture;
}

namespace graphics {
class Image;
}

namespace imaging {
class Context;
}

namespace tessivarium {

class AbstractDrawingTool;
class ArtworkData;
class BrushView;
class CommandManager;
class Surface;

// How the layers of a canvas are shown: the current layer and the non-hidden layers behind it
// (Stack), or the current layer alone (Page).
enum class LayerMode { Stack = 0, Page = 1 };

class DrawingPaint : public ui::View, public std::enable_shared_from_this<DrawingPaint> {
 public:
  // A canvas for `artwork` with the identifier `paintId`: its view as large as the artwork (white,
  // with a white border), the brush view, the background layer, a first layer and the ground
  // texture. A failure to make the layers is reported once as NoMoreHeap and the canvas is built
  // without them. Without command support it records no undo steps (palettes). An artwork whose
  // sides, or sides times the data scale (see ArtworkTextures::dataScale), are not 1 to
  // MAX_CANVAS_SIDE is refused before anything is made: a console line says why, and it throws
  // Error(TextureFormatIncompatible).
  DrawingPaint(std::uint64_t paintId, std::shared_ptr<Artwork> artwork, bool supportCommand = true);
  ~DrawingPaint() override;

  std::uint64_t paintId() const { return paintId_; }
  const std::shared_ptr<Artwork>& artwork() const { return artwork_; }
  void setArtwork(std::shared_ptr<Artwork> artwork) { artwork_ = std::move(artwork); }
  bool supportCommand() const { return supportCommand_; }
  void setSupportCommand(bool support) { supportCommand_ = support; }
  LayerMode layerMode() const { return layerMode_; }
  void setLayerMode(LayerMode mode) { layerMode_ = mode; }

  // --- Canvas view --------------------------------------------------------------------------------
  // The host's mask: setting it gives the old mask texture back and loads the new image into a new
  // one (none: no mask).
  const std::shared_ptr<graphics::Image>& maskImage() const { return maskImage_; }
  void setMaskImage(std::shared_ptr<graphics::Image> image);
  const std::shared_ptr<gpu::Texture>& maskTexture() const { return maskTexture_; }
  void setMaskTexture(std::shared_ptr<gpu::Texture> texture) { maskTexture_ = std::move(texture); }

  // Host views kept behind the background and in front of the layers; setting one restacks.
  const std::shared_ptr<ui::View>& backView() const { return backView_; }
  void setBackView(std::shared_ptr<ui::View> view);
  const std::shared_ptr<ui::View>& frontView() const { return frontView_; }
  void setFrontView(std::shared_ptr<ui::View> view);

  const std::shared_ptr<PaintingDelegate>& paintingDelegate() const { return paintingDelegate_; }
  void setPaintingDelegate(std::shared_ptr<PaintingDelegate> d) { paintingDelegate_ = std::move(d); }
  const std::shared_ptr<LayerChangeDelegate>& layerChangeDelegate() const { return layerChangeDelegate_; }
  void setLayerChangeDelegate(std::shared_ptr<LayerChangeDelegate> d) { layerChangeDelegate_ = std::move(d); }
  const std::vector<std::shared_ptr<TouchHandler>>& touchHandlers() const { return touchHandlers_; }
  void setTouchHandlers(std::vector<std::shared_ptr<TouchHandler>> handlers) { touchHandlers_ = std::move(handlers); }

  // The background layer (index -1); none when it could not be made or after release.
  const std::shared_ptr<ArtworkTextures>& background() const { return background_; }
  void setBackground(std::shared_ptr<ArtworkTextures> layer) { background_ = std::move(layer); }

  // The ground: the texture of the surface's map image (1 x 1 for the flat surface).
  const std::shared_ptr<gpu::Texture>& groundTexture() const { return groundTexture_; }
  void setGroundTexture(std::shared_ptr<gpu::Texture> texture) { groundTexture_ = std::move(texture); }
  // Whether the composition shows the background.
  bool showBackground() const { return showBackground_; }
  void setShowBackground(bool show) { showBackground_ = show; }
  // Whether the surface's ground is shown; always on a flat surface. Setting it rebuilds the
  // background's picture.
  bool showSurface() const { return showSurface_; }
  void setShowSurface(bool show);

  // The whole-layer snapshot the stroke steps copy from, made on first read and kept only whole:
  // none while one of its textures cannot be made (that make reported NoMoreHeap; what was made
  // is given back), and asked for again on the next read.
  const std::shared_ptr<ArtworkData>& before();
  // The undo history, made on first read.
  const std::shared_ptr<CommandManager>& commandManager();
  void setCommandManager(std::shared_ptr<CommandManager> manager) { commandManager_ = std::move(manager); }
  // The image context of every image conversion of the canvas, on the application manager's device.
  const std::shared_ptr<imaging::Context>& ciContext();

  // The host's lighting image; the canvas draws once it is set. Setting it makes the canvas the
  // current paint and, for an image, enables the current tool and rebuilds the pictures unless the
  // current layer is rebuilding already.
  const imaging::ImagePtr& shadingImage() const { return shadingImage_; }
  void setShadingImage(imaging::ImagePtr image);

  const std::shared_ptr<BrushView>& brushView() const { return brushView_; }
  void setBrushView(std::shared_ptr<BrushView> view) { brushView_ = std::move(view); }
  // The brush view for `operation`, which needs one: a fatal stop "<operation>: the canvas has no
  // brush view" without it.
  BrushView& requiredBrushView(std::string_view operation) const;
  // A texture of the artwork's size, made on first read.
  const std::shared_ptr<gpu::Texture>& colorTexture2D();
  void setColorTexture2D(std::shared_ptr<gpu::Texture> texture) { colorTexture2D_ = std::move(texture); }

  // Builds the ground texture from the surface's map image.
  void initSurface();
  // Switches to another surface (another id): a new ground, every picture rebuilt.
  void changeSurface(const std::shared_ptr<Surface>& surface);
  // After cleanResources().
  bool isReleased() const { return brushView_ == nullptr; }
  // Whether the mask lets paint through at a point: true without a mask, outside it, and for
  // negative or non-finite coordinates; false where the mask's alpha is 0.
  bool isInside(graphics::Point point);
  bool isInside(std::int64_t x, std::int64_t y);
  // The canvas as shown, without the brush view, at `scale`; none when it cannot be drawn. (The
  // host's `export`, a C++ keyword.)
  std::shared_ptr<graphics::Image> exportImage(double scale = 1.0);
  // Copies `layer` whole into before(); false, copying nothing, when there is no whole snapshot.
  bool saveBefore(const std::shared_ptr<Layer>& layer);
  // Gives back everything the canvas holds, once, at the end of its life; isReleased() afterwards.
  // What was never made is skipped; a second call (the host's, then the manager's clean-up)
  // changes nothing. The layer-change delegate stays.
  virtual void cleanResources();
  // Tests every layer's textures; throws Error(NoMoreHeap) at the first that fails.
  virtual void loads();
  // The current layer; none without layers. The selection is first brought into the stack and
  // stored back: lowered to the last layer when beyond it, and raised to the first when negative
  // (a host may set any index; the stack has no layer before the first).
  std::shared_ptr<ArtworkTextures> currentContent();

  // Whether the canvas draws: once the shading image is set.
  bool isStarted() const { return shadingImage_ != nullptr; }
  // Sets `mode` on every layer (not the background) and tells the current tool of any mode but
  // Refresh.
  virtual void redraw(DrawingMode mode = DrawingMode::Refresh);
  // Makes this canvas the current paint and has the current tool switch to it; forced when the
  // canvas was not current.
  void enabledCurrentTool(bool force = false);
  // The application's current tool, whichever canvas is asked; one that is not a painting tool is a
  // fatal stop.
  std::shared_ptr<AbstractDrawingTool> drawingTool() const;

  // --- Touches ---------------------------------------------------------------------------------
  // Whether the set's first touch is a stylus touch (false for an empty set).
  bool isPaintingTouch(const ui::TouchSet& touches) const;
  // A stylus touch-down starts a stroke on the current layer and reaches, in this order, the
  // painting delegate, the current tool and the touch handlers; any other touch-down only makes
  // this canvas the current paint. While a stroke is on, moves reach the tool, the delegate and the
  // handlers; an end or a cancel ends the stroke and reaches them, in that order, as ended. The
  // handlers are walked as they were before the first call, so one may add or remove handlers.
  void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) override;
  void touchesMoved(const ui::TouchSet& touches, const ui::Event* event) override;
  void touchesEnded(const ui::TouchSet& touches, const ui::Event* event) override;
  void touchesCancelled(const ui::TouchSet& touches, const ui::Event* event) override;
  // Releases the undo history (with command support) and empties every layer.
  void cleanPaint();

  // --- Layer management --------------------------------------------------------------------------
  const std::vector<std::shared_ptr<ArtworkTextures>>& layers() const { return layers_; }
  void setLayers(std::vector<std::shared_ptr<ArtworkTextures>> layers) { layers_ = std::move(layers); }
  // Position in layers() of the current layer.
  std::int64_t layerIndex() const { return layerIndex_; }
  void setLayerIndex(std::int64_t index) { layerIndex_ = index; }

  std::shared_ptr<Layer> currentLayer() { return currentContent(); }
  // The layer whose index is `index`, or none.
  std::shared_ptr<Layer> findLayer(std::int64_t index) const;
  std::vector<std::shared_ptr<Layer>> getLayers() const;
  // Whether `layer` is a live layer of this canvas's stack (not the background, not released).
  bool owns(const std::shared_ptr<Layer>& layer) const;
  // Where `layer` sits in layers(), or none.
  std::optional<std::size_t> positionOf(const Layer& layer) const;

  // Entries: each builds and records its undo step (see the file's comment).
  void layerCreate();
  void layerGoUp();
  void layerGoDown();
  void layerMerge(const std::vector<std::shared_ptr<Layer>>& layers);
  void layerHidden(const std::shared_ptr<Layer>& layer, bool isHidden);
  void layerClean(const std::shared_ptr<Layer>& layer = nullptr);
  void layerMoveDown(const std::shared_ptr<Layer>& layer);
  void layerMoveUp(const std::shared_ptr<Layer>& layer);
  void layerDuplicate(const std::shared_ptr<Layer>& layer);
  // False, and nothing changes, when the canvas holds one layer (or the layer is not in its stack).
  bool layerDelete(const std::shared_ptr<Layer>& layer = nullptr);
  // Copies `from` (any live layer, of any canvas; the common extent) into `layer` of the stack.
  void layerCopyFrom(const std::shared_ptr<Layer>& layer, const std::shared_ptr<Layer>& from);

  // A new empty layer at the front, made current. Throws Error; nothing is added then.
  void doLayerCreate();
  // The background layer, its view added behind everything at alpha 0.5; not stored. Throws Error.
  std::shared_ptr<ArtworkTextures> createBackground();
  // Empties every layer's grid, wet and dry textures (not the background's); not recorded.
  void cleanAllLayers();
  // Shifts every layer's paint by x columns and y rows of its data textures; the strip it uncovers
  // keeps what it held. An offset of the layer's size or more, either way (any 64-bit value),
  // changes nothing. Not recorded.
  void move(std::int64_t x, std::int64_t y);
  // Selects the next layer towards the front / the back (staying at the ends).
  void doLayerGoUp();
  void doLayerGoDown();

  // --- Stack operations (bodies) -------------------------------------------------------------------
  // Merges the named layers of the stack into the back-most of them, deletes the others and
  // selects it; fewer than two named layers of the stack change nothing. Not recorded.
  void doLayerMerges(const std::vector<std::shared_ptr<Layer>>& layers);
  // Takes the layer out of the stack and gives its resources back; then updates when asked, found
  // or not.
  void doLayerDelete(const std::shared_ptr<Layer>& layer, bool update = true);
  // Sets the hide flag of the layer (none: the current layer) and updates.
  void doLayerHidden(const std::shared_ptr<Layer>& layer, bool isHidden);
  // Empties the layer's grid, wet and dry textures and rebuilds the pictures.
  void doLayerClean(const std::shared_ptr<Layer>& layer);
  // One position nearer the front / the back, made current; then updates.
  void doLayerMoveDown(const std::shared_ptr<Layer>& layer);
  void doLayerMoveUp(const std::shared_ptr<Layer>& layer);
  // Copies `from`'s grid, wet and dry textures into `layer` (nothing when they are one layer).
  void doLayerCopyFrom(const std::shared_ptr<Layer>& layer, const std::shared_ptr<Layer>& from);
  // Puts a layer that left the stack back at `position`, clamped to the stack, with its view; the
  // caller updates.
  void insertLayer(const std::shared_ptr<ArtworkTextures>& layer, std::int64_t position);
  // --- Storage and colour picking ---------------------------------------------------------------
  // One record per layer, in layer order; the background is not stored.
  std::vector<ArtworkRawData> getStorageData();
  // Replaces the layers by one layer per record, in order, and rebuilds their pictures; an empty
  // list prints a line and changes nothing. Every record is checked first (positive sizes, depth 1,
  // each array width x height x depth x 4 bytes) and every new layer is built before the old ones
  // are given up, so a refusal or a failure leaves the canvas as it was. A restore cleans the
  // history, whose steps name the old layers. Throws Error: TextureFormatIncompatible for a
  // malformed record (its console line says which and why), NoMoreHeap when a layer cannot be made.
  void setStorageData(const std::vector<ArtworkRawData>& data);
  // The same, taking the records: each record's arrays are let go as soon as its layer holds
  // them, so that the records and the layers made from them are not all held at once.
  void setStorageData(std::vector<ArtworkRawData>&& data);
  // The paint under a point of the view: the first answer of the layers from the front (hidden
  // layers too); failing that, the view's background colour while the surface shows.
  std::optional<graphics::Color> pickColor(double x, double y);
  std::optional<graphics::Color> pickColor(graphics::Point point) { return pickColor(point.x, point.y); }

  // Renumbers the layers, keeps the selection in range, restacks, hides and shows the views, gives
  // the current layer's view (when shown) its delegate, tells the host and, once started, rebuilds
  // the pictures.
  void updateLayers();

 private:
  std::shared_ptr<ArtworkTextures> own(const std::shared_ptr<Layer>& layer) const;
  // Builds a layer step and records it, or releases it on a canvas without command support.
  template <typename Step, typename... Args>
  void record(Args&&... args);
  // Cleans the history when it was ever made.
  void releaseHistory();
  // The body of setStorageData; a vector of records that are not const is emptied record by record.
  template <typename Records>
  void replaceLayers(Records& data);

  std::shared_ptr<graphics::Image> maskImage_;
  std::shared_ptr<gpu::Texture> maskTexture_;
  std::uint64_t paintId_;
  std::vector<std::shared_ptr<ArtworkTextures>> layers_;
  std::int64_t layerIndex_ = 0;
  std::shared_ptr<ui::View> backView_;
  std::shared_ptr<ui::View> frontView_;
  LayerMode layerMode_ = LayerMode::Stack;
  std::shared_ptr<PaintingDelegate> paintingDelegate_;
  std::shared_ptr<LayerChangeDelegate> layerChangeDelegate_;
  std::vector<std::shared_ptr<TouchHandler>> touchHandlers_;
  std::shared_ptr<ArtworkTextures> background_;
  std::shared_ptr<gpu::Texture> groundTexture_;
  bool showBackground_ = false;
  bool showSurface_ = false;
  bool supportCommand_;
  std::shared_ptr<Artwork> artwork_;
  std::shared_ptr<ArtworkData> before_;
  std::shared_ptr<CommandManager> commandManager_;
  std::shared_ptr<imaging::Context> ciContext_;
  imaging::ImagePtr shadingImage_;
  std::shared_ptr<BrushView> brushView_;
  std::shared_ptr<gpu::Texture> colorTexture2D_;
  bool released_ = false;
};

}  // namespace tessivarium
