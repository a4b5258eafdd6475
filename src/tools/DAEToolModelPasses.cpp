#include "tools/DAEToolModelPasses.h"

#include <span>

#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/CommandBuffer.h"
#include "gpu/ComputeCommandEncoder.h"
#include "gpu/Texture.h"
#include "graphics/Geometry.h"
#include "imaging/Context.h"
#include "imaging/Image.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEPassInputs.h"
#include "tools/DebugSwitches.h"
#include "tools/DrawingTool.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolModel.h"
#include "tools/ToolSurface.h"
#include "utils/GpuRecords.h"
#include "utils/KernelInterface.h"
#include "utils/MetalUtil.h"

namespace tessivarium {

DAEInitializer::DAEInitializer(PrepareStep prepare)
    : AbstractDAEEncoderUnit("DAEToolModel_initialize", std::move(prepare)) {}

void DAEInitializer::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  auto& surface = *paint.drawingTool()->toolSurface();
  ToolModel& model = currentToolModel(paint, "DAEInitializer");
  if (!descriptorSourceOf(model)) foundation::fatalError("DAEInitializer: the tool model has no measured head");
  surface.encodeTextures(paint, encoder);
  surface.encodeInput(encoder);
  AbstractDAEEncoderUnit::fillCommandBuffer(paint, encoder);
  updateThreadGroup(*model.colorTexture0());
  AppManager().surfaceTextures().swapGridTexture();
}

AbstractDAEColorFillEncoder::AbstractDAEColorFillEncoder(std::string shaderName, PrepareStep prepare)
    : AbstractDAEEncoderUnit(std::move(shaderName), std::move(prepare)) {}

void AbstractDAEColorFillEncoder::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  if (!color_) foundation::fatalError(shaderName() + ": a colour fill needs a colour");
  auto& surface = *paint.drawingTool()->toolSurface();
  ToolModel& model = currentToolModel(paint, shaderName().c_str());
  model.swapTexture();
  surface.encodeTextures(paint, encoder);
  encoder.setBuffer(makeBuffer(*color_), 0, BUFFER_COLOR);
  encoder.setBuffer(makeFloatBuffer(std::span<const float>(&force_, 1)), 0, BUFFER_FORCE);
  AbstractDAEEncoderUnit::fillCommandBuffer(paint, encoder);
  updateThreadGroup(*model.colorTexture0());
}

void encodeCanvasMask(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  if (!paint.maskTexture()) return;
  encoder.setTexture(paint.maskTexture(), TEXTURE_MASK_IMAGE);
  paint.drawingTool()->toolSurface()->encodeOffset(encoder);
}

DAEMaskerEncoder::DAEMaskerEncoder(PrepareStep prepare)
    : AbstractDAEEncoderUnit("DAEToolModel_mask", std::move(prepare)) {}

bool DAEMaskerEncoder::isEnabled() const {
  const auto& paint = AppManager().currentPaint();
  return paint && paint->maskTexture();
}

void DAEMaskerEncoder::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  auto& working = AppManager().surfaceTextures();
  encoder.setTexture(working.gridTexture0(), TEXTURE_GRID_READ);
  encoder.setTexture(working.gridTexture0(), TEXTURE_GRID_WRITE);
  encoder.setTexture(working.wetTexture0(), TEXTURE_WET_WRITE);
  encoder.setTexture(working.dryTexture0(), TEXTURE_DRY_WRITE);
  encodeCanvasMask(paint, encoder);
  // Only a tool with a head has one to carry across; without one nothing of a head is bound.
  if (paint.drawingTool()->toolSurface()->getModel()) AbstractDAEEncoderUnit::fillCommandBuffer(paint, encoder);
  updateThreadGroup2D(*working.gridTexture0());
}

DAEPaintingHeight::DAEPaintingHeight(PrepareStep prepare)
    : AbstractDAEEncoderUnit("DAEToolModel_paint_height", std::move(prepare)) {}

void DAEPaintingHeight::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  setDescriptorBuffer(nullptr);
  AbstractDAEEncoderUnit::fillCommandBuffer(paint, encoder);
  ToolModel& model = currentToolModel(paint, "DAEPaintingHeight");
  encoder.setTexture(model.previewHeightTexture(), TEXTURE_HEIGHT_IMAGE_WRITE);
  updateThreadGroup2D(*model.previewHeightTexture());
  model.swapTexture();
}

namespace {

imaging::ImagePtr requiredImage(const std::shared_ptr<gpu::Texture>& texture, const char* what) {
  imaging::ImagePtr image = texture ? imaging::Image::fromTexture(texture) : nullptr;
  if (!image) foundation::fatalError(std::string("DAEPaintingRender: no image of the ") + what);
  return image;
}

}  // namespace

DAEPaintingRender::DAEPaintingRender(PrepareStep prepare) : AbstractToolEncoder(std::move(prepare)) {}

void DAEPaintingRender::encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  const auto model = paint.drawingTool()->toolSurface()->getModel();
  if (!model) return;
  const auto& height = model->previewHeightTexture();
  imaging::ImagePtr image = requiredImage(height, "height preview");
  if (DEBUG_DAE_KNIFE == KnifeDebugMode::Complete) {
    image = image->applyingFilter("CIShadedMaterial",
                                  {{std::string(imaging::kInputShadingImageKey), paint.shadingImage()}});
    const imaging::ImagePtr colour = requiredImage(model->previewColorTexture(), "colour preview");
    if (image) {
      image = image->applyingFilter("CIHardLightBlendMode",
                                    {{std::string(imaging::kInputBackgroundImageKey), colour}});
    }
    if (!image) foundation::fatalError("DAEPaintingRender: the shaded height could not be made");
  }
  image = image->transformed(graphics::AffineTransform::makeTranslation(10.0, 50.0));
  const auto layer = paint.currentContent();
  if (!layer) return;  // a canvas without layers has nothing to draw into
  const graphics::Rect bounds(0, 0, static_cast<double>(height->width()) + 10.0,
                              static_cast<double>(height->height()) + 50.0);
  AppManager().ciContext()->render(image, layer->paintingTexture(), buffer.shared_from_this(), bounds,
                                   graphics::ColorSpace::DeviceRGB);
}

}  // namespace tessivarium
