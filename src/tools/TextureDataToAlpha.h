#pragma once
// The passes that give the picture its coverage: the working region's paint (wet and dry, or dry
// only) as an alpha image. Each dispatches its kernel twice per encode.

#include <memory>

#include "tools/AbstractShaderUnit.h"

namespace tessivarium {

// Binds the tool surface's standard set, then the working grid, wet and dry textures numbered 0 at
// the read slots, `target` at TEXTURE_COLOR_IMAGE_WRITE, the surface's offset and the use-dry flag;
// a 2-D grid over the working grid texture.
class AbstractTextureDataToAlpha : public AbstractToolEncoderShader {
 public:
  AbstractTextureDataToAlpha(std::shared_ptr<gpu::Texture> target, std::string shaderName);

  const std::shared_ptr<gpu::Texture>& target() const { return target_; }
  void setTarget(std::shared_ptr<gpu::Texture> texture) { target_ = std::move(texture); }

  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 private:
  std::shared_ptr<gpu::Texture> target_;
};

// "texture_data_to_height_alpha": wet and dry paint.
class TextureDataToAlpha final : public AbstractTextureDataToAlpha {
 public:
  explicit TextureDataToAlpha(std::shared_ptr<gpu::Texture> target);
};

// "texture_data_to_height_dry_alpha": dry paint only.
class TextureDataToDryAlpha final : public AbstractTextureDataToAlpha {
 public:
  explicit TextureDataToDryAlpha(std::shared_ptr<gpu::Texture> target);
};

}  // namespace tessivarium
