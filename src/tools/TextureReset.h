#pragma once
// The passes that clear a texture: every texel gets the clear value TEXTURE_DEFAULT_VALUE. The 3-D
// reset sizes its grid by the texture's depth, the 2-D reset over its width and height. Each
// dispatches once per encode.

#include <array>
#include <memory>
#include <optional>

#include "gpu/Vectors.h"
#include "tools/AbstractShaderUnit.h"

namespace tessivarium {

// The clear value the resets hand their kernels at BUFFER_VALUE: four 0.0 values.
inline constexpr std::array<float, 4> TEXTURE_DEFAULT_VALUE{0.0f, 0.0f, 0.0f, 0.0f};

// "pic_flip_texture_reset".
class TextureReset final : public AbstractToolEncoderShader {
 public:
  explicit TextureReset(std::shared_ptr<gpu::Texture> texture);

  const std::shared_ptr<gpu::Texture>& texture() const { return texture_; }
  void setTexture(std::shared_ptr<gpu::Texture> texture) { texture_ = std::move(texture); }
  // The offset record; when absent the tool surface's own offset buffer is bound instead.
  const std::optional<gpu::uint3>& offset() const { return offset_; }
  void setOffset(std::optional<gpu::uint3> offset) { offset_ = offset; }

  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 private:
  std::shared_ptr<gpu::Texture> texture_;
  std::optional<gpu::uint3> offset_;
};

// "pic_flip_texture_reset2D".
class TextureReset2D final : public AbstractToolEncoderShader {
 public:
  TextureReset2D();

  const std::shared_ptr<gpu::Texture>& texture() const { return texture_; }
  // A present texture also sizes the grid by it (depth-aware); the fill sizes it 2-D again.
  void setTexture(std::shared_ptr<gpu::Texture> texture);
  gpu::uint3 offset() const { return offset_; }
  void setOffset(gpu::uint3 offset) { offset_ = offset; }

  // A texture is required (fatal stop otherwise).
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

  // Resets `texture` at `offset` once, then puts the pass's own texture and offset back.
  void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer, std::shared_ptr<gpu::Texture> texture,
              gpu::uint3 offset = {0, 0, 0});
  using AbstractToolEncoderShader::encode;

 private:
  std::shared_ptr<gpu::Texture> texture_;
  gpu::uint3 offset_{0, 0, 0};
};

}  // namespace tessivarium
