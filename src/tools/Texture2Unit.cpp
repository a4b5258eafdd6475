#include "tools/Texture2Unit.h"

#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/ComputeCommandEncoder.h"
#include "gpu/Texture.h"
#include "tools/DrawingTool.h"
#include "tools/ToolSurface.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

Texture2Unit::Texture2Unit(std::string shaderName, PrepareStep prepare)
    : AbstractToolEncoderShader(std::move(shaderName), std::move(prepare)) {}

void Texture2Unit::setFrom(std::shared_ptr<gpu::Texture> texture) {
  from_ = std::move(texture);
  if (from_) updateThreadGroup(*from_);
}

void Texture2Unit::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractToolEncoderShader::fillCommandBuffer(paint, encoder);
  paint.drawingTool()->toolSurface()->encodeOffset(encoder);
  if (!from_ || !to_) foundation::fatalError("The pass \"" + shaderName() + "\" needs a texture to read and one to write");
  encoder.setTexture(from_, TEXTURE_COPY_FROM);
  encoder.setTexture(to_, TEXTURE_COPY_TO);
}

TextureCopy::TextureCopy(PrepareStep prepare) : Texture2Unit("pic_flip_texture_copy", std::move(prepare)) {}

TextureOverlay::TextureOverlay(PrepareStep prepare) : Texture2Unit("textureOverlay", std::move(prepare)) {}

void TextureOverlay::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  Texture2Unit::fillCommandBuffer(paint, encoder);
  updateThreadGroup2D(*to());
}

TextureOverlay2D::TextureOverlay2D(PrepareStep prepare) : Texture2Unit("textureOverlay2D", std::move(prepare)) {}

void TextureOverlay2D::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  Texture2Unit::fillCommandBuffer(paint, encoder);
  updateThreadGroup2D(*to());
}

}  // namespace tessivarium
