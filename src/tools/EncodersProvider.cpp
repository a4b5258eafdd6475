#include "tools/EncodersProvider.h"

#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "tools/ApplicationManager.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/Texture2Unit.h"
#include "tools/TextureDataToAlpha.h"
#include "tools/TextureDataToHeight.h"
#include "tools/TextureImport.h"
#include "tools/TextureReset.h"
#include "tools/sprayer/SprayerEncoder.h"
#include "tools/tubes/MacAddSphere.h"

namespace tessivarium {
namespace {

std::unique_ptr<EncoderProvider>& registrySlot() {
  static std::unique_ptr<EncoderProvider> registry;
  return registry;
}

template <typename Pass, typename Make>
const std::shared_ptr<Pass>& madeOnce(std::shared_ptr<Pass>& slot, Make make) {
  if (!slot) slot = make();
  return slot;
}

template <typename Pass>
const std::shared_ptr<Pass>& madeOnce(std::shared_ptr<Pass>& slot) {
  return madeOnce(slot, [] { return std::make_shared<Pass>(); });
}

// Building is reading the pipeline: the first read builds it and prints its timing line.
template <typename Pass>
void build(const std::shared_ptr<Pass>& pass) {
  pass->shaderPipelineState();
}

}  // namespace

EncoderProvider::EncoderProvider() = default;
EncoderProvider::~EncoderProvider() = default;

EncoderProvider& EncodersProvider() {
  auto& registry = registrySlot();
  if (!registry) registry = std::make_unique<EncoderProvider>();
  return *registry;
}

void resetEncodersProviderForTesting() { registrySlot().reset(); }

void EncoderProvider::startup() {
  build(getAddSphere());
  build(getSprayer());
  build(getImportImageDry());
  build(getImportImageWet());
  auto& manager = AppManager();
  // A provisional target, so that the passes that need one at construction can be made.
  const auto t = manager.surfaceTextures().dryTexture0();
  const auto& paint = manager.currentPaint();
  if (!paint) foundation::fatalError("The pass registry starts up only once there is a current canvas");
  const auto layer = paint->currentContent();
  build(getTextureDataToHeightSubImage(t, layer));
  build(getTextureDataToHeightImage(t, t));
  build(getTextureDataToAlphaImage(t));
  build(getTextureDataToDryAlphaImage(t));
  build(getTextureDataToDryHeightImage(t, t));
  build(getTextureReset2D());
  build(getTextureReset(t));
  build(getTextureCopy());
  build(getTextureOverlay());
  build(getTextureOverlay2D());
}

const std::shared_ptr<MacAddSphere>& EncoderProvider::getAddSphere() { return madeOnce(addSphere_); }

const std::shared_ptr<SprayerEncoder>& EncoderProvider::getSprayer() { return madeOnce(sprayer_); }

const std::shared_ptr<TextureImportDry>& EncoderProvider::getImportImageDry() { return madeOnce(importImageDry_); }

const std::shared_ptr<TextureImportWet>& EncoderProvider::getImportImageWet() { return madeOnce(importImageWet_); }

const std::shared_ptr<TextureDataToHeightSubLayer>& EncoderProvider::getTextureDataToHeightSubImage(
    std::shared_ptr<gpu::Texture> target, std::shared_ptr<ArtworkTextures> layer, bool lastLayer) {
  const auto& pass = madeOnce(textureDataToHeightSubLayer_,
                              [&] { return std::make_shared<TextureDataToHeightSubLayer>(layer); });
  pass->setTarget(std::move(target));
  pass->setLayer(std::move(layer));
  pass->setLastLayer(lastLayer);
  return pass;
}

const std::shared_ptr<TextureDataToHeight>& EncoderProvider::getTextureDataToHeightImage(
    std::shared_ptr<gpu::Texture> target, std::shared_ptr<gpu::Texture> color, bool lastLayer) {
  const auto& pass =
      madeOnce(textureDataToHeight_, [&] { return std::make_shared<TextureDataToHeight>(target, color); });
  pass->setTarget(std::move(target));
  pass->setColor(std::move(color));
  pass->setLastLayer(lastLayer);
  return pass;
}

const std::shared_ptr<TextureDataToAlpha>& EncoderProvider::getTextureDataToAlphaImage(
    std::shared_ptr<gpu::Texture> target) {
  const auto& pass = madeOnce(textureDataToAlpha_, [&] { return std::make_shared<TextureDataToAlpha>(target); });
  pass->setTarget(std::move(target));
  return pass;
}

const std::shared_ptr<TextureDataToDryAlpha>& EncoderProvider::getTextureDataToDryAlphaImage(
    std::shared_ptr<gpu::Texture> target) {
  const auto& pass =
      madeOnce(textureDataToDryAlpha_, [&] { return std::make_shared<TextureDataToDryAlpha>(target); });
  pass->setTarget(std::move(target));
  return pass;
}

const std::shared_ptr<TextureDataToDryHeight>& EncoderProvider::getTextureDataToDryHeightImage(
    std::shared_ptr<gpu::Texture> target, std::shared_ptr<gpu::Texture> color) {
  const auto& pass =
      madeOnce(textureDataToDryHeight_, [&] { return std::make_shared<TextureDataToDryHeight>(target, color); });
  pass->setTarget(std::move(target));
  pass->setColor(std::move(color));
  return pass;
}

const std::shared_ptr<TextureReset2D>& EncoderProvider::getTextureReset2D() {
  const auto& pass = madeOnce(textureReset2D_);
  pass->setOffset({0, 0, 0});
  return pass;
}

const std::shared_ptr<TextureReset>& EncoderProvider::getTextureReset(std::shared_ptr<gpu::Texture> target) {
  const auto& pass = madeOnce(textureReset_, [&] { return std::make_shared<TextureReset>(target); });
  pass->setTexture(std::move(target));
  pass->setOffset(gpu::uint3{0, 0, 0});
  return pass;
}

const std::shared_ptr<TextureCopy>& EncoderProvider::getTextureCopy() { return madeOnce(textureCopy_); }

const std::shared_ptr<TextureOverlay>& EncoderProvider::getTextureOverlay() { return madeOnce(textureOverlay_); }

const std::shared_ptr<TextureOverlay2D>& EncoderProvider::getTextureOverlay2D() {
  return madeOnce(textureOverlay2D_);
}

}  // namespace tessivarium
