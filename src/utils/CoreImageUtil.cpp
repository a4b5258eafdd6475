#include "utils/CoreImageUtil.h"

#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/CommandBuffer.h"
#include "gpu/Texture.h"
#include "graphics/AffineTransform.h"
#include "graphics/ImageContext.h"
#include "imaging/Context.h"
#include "imaging/Filter.h"
#include "tools/ApplicationManager.h"
#include "tools/EncodersProvider.h"
#include "tools/TextureDataToAlpha.h"
#include "tools/TextureDataToHeight.h"
#include "tools/SurfaceWorkingTextures.h"
#include "ui/View.h"
#include "utils/ImageFilters.h"

namespace tessivarium {
namespace {

imaging::ImagePtr requiredImageOver(const std::shared_ptr<gpu::Texture>& texture, const char* what) {
  imaging::ImagePtr image = imaging::Image::fromTexture(texture);
  if (!image) foundation::fatalError(std::string("CoreImageUtil: no image over the ") + what);
  return image;
}

// A composition without the host's shading image is a programming fault.
void requireShadingImage(const DrawingPaint& paint) {
  if (!paint.shadingImage()) foundation::fatalError("CoreImageUtil: the canvas has no shading image");
}

// The visible layers below the current one, bottom first; empty in Page mode or while the
// background is shown (nothing below the current layer takes part then).
std::vector<std::shared_ptr<ArtworkTextures>> lowerLayers(DrawingPaint& paint) {
  std::vector<std::shared_ptr<ArtworkTextures>> lower;
  if (paint.layerMode() != LayerMode::Stack || paint.showBackground()) return lower;
  const std::int64_t current = paint.currentContent()->index();
  for (const auto& layer : paint.layers()) {
    if (layer->index() == current) break;
    if (!layer->isHidden()) lower.push_back(layer);
  }
  return lower;
}

// Folds each lower layer's data under the region into `target`; the last pass carries the
// last-layer flag.
void encodeLowerLayers(DrawingPaint& paint, gpu::CommandBuffer& buffer, const std::shared_ptr<gpu::Texture>& target,
                       const std::vector<std::shared_ptr<ArtworkTextures>>& lower) {
  const std::int64_t lastIndex = lower.empty() ? 0 : lower.back()->index();
  for (const auto& layer : lower) {
    EncodersProvider().getTextureDataToHeightSubImage(target, layer, layer->index() == lastIndex)->encode(paint, buffer);
  }
}

}  // namespace

imaging::ImagePtr CoreImageUtil::renderImage(DrawingPaint& paint, const std::shared_ptr<gpu::CommandBuffer>& buffer,
                                             double, double) {
  if (!buffer) foundation::fatalError("CoreImageUtil.renderImage: no command buffer");
  requireShadingImage(paint);
  SurfaceWorkingTextures& textures = AppManager().surfaceTextures();
  const std::shared_ptr<gpu::Texture> height = textures.renderingTexture();
  const std::shared_ptr<gpu::Texture> color = textures.renderingColorTexture();
  const auto lower = lowerLayers(paint);
  const bool lastLayer = lower.empty();

  EncodersProvider().getTextureDataToHeightImage(height, color, lastLayer)->encode(paint, *buffer);
  encodeLowerLayers(paint, *buffer, height, lower);
  imaging::ImagePtr image = shaderImage(paint, height, color);
  if (paint.showBackground()) return image;

  const std::shared_ptr<gpu::Texture> alpha = textures.renderingAlphaTexture();
  EncodersProvider().getTextureDataToAlphaImage(alpha)->encode(paint, *buffer);
  if (!image) foundation::fatalError("CoreImageUtil.renderImage: no picture to give an alpha");
  image = ImageAlphaFilter().applyFilter(image, requiredImageOver(alpha, "alpha texture"));

  const std::shared_ptr<gpu::Texture> dryHeight = textures.renderingDryTexture();
  const std::shared_ptr<gpu::Texture> dryColor = textures.renderingDryColorTexture();
  EncodersProvider().getTextureDataToDryHeightImage(dryHeight, dryColor)->encode(paint, *buffer);
  encodeLowerLayers(paint, *buffer, dryHeight, lower);
  imaging::ImagePtr dryImage = shaderImage(paint, dryHeight, dryColor);

  const std::shared_ptr<gpu::Texture> dryAlpha = textures.renderingDryAlphaTexture();
  EncodersProvider().getTextureDataToDryAlphaImage(dryAlpha)->encode(paint, *buffer);
  if (!dryImage) foundation::fatalError("CoreImageUtil.renderImage: no dry picture to give an alpha");
  dryImage = ImageAlphaFilter().applyFilter(dryImage, requiredImageOver(dryAlpha, "dry alpha texture"));

  return ImageMergeFilter().applyFilter(image, dryImage);
}

imaging::ImagePtr CoreImageUtil::shaderImage(DrawingPaint& paint, const std::shared_ptr<gpu::Texture>& texture,
                                             const std::shared_ptr<gpu::Texture>& colorTexture) {
  requireShadingImage(paint);
  const imaging::ImagePtr heightImage = imaging::Image::fromTexture(texture);
  if (!heightImage) return nullptr;
  const imaging::ImagePtr shaded = heightImage->applyingFilter(
      "CIShadedMaterial", {{std::string(imaging::kInputShadingImageKey), paint.shadingImage()}});
  const imaging::ImagePtr colourImage = requiredImageOver(colorTexture, "colour texture");
  if (!shaded) return nullptr;
  return shaded->applyingFilter("CIHardLightBlendMode",
                                {{std::string(imaging::kInputBackgroundImageKey), colourImage}});
}

void CoreImageUtil::render(DrawingPaint& paint, const std::shared_ptr<gpu::Texture>& to,
                           const std::shared_ptr<gpu::CommandBuffer>& buffer, double x, double y) {
  imaging::ImagePtr image = renderImage(paint, buffer, x, y);
  if (!image) foundation::fatalError("CoreImageUtil.render: the composition yielded no image");

  // An image was made over the rendering texture, so it exists; its size fixes the trim.
  const double s = 1.0 / paint.artwork()->scale();
  const gpu::Texture& region = *AppManager().surfaceTextures().renderingTexture();
  const double w = static_cast<double>(region.width()) - 2.0;
  const double h = static_cast<double>(region.height()) - 2.0;
  // One cell of the region is dropped on every side, then the picture goes to the region's place.
  image = image->transformed(graphics::AffineTransform::makeScale(s, s))
              ->cropped(graphics::Rect(s, s, w * s, h * s))
              ->transformed(graphics::AffineTransform::makeTranslation(x * s, y * s));
  paint.ciContext()->render(image, to, buffer, graphics::Rect(0, 0, (x + w + 1) * s, (y + h + 1) * s),
                            graphics::ColorSpace::DeviceRGB);
}

void CoreImageUtil::setColor(const std::shared_ptr<gpu::Texture>& texture, const graphics::Color& color) {
  if (!texture) foundation::fatalError("CoreImageUtil.setColor: no texture");
  const double w = static_cast<double>(texture->width()), h = static_cast<double>(texture->height());
  const std::shared_ptr<imaging::Filter> generator = imaging::Filter::named("CIConstantColorGenerator");
  if (!generator) foundation::fatalError("CoreImageUtil.setColor: no constant colour filter");
  generator->setValue(imaging::kInputColorKey, color);
  const imaging::ImagePtr output = generator->outputImage();
  if (!output) foundation::fatalError("CoreImageUtil.setColor: the constant colour filter made no image");
  const graphics::Rect whole(0, 0, w, h);
  imaging::Context::make(texture->device())
      ->render(output->cropped(whole), texture, nullptr, whole, graphics::ColorSpace::DeviceRGB);
}

std::shared_ptr<graphics::Image> CoreImageUtil::createImage(const ui::View& view, double scale) {
  const graphics::Rect bounds = view.bounds();
  const graphics::Size size{bounds.size.width * scale, bounds.size.height * scale};
  graphics::beginImageContext(size, false, 1.0);
  view.drawHierarchy(graphics::Rect(graphics::Point{0, 0}, size));
  std::shared_ptr<graphics::Image> image = graphics::imageFromCurrentImageContext();
  graphics::endImageContext();
  return image;
}

}  // namespace tessivarium
