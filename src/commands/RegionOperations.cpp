#include "commands/RegionOperations.h"

#include <algorithm>
#include <cmath>

#include "commands/CommandManager.h"
#include "components/ArtworkData.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
#include "graphics/Image.h"
#include "tools/ApplicationManager.h"
#include "tools/EncodersProvider.h"
#include "tools/TextureImport.h"
#include "utils/TextureUtil.h"

namespace tessivarium {
namespace {

// A value cut toward zero to a whole number of cells; not a number counts as 0, and the result
// stays far inside the 64-bit range.
std::int64_t wholeCells(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<std::int64_t>(std::clamp(value, -1e15, 1e15));
}

struct Cells {
  std::int64_t x, y, width, height;
};

// The rectangle clipped to the layer's data textures (empty when it misses them).
Cells clipped(ArtworkTextures& layer, std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height) {
  const auto& descriptor = layer.textureDataDescriptor();
  const auto w = static_cast<std::int64_t>(descriptor->width), h = static_cast<std::int64_t>(descriptor->height);
  const std::int64_t x0 = std::clamp<std::int64_t>(x, 0, w), y0 = std::clamp<std::int64_t>(y, 0, h);
  const std::int64_t x1 = std::clamp<std::int64_t>(x + std::max<std::int64_t>(width, 0), x0, w);
  const std::int64_t y1 = std::clamp<std::int64_t>(y + std::max<std::int64_t>(height, 0), y0, h);
  return {x0, y0, x1 - x0, y1 - y0};
}

ArtworkTextures& texturesOf(const std::shared_ptr<Layer>& layer) {
  auto* textures = dynamic_cast<ArtworkTextures*>(layer.get());
  if (!textures) foundation::fatalError("A region step needs a layer that is an ArtworkTextures");
  return *textures;
}

}  // namespace

// --- AbstractRegionOperation ----------------------------------------------------------------------------

AbstractRegionOperation::AbstractRegionOperation(const std::shared_ptr<DrawingPaint>& paint,
                                                 std::shared_ptr<Layer> layer)
    : AbstractArtworkDrawingOperation(paint, std::move(layer)) {
  texturesOf(this->layer());
}

ArtworkTextures& AbstractRegionOperation::targetLayer() const { return texturesOf(layer()); }

void AbstractRegionOperation::initializeBeforeData(std::int64_t x, std::int64_t y, std::int64_t width,
                                                   std::int64_t height) {
  const auto canvas = paint();
  if (!canvas || !canvas->supportCommand() || width <= 0 || height <= 0) return;
  if (!beforeData_) {
    const auto descriptor = gpu::TextureDescriptor::texture2D(DefaultPixelFormat, static_cast<std::size_t>(width),
                                                              static_cast<std::size_t>(height), false);
    beforeData_ = canvas->commandManager()->newArtworkData(canvas, layer(), descriptor);
  }
  if (beforeData_) {
    beforeData_->setOrigin(gpu::Origin{static_cast<std::size_t>(x), static_cast<std::size_t>(y), 0});
    beforeData_->save(layer());
  }
}

void AbstractRegionOperation::undo() {
  AbstractArtworkDrawingOperation::undo();
  if (!beforeData_) return;
  beforeData_->load();
  beforeData_->release();
  beforeData_.reset();
}

void AbstractRegionOperation::release() {
  AbstractArtworkDrawingOperation::release();
  if (beforeData_) beforeData_->release();
}

std::int64_t AbstractRegionOperation::heldBytes() const { return beforeData_ ? beforeData_->countedBytes() : 0; }

// --- RegionBeforeOperation ------------------------------------------------------------------------------

RegionBeforeOperation::RegionBeforeOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer)
    : RegionBeforeOperation(paint, layer, 0, 0, static_cast<std::int64_t>(texturesOf(layer).textureDataDescriptor()->width),
                            static_cast<std::int64_t>(texturesOf(layer).textureDataDescriptor()->height)) {}

RegionBeforeOperation::RegionBeforeOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer,
                                             const graphics::Rect& rect)
    : RegionBeforeOperation(paint, std::move(layer), wholeCells(rect.origin.x), wholeCells(rect.origin.y),
                            wholeCells(rect.size.width), wholeCells(rect.size.height)) {}

