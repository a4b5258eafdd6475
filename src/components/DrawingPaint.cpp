#include "components/DrawingPaint.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "Application.h"
#include "ErrorMessage.h"
#include "Surface.h"
#include "components/ArtworkData.h"
#include "components/BrushView.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/Buffer.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/Device.h"
#include "gpu/Texture.h"
#include "graphics/Image.h"
#include "imaging/Context.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/ToolSurface.h"
#include "utils/CoreImageUtil.h"
#include "utils/TextureUtil.h"

namespace tessivarium {
namespace {

// Within the stated maximum, no byte count of a canvas's textures comes near any integer's limit.
static_assert(MAX_CANVAS_SIDE * MAX_CANVAS_SIDE * 4 <= std::int64_t{1} << 31);

// The canvas view is as large as its artwork, in points. Its size is checked first, before any
// part of the canvas is made: views, scenes and textures would all be made of it.
graphics::Rect checkedFrame(const std::shared_ptr<Artwork>& artwork) {
  if (!artwork) foundation::fatalError("A canvas needs an artwork");
  const double width = static_cast<double>(artwork->width()), height = static_cast<double>(artwork->height());
  const double scale = ArtworkTextures::dataScale(*artwork);
  // The layers cut their data sides toward zero; a scale that is not a number fails every test.
  const auto fits = [](double side) { return side >= 1 && side <= static_cast<double>(MAX_CANVAS_SIDE); };
  if (!fits(width) || !fits(height) || !fits(std::trunc(width * scale)) || !fits(std::trunc(height * scale))) {
    foundation::consoleLine("DrawingPaint: a canvas of " + std::to_string(artwork->width()) + " x " +
                            std::to_string(artwork->height()) + " at scale " + foundation::describe(scale) +
                            " is refused: its sides, in pixels and in cells, must be 1 to " +
                            std::to_string(MAX_CANVAS_SIDE));
    throw Error(ErrorMessage::TextureFormatIncompatible);
  }
  return graphics::Rect(0, 0, width, height);
}

// A texture of the image's size (each side cut toward zero) holding the image, loaded without
// waiting; none for an image without whole pixels or when the device made none.
std::shared_ptr<gpu::Texture> textureOfImage(const std::shared_ptr<graphics::Image>& image,
                                             const std::shared_ptr<imaging::Context>& context) {
  const graphics::Size size = image->size();
  if (!(size.width >= 1 && size.height >= 1)) return nullptr;
  auto& manager = AppManager();
  auto texture = manager.makeTexture(static_cast<std::int64_t>(size.width), static_cast<std::int64_t>(size.height));
  if (texture) TextureUtil::loadImage(image, context, manager.commandQueue(), texture);
  return texture;
}

}  // namespace

DrawingPaint::DrawingPaint(std::uint64_t paintId, std::shared_ptr<Artwork> artwork, bool supportCommand)
    : ui::View(checkedFrame(artwork)),
      paintId_(paintId),
      supportCommand_(supportCommand),
      artwork_(std::move(artwork)),
      ciContext_(imaging::Context::make(AppManager().device())) {
  if (!backgroundColor()) setBackgroundColor(graphics::Color::fromWhite(1.0, 1.0));
  setBorderColor(graphics::Color::fromWhite(1.0, 1.0));
  setBorderWidth(1.0);
  brushView_ = std::make_shared<BrushView>(frame(), SceneViewOptions{{"SCNPreferredRenderingAPIKey", "0"}});
  addSubview(brushView_);
  try {
    background_ = createBackground();
    doLayerCreate();
  } catch (const Error&) {
    // Whatever went wrong, the host hears of it once, as missing memory; the canvas goes on.
    Application().hanldeError(ErrorMessage::NoMoreHeap);
  }
  initSurface();
}

DrawingPaint::~DrawingPaint() = default;

BrushView& DrawingPaint::requiredBrushView(std::string_view operation) const {
  if (!brushView_) foundation::fatalError(std::string(operation) + ": the canvas has no brush view");
  return *brushView_;
}

// --- Canvas view ---------------------------------------------------------------------------------------

void DrawingPaint::setMaskImage(std::shared_ptr<graphics::Image> image) {
  if (maskTexture_) AppManager().releaseTexture(*maskTexture_);
  maskTexture_.reset();
  maskImage_ = std::move(image);
  if (maskImage_) maskTexture_ = textureOfImage(maskImage_, ciContext());
}

void DrawingPaint::setBackView(std::shared_ptr<ui::View> view) {
  backView_ = std::move(view);
  if (backView_) updateLayers();
}

void DrawingPaint::setFrontView(std::shared_ptr<ui::View> view) {
  frontView_ = std::move(view);
  if (frontView_) updateLayers();
}

void DrawingPaint::setShowSurface(bool show) {
  // A flat surface always shows its ground.
  const auto& surface = artwork_->surface();
  showSurface_ = show || !surface || surface->id() == SurfaceId::Flat;
  if (background_) background_->setDrawingMode(DrawingMode::Recreated);
}

const std::shared_ptr<ArtworkData>& DrawingPaint::before() {
  if (!before_) {
    const auto layer = currentContent();
    if (!layer) foundation::fatalError("DrawingPaint.before: the canvas has no layer to size the snapshot by");
    auto made = std::make_shared<ArtworkData>(shared_from_this(), layer->textureDataDescriptor());
    // Kept with a texture missing, the snapshot would hand every later stroke's undo that
    // texture's stale bytes: what was made goes back, and the next stroke asks again.
    if (made->isValid()) {
      before_ = std::move(made);
    } else {
      made->release();
    }
  }
  return before_;
}

const std::shared_ptr<imaging::Context>& DrawingPaint::ciContext() { return ciContext_; }

void DrawingPaint::setShadingImage(imaging::ImagePtr image) {
  AppManager().setCurrentPaint(shared_from_this());
  shadingImage_ = std::move(image);
  if (!shadingImage_) return;
  enabledCurrentTool(true);
  const auto layer = currentContent();
  if (layer && layer->drawingMode() != DrawingMode::Recreated) {
    drawingTool()->toolSurface()->setOffset({0, 0, 0});
    redraw(DrawingMode::Recreated);
  }
}

const std::shared_ptr<gpu::Texture>& DrawingPaint::colorTexture2D() {
  if (!colorTexture2D_) colorTexture2D_ = AppManager().makeTexture(artwork_->width(), artwork_->height());
  return colorTexture2D_;
}

void DrawingPaint::initSurface() {
  std::shared_ptr<gpu::Texture> texture;
  const auto& surface = artwork_->surface();
  if (surface && surface->id() != SurfaceId::Flat) {
    if (const auto image = graphics::Image::named(surface->mapFile())) texture = textureOfImage(image, ciContext());
  }
  if (!texture) texture = AppManager().makeTexture(1, 1);
  groundTexture_ = std::move(texture);
}

void DrawingPaint::changeSurface(const std::shared_ptr<Surface>& surface) {
  if (!surface) foundation::fatalError("DrawingPaint.changeSurface: no surface");
  const auto& current = artwork_->surface();
  if (current && current->id() == surface->id()) return;
  artwork_->setSurface(surface);
  if (groundTexture_) AppManager().releaseTexture(*groundTexture_);
  groundTexture_.reset();
  initSurface();
  if (background_) background_->setDrawingMode(DrawingMode::Recreated);
  redraw(DrawingMode::Recreated);
}

bool DrawingPaint::isInside(graphics::Point point) {
  // Points off the canvas's side of the mask (negative, not finite, or beyond any texel) are never
  // masked.
  constexpr double limit = static_cast<double>(std::numeric_limits<std::int64_t>::max());
  if (!(point.x >= 0 && point.y >= 0 && point.x < limit && point.y < limit)) return true;
  return isInside(static_cast<std::int64_t>(point.x), static_cast<std::int64_t>(point.y));
}

bool DrawingPaint::isInside(std::int64_t x, std::int64_t y) {
  if (!maskTexture_ || x < 0 || y < 0) return true;
  if (x >= static_cast<std::int64_t>(maskTexture_->width()) || y >= static_cast<std::int64_t>(maskTexture_->height())) {
    return true;
  }
  auto& manager = AppManager();
  auto texel = manager.device()->makeBuffer(maskTexture_->depth() * 4);
  auto buffer = manager.commandQueue()->makeCommandBuffer();
  auto blit = buffer->makeBlitCommandEncoder();
  blit->copy(maskTexture_, 0, 0, gpu::Origin{static_cast<std::size_t>(x), static_cast<std::size_t>(y), 0},
             gpu::Size{1, 1, 1}, texel, 0, 4, 4);
  blit->endEncoding();
  buffer->commit();
  buffer->waitUntilCompleted();
  return texel->contents()[3] != 0;
}

std::shared_ptr<graphics::Image> DrawingPaint::exportImage(double scale) {
  const bool hidden = brushView_ && brushView_->isHidden();
  if (brushView_) brushView_->setHidden(true);
  auto image = CoreImageUtil::createImage(*this, scale);
  if (brushView_) brushView_->setHidden(hidden);
  return image;
}

bool DrawingPaint::saveBefore(const std::shared_ptr<Layer>& layer) {
  const auto& snapshot = before();
  if (!snapshot) return false;
  snapshot->save(layer);
  return true;
}

void DrawingPaint::cleanResources() {
  // Once only: the colour texture, for one, stays stored and would be taken off the count again.
  if (released_) return;
  released_ = true;
  // What was never made (the snapshot, the history, the colour texture) is not made to be released.
  auto& manager = AppManager();
  if (before_) before_->release();
  if (background_) background_->cleanResources();
  background_.reset();
  releaseHistory();
  backView_.reset();
  frontView_.reset();
  if (groundTexture_) manager.releaseTexture(*groundTexture_);
  if (colorTexture2D_) manager.releaseTexture(*colorTexture2D_);
  groundTexture_.reset();
  setMaskImage(nullptr);
  for (const auto& layer : layers_) layer->cleanResources();
  layers_.clear();
  if (brushView_) brushView_->removeFromSuperview();
  brushView_.reset();
  paintingDelegate_.reset();
  touchHandlers_.clear();
  // A released canvas neither becomes nor stays the current paint.
  shadingImage_.reset();
  if (manager.currentPaint().get() == this) manager.setCurrentPaint(nullptr);
}

void DrawingPaint::loads() {
  for (const auto& layer : layers_) layer->loads();
}

std::shared_ptr<ArtworkTextures> DrawingPaint::currentContent() {
  if (layers_.empty()) return nullptr;
  layerIndex_ = std::clamp<std::int64_t>(layerIndex_, 0, static_cast<std::int64_t>(layers_.size()) - 1);
  return layers_[static_cast<std::size_t>(layerIndex_)];
}

void DrawingPaint::enabledCurrentTool(bool force) {
  auto& manager = AppManager();
  if (manager.currentPaint().get() != this) force = true;
  manager.setCurrentPaint(shared_from_this());
  drawingTool()->handleEnabled(force);
}

std::shared_ptr<AbstractDrawingTool> DrawingPaint::drawingTool() const {
  auto tool = std::dynamic_pointer_cast<AbstractDrawingTool>(AppManager().currentTool());
  if (!tool) foundation::fatalError("The current tool is not an AbstractDrawingTool");
  return tool;
}

}  // namespace tessivarium
