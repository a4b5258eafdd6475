#include "components/ArtworkTextures.h"

#include <cmath>
#include <limits>
#include <string>

#include "ErrorMessage.h"
#include "commands/CommandManager.h"
#include "commands/LayerOperations.h"
#include "commands/RegionOperations.h"
#include "components/DrawingPaint.h"
#include "components/LayerTiming.h"
#include "foundation/Fatal.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModelMerge.h"
#include "tools/DAEToolModelOverlay.h"
#include "tools/EncodersProvider.h"
#include "tools/TextureReset.h"

namespace tessivarium {
namespace {

// A texture side from a size in double precision, the fraction dropped; none when it is below 1,
// not a number or beyond the integer range.
std::optional<std::size_t> textureSide(double value) {
  if (!std::isfinite(value) || value < 1.0 ||
      value >= static_cast<double>(std::numeric_limits<std::int64_t>::max())) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(value);
}

std::shared_ptr<gpu::TextureDescriptor> descriptor2D(std::size_t width, std::size_t height) {
  auto descriptor = gpu::TextureDescriptor::texture2D(DefaultPixelFormat, width, height, false);
  // The kernels read and write every layer texture, the storage data reads and writes its bytes.
  descriptor->usage = gpu::TextureUsage::ShaderRead | gpu::TextureUsage::ShaderWrite;
  return descriptor;
}

struct Sides {
  std::size_t width, height;
};

std::optional<Sides> sides(double width, double height) {
  const auto w = textureSide(width), h = textureSide(height);
  if (!w || !h) return std::nullopt;
  return Sides{*w, *h};
}

std::optional<Sides> globalSides(const Artwork& artwork) {
  return sides(static_cast<double>(artwork.width()), static_cast<double>(artwork.height()));
}

std::optional<Sides> dataSides(const DrawingPaint& paint) {
  const double scale = ArtworkTextures::dataScale(paint);
  const Artwork& artwork = *paint.artwork();
  return sides(static_cast<double>(artwork.width()) * scale, static_cast<double>(artwork.height()) * scale);
}

}  // namespace

// The main canvas's scale (the layer's own canvas's without a main canvas), so every canvas's cells
// match the main canvas's.
double ArtworkTextures::dataScale(const DrawingPaint& paint) { return dataScale(*paint.artwork()); }

double ArtworkTextures::dataScale(const Artwork& artwork) {
  const auto& canvas = AppManager().canvas();
  return (canvas ? *canvas->artwork() : artwork).scale();
}

std::shared_ptr<ArtworkTextures> ArtworkTextures::make(DrawingPaint& paint, std::int64_t index,
                                                       const std::shared_ptr<ArtworkTextures>& with) {
  if (!paint.artwork()) foundation::fatalError("ArtworkTextures: the canvas has no artwork");
  if (!globalSides(*paint.artwork()) || !dataSides(paint)) throw Error(ErrorMessage::TextureFormatIncompatible);
  auto layer = std::make_shared<ArtworkTextures>(Key{}, paint, index);
  if (!layer->isValid()) {
    layer->cleanResources();
    throw Error(ErrorMessage::NoMoreHeap);
  }
  // A new layer has nothing an undo could give back, and it is not in the stack yet: the paint is
  // copied straight in, not as a recorded step.
  if (with) paint.doLayerCopyFrom(layer, with);
  return layer;
}

ArtworkTextures::ArtworkTextures(Key, DrawingPaint& paint, std::int64_t index) : paint_(&paint), index_(index) {
  const double width = static_cast<double>(paint.artwork()->width());
  const double height = static_cast<double>(paint.artwork()->height());
  metalView_ = std::make_shared<ui::GPUView>(graphics::Rect(0, 0, width, height), AppManager().device());
  metalView_->setFramebufferOnly(false);
  metalView_->setColorPixelFormat(gpu::PixelFormat::BGRA8Unorm);
  metalView_->setOpaque(false);
  metalView_->setDrawableSize(graphics::Size(width, height));
  metalView_->setPaused(true);
}

ArtworkTextures::~ArtworkTextures() = default;

void ArtworkTextures::setDrawingMode(DrawingMode mode) {
  drawingMode_ = mode;
  redraw();
}

void ArtworkTextures::setIsDrawing(bool drawing) {
  isDrawing_ = drawing;
  if (drawing) metalView_->setPaused(false);
}

void ArtworkTextures::redraw() { metalView_->setPaused(false); }

void ArtworkTextures::attachView() {
  if (!metalView_->isHidden()) metalView_->setDelegate(weak_from_this());
}

const std::shared_ptr<gpu::TextureDescriptor>& ArtworkTextures::textureGlobalDescriptor() {
  if (!globalDescriptor_) {
    const auto s = globalSides(*paint_->artwork());
    if (!s) foundation::fatalError("ArtworkTextures: the artwork's size gives no texture");
    globalDescriptor_ = descriptor2D(s->width, s->height);
  }
  return globalDescriptor_;
}

const std::shared_ptr<gpu::TextureDescriptor>& ArtworkTextures::textureDataDescriptor() {
  if (!dataDescriptor_) {
    const auto s = dataSides(*paint_);
    if (!s) foundation::fatalError("ArtworkTextures: the artwork's data size gives no texture");
    dataDescriptor_ = descriptor2D(s->width, s->height);
  }
  return dataDescriptor_;
}

const std::shared_ptr<gpu::Texture>& ArtworkTextures::made(std::shared_ptr<gpu::Texture>& slot,
                                                           const std::shared_ptr<gpu::TextureDescriptor>& descriptor) {
  if (!slot) slot = AppManager().makeTexture(*descriptor);
  return slot;
}

const std::shared_ptr<gpu::Texture>& ArtworkTextures::gridTexture() { return made(grid_, textureDataDescriptor()); }
const std::shared_ptr<gpu::Texture>& ArtworkTextures::wetTexture() { return made(wet_, textureDataDescriptor()); }
const std::shared_ptr<gpu::Texture>& ArtworkTextures::dryTexture() { return made(dry_, textureDataDescriptor()); }
const std::shared_ptr<gpu::Texture>& ArtworkTextures::paintingTexture() {
  return made(painting_, textureGlobalDescriptor());
}

bool ArtworkTextures::isVisible() const { return index_ <= paint_->layerIndex() && !isHidden_; }

bool ArtworkTextures::isValid() {
  const auto dataWidth = textureDataDescriptor()->width;
  const auto fits = [](const std::shared_ptr<gpu::Texture>& texture, std::size_t width) {
    return texture && texture->width() == width;
  };
  return fits(gridTexture(), dataWidth) && fits(wetTexture(), dataWidth) && fits(dryTexture(), dataWidth) &&
         fits(paintingTexture(), textureGlobalDescriptor()->width);
}

void ArtworkTextures::loads() {
  if (!isValid()) throw Error(ErrorMessage::NoMoreHeap);
}

void ArtworkTextures::merge(const std::vector<std::shared_ptr<ArtworkTextures>>& layers) {
  if (layers.empty()) return;
  DAEToolModelMerge pass(shared_from_this());
  for (const auto& layer : layers) {
    if (!layer) continue;
    auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    pass.setSource(layer);
    pass.encode(*paint_, *buffer);
    buffer->commit();
  }
}

std::vector<std::shared_ptr<gpu::Texture>*> ArtworkTextures::textureSlots() {
  return {&grid_, &wet_, &dry_, &painting_};
}

void ArtworkTextures::cleanResources() {
  if (counted_) {
    // Only the textures that exist: asking again for one that just failed would report it twice.
    for (auto* slot : textureSlots()) {
      if (*slot) AppManager().releaseTexture(**slot);
    }
    counted_ = false;
  }
  metalView_->releaseDrawables();
  metalView_->removeFromSuperview();
  metalView_->setDelegate(nullptr);
}

void ArtworkTextures::putBack() {
  if (counted_) return;
  auto& manager = AppManager();
  for (auto* slot : textureSlots()) {
    if (*slot) manager.setHeapSize(manager.heapSize() + ApplicationManager::countedBytes(**slot));
  }
  counted_ = true;
}

void ArtworkTextures::drawableSizeWillChange(ui::GPUView&, graphics::Size) {}

// --- Content operations ------------------------------------------------------------------------------

void ArtworkTextures::encodeClean(gpu::CommandBuffer& buffer, SublayerType type) {
  const auto& reset = EncodersProvider().getTextureReset2D();
  const auto resetOne = [&](const std::shared_ptr<gpu::Texture>& texture) {
    reset->setTexture(texture);
    reset->encode(*paint_, buffer);
  };
  if (type == SublayerType::both || type == SublayerType::wet) {
    resetOne(gridTexture());
    resetOne(wetTexture());
  }
  if (type == SublayerType::both || type == SublayerType::dry) resetOne(dryTexture());
}

void ArtworkTextures::clean(SublayerType type) {
  const double start = foundation::monotonicSeconds();
  auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  encodeClean(*buffer, type);
  addTimingLine(*buffer, "Clean time: ", start);
  buffer->commit();
  paint_->redraw(DrawingMode::Recreated);
}

void ArtworkTextures::runAtOnce(ToolEncoder& pass, const char* timing) {
  const double start = foundation::monotonicSeconds();
  auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  pass.encode(*paint_, *buffer);
  addTimingLine(*buffer, timing, start);
  buffer->commit();
  paint_->redraw(DrawingMode::Recreated);
}

void ArtworkTextures::doDry(const graphics::Rect& rect) {
  const auto& pass = DAEEncoders().getTextureDryLayer();
  pass->setRect(rect);
  pass->setDry(dryTexture());
  pass->setToDry(dryTexture());
  pass->setWet(wetTexture());
  pass->setToWet(wetTexture());
  pass->setGrid(gridTexture());
  pass->setToGrid(gridTexture());
  runAtOnce(*pass, "Dry time: ");
}

void ArtworkTextures::doWet(double wetness, double thickness, const graphics::Rect& rect) {
  const auto& pass = DAEEncoders().getTextureWetLayer();
  pass->setRect(rect);
  pass->setWetness(static_cast<float>(wetness));
  pass->setThickness(static_cast<float>(thickness));
  pass->setWet(wetTexture());
  pass->setToWet(wetTexture());
  pass->setGrid(gridTexture());
  pass->setToGrid(gridTexture());
  runAtOnce(*pass, "Wet time: ");
}

void ArtworkTextures::dry() { dry(std::nullopt); }

namespace {

// The tail of every step a layer builds: recorded on a canvas with a history, else given up at once
// (the change stays).
void keep(DrawingPaint& canvas, const std::shared_ptr<ArtworkDrawingOperation>& step) {
  if (canvas.supportCommand()) {
    canvas.commandManager()->append(step);
  } else {
    step->release();
  }
}

}  // namespace

void ArtworkTextures::dry(std::optional<graphics::Rect> rect) {
  keep(*paint_, AbstractLayerOperation::make<LayerDryOperation>(paint_->shared_from_this(), shared_from_this(), rect));
}

void ArtworkTextures::wet(double wetness, double thickness) { wet(wetness, thickness, std::nullopt); }

void ArtworkTextures::wet(double wetness, double thickness, std::optional<graphics::Rect> rect) {
  keep(*paint_, AbstractLayerOperation::make<LayerWetOperation>(paint_->shared_from_this(), shared_from_this(), wetness,
                                                               thickness, rect));
}

void ArtworkTextures::importImage(std::shared_ptr<graphics::Image> image, graphics::Point at,
                                  std::optional<float> thickness, bool inWet, std::function<void()> completed) {
  // The canvas's current layer takes the picture, whichever layer is asked.
  const auto target = paint_->currentContent();
  if (!target || !image) return;
  if (!ImageImportOperation::acceptsPoint(at)) {
    foundation::consoleLine("Image import refused: the point (" + foundation::describe(at.x) + ", " +
                            foundation::describe(at.y) + ") is not on the layer");
    return;
  }
  keep(*paint_, ImageImportOperation::make(paint_->shared_from_this(), target, image, at, thickness, inWet,
                                           std::move(completed)));
}

void ArtworkTextures::moveDown() { paint_->layerMoveDown(shared_from_this()); }

void ArtworkTextures::moveUp() { paint_->layerMoveUp(shared_from_this()); }

void ArtworkTextures::duplicate() { paint_->layerDuplicate(shared_from_this()); }

bool ArtworkTextures::deleteLayer() { return paint_->layerDelete(shared_from_this()); }

void ArtworkTextures::copyFrom(const std::shared_ptr<Layer>& layer) { paint_->layerCopyFrom(shared_from_this(), layer); }

}  // namespace tessivarium
