#include "tools/TextureDataToHeight.h"

#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/ComputeCommandEncoder.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolSurface.h"
#include "tools/WorkingDataBindings.h"
#include "utils/GpuRecords.h"
#include "utils/KernelInterface.h"
#include "utils/MetalUtil.h"

namespace tessivarium {

AbstractTextureDataToHeight::AbstractTextureDataToHeight(std::shared_ptr<gpu::Texture> target,
                                                         std::shared_ptr<gpu::Texture> color, std::string shaderName)
    : AbstractToolEncoderShader(std::move(shaderName)), target_(std::move(target)), color_(std::move(color)) {}

void AbstractTextureDataToHeight::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractToolEncoderShader::fillCommandBuffer(paint, encoder);
  ToolSurface& surface = *paint.drawingTool()->toolSurface();
  bindWorkingData(paint, surface, encoder);
  encoder.setTexture(paint.groundTexture(), TEXTURE_GROUND);
  encoder.setTexture(target_, TEXTURE_HEIGHT_IMAGE_WRITE);
  encoder.setTexture(color_, TEXTURE_COLOR_IMAGE_WRITE);
  encoder.setBuffer(surface.offsetBuffer(), 0, BUFFER_OFFSET);
  surface.setShowGroundBuffer(makeFlagBuffer(paint.showSurface() && paint.showBackground()));
  encoder.setBuffer(surface.showGroundBuffer(), 0, BUFFER_SHOW_GROUND);
  bindUseDry(paint, encoder);
  encodeThreadGroup2DOrSkip(AppManager().surfaceTextures().gridTexture0(), encoder);
}

TextureDataToHeight::TextureDataToHeight(std::shared_ptr<gpu::Texture> target, std::shared_ptr<gpu::Texture> color)
    : AbstractTextureDataToHeight(std::move(target), std::move(color), "texture_data_to_height_image") {}

void TextureDataToHeight::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  encoder.setBuffer(makeFlagBuffer(lastLayer_), 0, BUFFER_LAST_LAYER);
  const auto& background = paint.backgroundColor();
  if (!background) foundation::fatalError("The data-to-height pass needs the canvas's background colour");
  encoder.setBuffer(makeBuffer(*background), 0, BUFFER_COLOR);
  AbstractTextureDataToHeight::fillCommandBuffer(paint, encoder);
}

TextureDataToDryHeight::TextureDataToDryHeight(std::shared_ptr<gpu::Texture> target,
                                               std::shared_ptr<gpu::Texture> color)
    : AbstractTextureDataToHeight(std::move(target), std::move(color), "texture_data_to_height_dry_image") {}

TextureDataToHeightSubLayer::TextureDataToHeightSubLayer(std::shared_ptr<ArtworkTextures> layer)
    : AbstractToolEncoderShader("texture_data_to_height_subimage"), layer_(std::move(layer)) {}

void TextureDataToHeightSubLayer::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractToolEncoderShader::fillCommandBuffer(paint, encoder);
  if (!target_) {
    skipDispatch();
    return;
  }
  ToolSurface& surface = *paint.drawingTool()->toolSurface();
  if (!layer_) foundation::fatalError("The one-layer height pass has no layer");
  encoder.setTexture(layer_->gridTexture(), TEXTURE_GRID_READ);
  encoder.setTexture(layer_->wetTexture(), TEXTURE_WET_READ);
  encoder.setTexture(layer_->dryTexture(), TEXTURE_DRY_READ);
  // One image is the kernel's input and output: each layer folds into what the others left.
  encoder.setTexture(target_, TEXTURE_HEIGHT_IMAGE_WRITE);
  encoder.setTexture(target_, TEXTURE_HEIGHT_IMAGE_READ);
  encoder.setTexture(paint.groundTexture(), TEXTURE_GROUND);
  encoder.setBuffer(surface.offsetBuffer(), 0, BUFFER_OFFSET);
  encoder.setBuffer(makeFlagBuffer(lastLayer_), 0, BUFFER_LAST_LAYER);
  encodeThreadGroup2D(*target_, encoder);
}

}  // namespace tessivarium
