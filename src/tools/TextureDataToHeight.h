#pragma once
// The passes that turn paint data into the images the picture is composed from: the working
// region's height and colour images (wet and dry paint, or dry paint only), and the fold of one
// lower layer into a height image. Each dispatches its kernel twice per encode (it sizes and
// dispatches in its fill, then encode dispatches again), so their kernels give the same result run
// twice as once.

#include <memory>

#include "tools/AbstractShaderUnit.h"

namespace tessivarium {

class ArtworkTextures;

// Binds the tool surface's standard set, then the working grid, wet and dry textures numbered 0 at
// the read slots, the canvas's ground, `target` (height) and `color` (colour), the surface's offset,
// the show-ground flag (the canvas shows both its surface and its background; stored as the
// surface's showGroundBuffer) and the use-dry flag (not a palette); a 2-D grid over the working
// grid texture.
class AbstractTextureDataToHeight : public AbstractToolEncoderShader {
 public:
  AbstractTextureDataToHeight(std::shared_ptr<gpu::Texture> target, std::shared_ptr<gpu::Texture> color,
                              std::string shaderName);

  const std::shared_ptr<gpu::Texture>& target() const { return target_; }
  void setTarget(std::shared_ptr<gpu::Texture> texture) { target_ = std::move(texture); }
  const std::shared_ptr<gpu::Texture>& color() const { return color_; }
  void setColor(std::shared_ptr<gpu::Texture> texture) { color_ = std::move(texture); }

  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 private:
  std::shared_ptr<gpu::Texture> target_;
  std::shared_ptr<gpu::Texture> color_;
};

// "texture_data_to_height_image": wet and dry paint; also the last-layer flag and the canvas's
// background colour (required).
class TextureDataToHeight final : public AbstractTextureDataToHeight {
 public:
  TextureDataToHeight(std::shared_ptr<gpu::Texture> target, std::shared_ptr<gpu::Texture> color);

  bool lastLayer() const { return lastLayer_; }
  void setLastLayer(bool last) { lastLayer_ = last; }

  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 private:
  bool lastLayer_ = true;
};

// "texture_data_to_height_dry_image": the dry paint's images.
class TextureDataToDryHeight final : public AbstractTextureDataToHeight {
 public:
  TextureDataToDryHeight(std::shared_ptr<gpu::Texture> target, std::shared_ptr<gpu::Texture> color);
};

// "texture_data_to_height_subimage": folds one layer's paint under the working region into
// `target`, which it reads and writes. Without a target it binds and dispatches nothing.
class TextureDataToHeightSubLayer final : public AbstractToolEncoderShader {
 public:
  explicit TextureDataToHeightSubLayer(std::shared_ptr<ArtworkTextures> layer);

  const std::shared_ptr<gpu::Texture>& target() const { return target_; }
  void setTarget(std::shared_ptr<gpu::Texture> texture) { target_ = std::move(texture); }
  const std::shared_ptr<ArtworkTextures>& layer() const { return layer_; }
  void setLayer(std::shared_ptr<ArtworkTextures> layer) { layer_ = std::move(layer); }
  bool lastLayer() const { return lastLayer_; }
  void setLastLayer(bool last) { lastLayer_ = last; }

  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 private:
  std::shared_ptr<gpu::Texture> target_;
  std::shared_ptr<ArtworkTextures> layer_;
  bool lastLayer_ = true;
};

}  // namespace tessivarium
