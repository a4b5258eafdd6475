#include "tools/DAEToolModelMerge.h"

#include "components/ArtworkTextures.h"
#include "foundation/Fatal.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModelOverlay.h"
#include "tools/EncodersProvider.h"
#include "tools/Texture2Unit.h"
#include "utils/MetalUtil.h"

namespace tessivarium {
namespace {

ArtworkTextures& requiredSource(const std::shared_ptr<ArtworkTextures>& source) {
  if (!source) foundation::fatalError("DAEToolModelMerge: a merge needs a source layer");
  return *source;
}

}  // namespace

DAEToolModelMerge::DAEToolModelMerge(std::shared_ptr<ArtworkTextures> target, PrepareStep)
    : target_(std::move(target)) {
  if (!target_) foundation::fatalError("DAEToolModelMerge: a merge needs a target layer");
  setPrepare([this](DrawingPaint&, gpu::CommandBuffer&) {
    const auto& overlay = EncodersProvider().getTextureOverlay2D();
    overlay->setFrom(requiredSource(source_).dryTexture());
    overlay->setTo(target_->dryTexture());
  });
  setEncoders({DAEEncoders().getTextureDryLayer(), EncodersProvider().getTextureOverlay2D()});
  pointPasses();
}

void DAEToolModelMerge::pointPasses() {
  // The dry-layer pass is shared: another user may have left other textures or a rectangle on it.
  const auto& dry = DAEEncoders().getTextureDryLayer();
  dry->setGrid(target_->gridTexture());
  dry->setToGrid(target_->gridTexture());
  dry->setWet(target_->wetTexture());
  dry->setToWet(target_->wetTexture());
  dry->setDry(target_->dryTexture());
  dry->setToDry(target_->dryTexture());
  dry->setRect(std::nullopt);
}

void DAEToolModelMerge::encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  ArtworkTextures& source = requiredSource(source_);
  pointPasses();
  prepare()(paint, buffer);
  CompositeEncoderUnit::encode(paint, buffer);
  const auto blit = buffer.makeBlitCommandEncoder();
  copyTexture(*blit, source.gridTexture(), target_->gridTexture());
  copyTexture(*blit, source.wetTexture(), target_->wetTexture());
  blit->endEncoding();
}

}  // namespace tessivarium
