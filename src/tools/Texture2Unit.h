#pragma once
// The two-texture passes: a source `from` and a destination `to`, with the current tool surface's
// offset. The copy's grid follows `from` (3-D for a 3-D source), set when `from` is assigned; the
// overlays size a 2-D grid over `to` at every encode. Each dispatches once per encode.

#include <memory>

#include "tools/AbstractShaderUnit.h"

namespace tessivarium {

class Texture2Unit : public AbstractToolEncoderShader {
 public:
  Texture2Unit(std::string shaderName, PrepareStep prepare = noPreparation());

  const std::shared_ptr<gpu::Texture>& from() const { return from_; }
  // A present texture also sizes the grid by it (depth-aware).
  void setFrom(std::shared_ptr<gpu::Texture> texture);
  const std::shared_ptr<gpu::Texture>& to() const { return to_; }
  void setTo(std::shared_ptr<gpu::Texture> texture) { to_ = std::move(texture); }

  // The surface's offset at BUFFER_OFFSET, `from` at TEXTURE_COPY_FROM, `to` at TEXTURE_COPY_TO;
  // either texture absent is a fatal stop.
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 private:
  std::shared_ptr<gpu::Texture> from_;
  std::shared_ptr<gpu::Texture> to_;
};

// "pic_flip_texture_copy": `from` copied into `to` texel for texel (nothing is flipped).
class TextureCopy final : public Texture2Unit {
 public:
  explicit TextureCopy(PrepareStep prepare = noPreparation());
};

// "textureOverlay": the paint of `from` laid over `to`.
class TextureOverlay final : public Texture2Unit {
 public:
  explicit TextureOverlay(PrepareStep prepare = noPreparation());
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// "textureOverlay2D": the same binding, another kernel; the tool-model layer merge uses it.
class TextureOverlay2D final : public Texture2Unit {
 public:
  explicit TextureOverlay2D(PrepareStep prepare = noPreparation());
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

}  // namespace tessivarium
