#include "tools/TextureDataToAlpha.h"

#include "components/DrawingPaint.h"
#include "gpu/ComputeCommandEncoder.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolSurface.h"
#include "tools/WorkingDataBindings.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

AbstractTextureDataToAlpha::AbstractTextureDataToAlpha(std::shared_ptr<gpu::Texture> target, std::string shaderName)
    : AbstractToolEncoderShader(std::move(shaderName)), target_(std::move(target)) {}

void AbstractTextureDataToAlpha::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractToolEncoderShader::fillCommandBuffer(paint, encoder);
  ToolSurface& surface = *paint.drawingTool()->toolSurface();
  bindWorkingData(paint, surface, encoder);
  encoder.setTexture(target_, TEXTURE_COLOR_IMAGE_WRITE);
  encoder.setBuffer(surface.offsetBuffer(), 0, BUFFER_OFFSET);
  bindUseDry(paint, encoder);
  encodeThreadGroup2DOrSkip(AppManager().surfaceTextures().gridTexture0(), encoder);
}

TextureDataToAlpha::TextureDataToAlpha(std::shared_ptr<gpu::Texture> target)
    : AbstractTextureDataToAlpha(std::move(target), "texture_data_to_height_alpha") {}

TextureDataToDryAlpha::TextureDataToDryAlpha(std::shared_ptr<gpu::Texture> target)
    : AbstractTextureDataToAlpha(std::move(target), "texture_data_to_height_dry_alpha") {}

}  // namespace tessivarium
