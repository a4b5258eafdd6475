#include "components/ArtworkData.h"

#include <array>

#include "Artwork.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
#include "tools/ApplicationManager.h"
#include "tools/SurfaceWorkingTextures.h"

namespace tessivarium {
namespace {

std::shared_ptr<DrawingPaint> requiredCurrentPaint() {
  std::shared_ptr<DrawingPaint> paint = AppManager().currentPaint();
  if (!paint) foundation::fatalError("ArtworkData: there is no current paint to take a snapshot of");
  return paint;
}

const std::shared_ptr<ArtworkTextures>& requiredLayer(const std::shared_ptr<ArtworkTextures>& layer) {
  if (!layer) foundation::fatalError("ArtworkData: the snapshot has no layer");
  return layer;
}

// One blit of the region per texture pair, grid, wet and dry in that order; pairs with an absent
// side are skipped.
using TexturePairs = std::array<std::pair<std::shared_ptr<gpu::Texture>, std::shared_ptr<gpu::Texture>>, 3>;

void copyPairs(gpu::BlitCommandEncoder& encoder, const TexturePairs& pairs, gpu::Origin from,
               gpu::Size size, gpu::Origin to) {
  for (const auto& [source, destination] : pairs) {
    if (!source || !destination) continue;
    encoder.copy(source, 0, 0, from, size, destination, 0, 0, to);
  }
}

// The pairs copied on a command buffer of their own, committed without waiting.
void copyCommitted(const TexturePairs& pairs, gpu::Origin from, gpu::Size size, gpu::Origin to) {
  auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  auto encoder = buffer->makeBlitCommandEncoder();
  copyPairs(*encoder, pairs, from, size, to);
  encoder->endEncoding();
  buffer->commit();
}

}  // namespace

ArtworkData::ArtworkData() : ArtworkData(requiredCurrentPaint()) {}

ArtworkData::ArtworkData(std::shared_ptr<DrawingPaint> paint)
    : ArtworkData(std::move(paint), AppManager().surfaceTextures().texture2DDescriptor()) {}

ArtworkData::ArtworkData(std::shared_ptr<DrawingPaint> paint,
                         std::shared_ptr<gpu::TextureDescriptor> descriptor)
    : origin_(ORIGIN0) {
  if (!paint) foundation::fatalError("ArtworkData: a snapshot needs a canvas");
  if (!descriptor) foundation::fatalError("ArtworkData: a snapshot needs a texture descriptor");
  paint_ = paint;
  layer_ = paint->currentContent();
  descriptor_ = std::move(descriptor);
  auto& manager = AppManager();
  gridTexture_ = manager.makeTexture(*descriptor_);
  wetTexture_ = manager.makeTexture(*descriptor_);
  dryTexture_ = manager.makeTexture(*descriptor_);
  size_ = gpu::Size{descriptor_->width, descriptor_->height, 1};
}

void ArtworkData::update(const std::shared_ptr<DrawingPaint>& paint, const gpu::Origin& origin) {
  if (!paint) foundation::fatalError("ArtworkData.update: no canvas");
  paint_ = paint;
  layer_ = paint->currentContent();
  origin_ = origin;
}

bool ArtworkData::isValid() const {
  const std::size_t width = descriptor_->width;
  return gridTexture_ && gridTexture_->width() == width && wetTexture_ && wetTexture_->width() == width &&
         dryTexture_ && dryTexture_->width() == width;
}

std::int64_t ArtworkData::countedBytes() const {
  std::int64_t bytes = 0;
  for (const auto* texture : {&gridTexture_, &wetTexture_, &dryTexture_}) {
    if (*texture) bytes += ApplicationManager::countedBytes(**texture);
  }
  return bytes;
}

void ArtworkData::save(const std::shared_ptr<Layer>& layer) {
  if (layer) {
    auto textures = std::dynamic_pointer_cast<ArtworkTextures>(layer);
    if (!textures) foundation::fatalError("ArtworkData.save: the layer is not an ArtworkTextures");
    layer_ = std::move(textures);
  }
  ArtworkTextures& source = *requiredLayer(layer_);
  copyCommitted({{{source.gridTexture(), gridTexture_},
                  {source.wetTexture(), wetTexture_},
                  {source.dryTexture(), dryTexture_}}},
                origin_, size_, ORIGIN0);
}

void ArtworkData::load(gpu::BlitCommandEncoder* encoder) {
  const std::shared_ptr<DrawingPaint> canvas = paint();
  if (!canvas) foundation::fatalError("ArtworkData.load: the canvas is gone");
  const std::shared_ptr<ArtworkTextures>& target = requiredLayer(layer_);
  AppManager().setCurrentPaint(canvas);

  const TexturePairs pairs{{{gridTexture_, target->gridTexture()},
                            {wetTexture_, target->wetTexture()},
                            {dryTexture_, target->dryTexture()}}};
  if (encoder) {
    copyPairs(*encoder, pairs, ORIGIN0, size_, origin_);
  } else {
    copyCommitted(pairs, ORIGIN0, size_, origin_);
  }
  target->attachView();
  target->setDrawingMode(DrawingMode::Recreated);
}

void ArtworkData::copyFrom(const ArtworkData& other) {
  copyCommitted({{{other.gridTexture_, gridTexture_},
                  {other.wetTexture_, wetTexture_},
                  {other.dryTexture_, dryTexture_}}},
                origin_, size_, ORIGIN0);
}

void ArtworkData::release() {
  auto& manager = AppManager();
  for (std::shared_ptr<gpu::Texture>* texture : {&gridTexture_, &wetTexture_, &dryTexture_}) {
    if (*texture) manager.releaseTexture(**texture);
    texture->reset();
  }
}

}  // namespace tessivarium
