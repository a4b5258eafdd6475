#include "tools/TextureReset.h"

#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/ComputeCommandEncoder.h"
#include "gpu/Texture.h"
#include "tools/DrawingTool.h"
#include "tools/ToolSurface.h"
#include "utils/GpuRecords.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

TextureReset::TextureReset(std::shared_ptr<gpu::Texture> texture)
    : AbstractToolEncoderShader("pic_flip_texture_reset"), texture_(std::move(texture)) {}

void TextureReset::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractToolEncoderShader::fillCommandBuffer(paint, encoder);
  ToolSurface& surface = *paint.drawingTool()->toolSurface();
  if (!texture_) foundation::fatalError("The reset pass has no texture to clear");
  if (offset_) {
    encoder.setBuffer(makeOffsetBuffer(*offset_), 0, BUFFER_OFFSET);
  } else {
    surface.encodeOffset(encoder);
  }
  encoder.setTexture(texture_, TEXTURE_RESET);
  surface.encodeValues(encoder, TEXTURE_DEFAULT_VALUE);
  updateThreadGroup(*texture_);
}

TextureReset2D::TextureReset2D() : AbstractToolEncoderShader("pic_flip_texture_reset2D") {}

void TextureReset2D::setTexture(std::shared_ptr<gpu::Texture> texture) {
  texture_ = std::move(texture);
  if (texture_) updateThreadGroup(*texture_);
}

void TextureReset2D::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractToolEncoderShader::fillCommandBuffer(paint, encoder);
  ToolSurface& surface = *paint.drawingTool()->toolSurface();
  if (!texture_) foundation::fatalError("The 2-D reset pass has no texture to clear");
  surface.encodeOffset(encoder, offset_);
  encoder.setTexture(texture_, TEXTURE_RESET);
  surface.encodeValues(encoder, TEXTURE_DEFAULT_VALUE);
  updateThreadGroup2D(*texture_);
}

void TextureReset2D::encode(DrawingPaint& paint, gpu::CommandBuffer& buffer, std::shared_ptr<gpu::Texture> texture,
                            gpu::uint3 offset) {
  auto keptTexture = texture_;
  const gpu::uint3 keptOffset = offset_;
  setTexture(std::move(texture));
  setOffset(offset);
  encode(paint, buffer);
  setTexture(std::move(keptTexture));
  setOffset(keptOffset);
}

}  // namespace tessivarium