RegionBeforeOperation::RegionBeforeOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer,
                                             std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height)
    : AbstractRegionOperation(paint, std::move(layer)) {
  const Cells cells = clipped(targetLayer(), x, y, width, height);
  x_ = cells.x, y_ = cells.y, width_ = cells.width, height_ = cells.height;
}

graphics::Rect RegionBeforeOperation::rect() const {
  return graphics::Rect(static_cast<double>(x_), static_cast<double>(y_), static_cast<double>(width_),
                        static_cast<double>(height_));
}

void RegionBeforeOperation::redo() {
  AbstractRegionOperation::redo();
  initializeBeforeData(x_, y_, width_, height_);
}

// --- ImageImportOperation -------------------------------------------------------------------------------

bool ImageImportOperation::acceptsPoint(graphics::Point at) {
  constexpr double limit = 4294967296.0;  // 2^32
  return at.x >= 0 && at.y >= 0 && at.x < limit && at.y < limit;  // false for NaN too
}

std::shared_ptr<ImageImportOperation> ImageImportOperation::make(const std::shared_ptr<DrawingPaint>& paint,
                                                                 std::shared_ptr<Layer> layer,
                                                                 const std::shared_ptr<graphics::Image>& image,
                                                                 graphics::Point at, std::optional<float> thickness,
                                                                 bool inWet, std::function<void()> completed) {
  auto step = std::make_shared<ImageImportOperation>(paint, std::move(layer), image, at, thickness, inWet,
                                                     std::move(completed));
  step->redo();
  return step;
}

ImageImportOperation::ImageImportOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer,
                                           const std::shared_ptr<graphics::Image>& image, graphics::Point at,
                                           std::optional<float> thickness, bool inWet, std::function<void()> completed)
    : AbstractRegionOperation(paint, std::move(layer)),
      at_(at),
      thickness_(thickness),
      inWet_(inWet),
      completed_(std::move(completed)) {
  if (!acceptsPoint(at)) foundation::fatalError("ImageImportOperation: the point is not on any layer");
  if (!image) foundation::fatalError("ImageImportOperation: no picture to import");
  const graphics::Size size = image->size();
  if (size.width >= 1 && size.height >= 1) {
    auto& manager = AppManager();
    imageTexture_ = manager.makeTexture(wholeCells(size.width), wholeCells(size.height));
    if (imageTexture_) TextureUtil::loadImage(image, paint->ciContext(), manager.commandQueue(), imageTexture_);
  }
}

void ImageImportOperation::redo() {
  AbstractRegionOperation::redo();
  const auto canvas = paint();
  if (!canvas) foundation::fatalError("ImageImportOperation: the canvas is gone");
  ArtworkTextures& target = targetLayer();
  if (imageTexture_) {
    const Cells cells = clipped(target, static_cast<std::int64_t>(at_.x), static_cast<std::int64_t>(at_.y),
                                static_cast<std::int64_t>(imageTexture_->width()),
                                static_cast<std::int64_t>(imageTexture_->height()));
    initializeBeforeData(cells.x, cells.y, cells.width, cells.height);
  }
  auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  const auto& pass = inWet_ ? std::static_pointer_cast<AbstractTextureImport>(EncodersProvider().getImportImageWet())
                            : std::static_pointer_cast<AbstractTextureImport>(EncodersProvider().getImportImageDry());
  pass->setImage(imageTexture_);
  pass->setAt(at_);
  if (thickness_) pass->setThickness(*thickness_);
  pass->setDry(target.dryTexture());
  pass->setWet(target.wetTexture());
  pass->setGrid(target.gridTexture());
  pass->encode(*canvas, *buffer);
  buffer->commit();
  if (const auto current = canvas->currentContent()) current->setDrawHandler(completed_);
  canvas->redraw(DrawingMode::Recreated);
}

void ImageImportOperation::release() {
  AbstractRegionOperation::release();
  if (imageTexture_) AppManager().releaseTexture(*imageTexture_);
  imageTexture_.reset();
}

std::int64_t ImageImportOperation::heldBytes() const {
  return AbstractRegionOperation::heldBytes() + (imageTexture_ ? ApplicationManager::countedBytes(*imageTexture_) : 0);
}

}  // namespace tessivarium
