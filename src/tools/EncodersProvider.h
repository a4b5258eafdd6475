#pragma once
// The registry of the shared texture-maintenance passes and of the two drop-tool paint passes: each
// is made on its first request and the same object is handed to every caller ever after, so each
// kernel's pipeline is built once for the whole system. Getters that take textures put them into
// the shared pass before returning it. Main thread only.

#include <memory>

#include "gpu/Vectors.h"

namespace gpu {
class Texture;
}

namespace tessivarium {

class ArtworkTextures;
class MacAddSphere;
class SprayerEncoder;
class TextureCopy;
class TextureDataToAlpha;
class TextureDataToDryAlpha;
class TextureDataToDryHeight;
class TextureDataToHeight;
class TextureDataToHeightSubLayer;
class TextureImportDry;
class TextureImportWet;
class TextureOverlay;
class TextureOverlay2D;
class TextureReset;
class TextureReset2D;

class EncoderProvider {
 public:
  EncoderProvider();
  ~EncoderProvider();
  EncoderProvider(const EncoderProvider&) = delete;
  EncoderProvider& operator=(const EncoderProvider&) = delete;

  // Makes every pass and builds every pipeline ("Execution time of" lines, the first time only);
  // later calls re-point the passes' provisional targets at the working dry texture and the
  // one-layer pass at the current layer. Needs a current canvas (fatal stop otherwise, after the
  // first four pipelines).
  void startup();

  const std::shared_ptr<MacAddSphere>& getAddSphere();
  const std::shared_ptr<SprayerEncoder>& getSprayer();
  const std::shared_ptr<TextureImportDry>& getImportImageDry();
  const std::shared_ptr<TextureImportWet>& getImportImageWet();
  const std::shared_ptr<TextureDataToHeightSubLayer>& getTextureDataToHeightSubImage(
      std::shared_ptr<gpu::Texture> target, std::shared_ptr<ArtworkTextures> layer, bool lastLayer = true);
  const std::shared_ptr<TextureDataToHeight>& getTextureDataToHeightImage(std::shared_ptr<gpu::Texture> target,
                                                                          std::shared_ptr<gpu::Texture> color,
                                                                          bool lastLayer = true);
  const std::shared_ptr<TextureDataToAlpha>& getTextureDataToAlphaImage(std::shared_ptr<gpu::Texture> target);
  const std::shared_ptr<TextureDataToDryAlpha>& getTextureDataToDryAlphaImage(std::shared_ptr<gpu::Texture> target);
  const std::shared_ptr<TextureDataToDryHeight>& getTextureDataToDryHeightImage(std::shared_ptr<gpu::Texture> target,
                                                                                std::shared_ptr<gpu::Texture> color);
  // Its offset goes back to (0, 0, 0); its texture stays as the last caller set it.
  const std::shared_ptr<TextureReset2D>& getTextureReset2D();
  // Its texture becomes `target` and its offset (0, 0, 0).
  const std::shared_ptr<TextureReset>& getTextureReset(std::shared_ptr<gpu::Texture> target);
  const std::shared_ptr<TextureCopy>& getTextureCopy();
  const std::shared_ptr<TextureOverlay>& getTextureOverlay();
  const std::shared_ptr<TextureOverlay2D>& getTextureOverlay2D();

  // The passes made so far (absent until first requested).
  const std::shared_ptr<MacAddSphere>& addSphere() const { return addSphere_; }
  const std::shared_ptr<SprayerEncoder>& sprayer() const { return sprayer_; }
  const std::shared_ptr<TextureDataToHeight>& textureDataToHeight() const { return textureDataToHeight_; }
  const std::shared_ptr<TextureDataToHeightSubLayer>& textureDataToHeightSubLayer() const {
    return textureDataToHeightSubLayer_;
  }
  const std::shared_ptr<TextureDataToAlpha>& textureDataToAlpha() const { return textureDataToAlpha_; }
  const std::shared_ptr<TextureDataToDryAlpha>& textureDataToDryAlpha() const { return textureDataToDryAlpha_; }
  const std::shared_ptr<TextureDataToDryHeight>& textureDataToDryHeight() const { return textureDataToDryHeight_; }
  const std::shared_ptr<TextureReset2D>& textureReset2D() const { return textureReset2D_; }
  const std::shared_ptr<TextureReset>& textureReset() const { return textureReset_; }
  const std::shared_ptr<TextureCopy>& textureCopy() const { return textureCopy_; }
  const std::shared_ptr<TextureOverlay>& textureOverlay() const { return textureOverlay_; }
  const std::shared_ptr<TextureOverlay2D>& textureOverlay2D() const { return textureOverlay2D_; }
  const std::shared_ptr<TextureImportDry>& importImageDry() const { return importImageDry_; }
  const std::shared_ptr<TextureImportWet>& importImageWet() const { return importImageWet_; }

 private:
  std::shared_ptr<MacAddSphere> addSphere_;
  std::shared_ptr<SprayerEncoder> sprayer_;
  std::shared_ptr<TextureDataToHeight> textureDataToHeight_;
  std::shared_ptr<TextureDataToHeightSubLayer> textureDataToHeightSubLayer_;
  std::shared_ptr<TextureDataToAlpha> textureDataToAlpha_;
  std::shared_ptr<TextureDataToDryAlpha> textureDataToDryAlpha_;
  std::shared_ptr<TextureDataToDryHeight> textureDataToDryHeight_;
  std::shared_ptr<TextureReset2D> textureReset2D_;
  std::shared_ptr<TextureReset> textureReset_;
  std::shared_ptr<TextureCopy> textureCopy_;
  std::shared_ptr<TextureOverlay> textureOverlay_;
  std::shared_ptr<TextureOverlay2D> textureOverlay2D_;
  std::shared_ptr<TextureImportDry> importImageDry_;
  std::shared_ptr<TextureImportWet> importImageWet_;
};

// The one registry, created on first use.
EncoderProvider& EncodersProvider();

// Drops the registry and its passes, so the next use starts afresh (tests only).
void resetEncodersProviderForTesting();

}  // namespace tessivarium
