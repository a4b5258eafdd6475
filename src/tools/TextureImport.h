#pragma once
// The passes that place an image into a layer's textures in place, as dry or as wet paint of the
// given thickness, with the image's top-left texel at `at`. Each dispatches its kernel twice per
// encode (a 2-D grid over the image). An import that lacks any input, or whose `at` has no unsigned
// 32-bit form (not finite, not above -1, not below 2^32), binds and dispatches nothing.

#include <memory>
#include <optional>

#include "graphics/Geometry.h"
#include "tools/AbstractShaderUnit.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

class AbstractTextureImport : public AbstractToolEncoderShader {
 public:
  AbstractTextureImport(std::string shaderName, PrepareStep prepare = noPreparation());

  const std::shared_ptr<gpu::Texture>& wet() const { return wet_; }
  void setWet(std::shared_ptr<gpu::Texture> texture) { wet_ = std::move(texture); }
  const std::shared_ptr<gpu::Texture>& grid() const { return grid_; }
  void setGrid(std::shared_ptr<gpu::Texture> texture) { grid_ = std::move(texture); }
  const std::shared_ptr<gpu::Texture>& dry() const { return dry_; }
  void setDry(std::shared_ptr<gpu::Texture> texture) { dry_ = std::move(texture); }
  const std::optional<graphics::Point>& at() const { return at_; }
  void setAt(std::optional<graphics::Point> at) { at_ = at; }
  const std::shared_ptr<gpu::Texture>& image() const { return image_; }
  void setImage(std::shared_ptr<gpu::Texture> texture) { image_ = std::move(texture); }
  // The paint's thickness on the 0 to 1 scale of MAX_DEPTH.
  float thickness() const { return thickness_; }
  void setThickness(float thickness) { thickness_ = thickness; }

  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 private:
  std::shared_ptr<gpu::Texture> wet_, grid_, dry_;
  std::optional<graphics::Point> at_;
  std::shared_ptr<gpu::Texture> image_;
  float thickness_ = 5.0f / static_cast<float>(MAX_DEPTH);
};

// "texture_import_image_dry".
class TextureImportDry final : public AbstractTextureImport {
 public:
  TextureImportDry();
};

// "texture_import_image_wet".
class TextureImportWet final : public AbstractTextureImport {
 public:
  TextureImportWet();
};

}  // namespace tessivarium
