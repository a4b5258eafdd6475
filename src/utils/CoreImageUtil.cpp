#include "utils/CoreImageUtil.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/CommandBuffer.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
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

// The layer's data size in cells; every layer of a canvas has its current layer's.
gpu::Size layerCells(DrawingPaint& paint) {
  const auto layer = paint.currentContent();
  if (!layer) foundation::fatalError("CoreImageUtil: the canvas has no layer to compose");
  const gpu::TextureDescriptor& data = *layer->textureDataDescriptor();
  return {data.width, data.height, 1};
}

// A region's first cell along one axis: a whole cell at or after 0.
std::size_t regionCorner(double cell) {
  if (!(cell >= 0.0 && cell == std::floor(cell) && cell < 1e15)) {
    foundation::fatalError("CoreImageUtil: a working region starts at a whole cell of the layer");
  }
  return static_cast<std::size_t>(cell);
}

// The height image of the region at (x, y) over `texture`, ending at the layer's edge when the
// region reaches past it (the cells beyond would otherwise lift or sink the relief at the edge).
imaging::ImagePtr heightImageOnLayer(DrawingPaint& paint, const std::shared_ptr<gpu::Texture>& texture, double x,
                                     double y) {
  imaging::ImagePtr image = imaging::Image::fromTexture(texture);
  if (!image) return image;
  const gpu::Size cells = layerCells(paint);
  const double w = std::min(static_cast<double>(texture->width()), static_cast<double>(cells.width) - x);
  const double h = std::min(static_cast<double>(texture->height()), static_cast<double>(cells.height) - y);
  if (w == static_cast<double>(texture->width()) && h == static_cast<double>(texture->height())) return image;
  return image->cropped(graphics::Rect(0, 0, std::max(w, 0.0), std::max(h, 0.0)));
}

// The shaded relief of a height image as the foreground of a hard-light blend over the colour
// texture.
imaging::ImagePtr shadedOver(DrawingPaint& paint, const imaging::ImagePtr& heightImage,
                             const std::shared_ptr<gpu::Texture>& colorTexture) {
  requireShadingImage(paint);
  if (!heightImage) return nullptr;
  const imaging::ImagePtr shaded = heightImage->applyingFilter(
      "CIShadedMaterial", {{std::string(imaging::kInputShadingImageKey), paint.shadingImage()}});
  const imaging::ImagePtr colourImage = requiredImageOver(colorTexture, "colour texture");
  if (!shaded) return nullptr;
  return shaded->applyingFilter("CIHardLightBlendMode",
                                {{std::string(imaging::kInputBackgroundImageKey), colourImage}});
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
                                             double x, double y) {
  if (!buffer) foundation::fatalError("CoreImageUtil.renderImage: no command buffer");
  requireShadingImage(paint);
  SurfaceWorkingTextures& textures = AppManager().surfaceTextures();
  const std::shared_ptr<gpu::Texture> height = textures.renderingTexture();
  const std::shared_ptr<gpu::Texture> color = textures.renderingColorTexture();
  const auto lower = lowerLayers(paint);
  const bool lastLayer = lower.empty();

  EncodersProvider().getTextureDataToHeightImage(height, color, lastLayer)->encode(paint, *buffer);
  encodeLowerLayers(paint, *buffer, height, lower);
  imaging::ImagePtr image = shadedOver(paint, heightImageOnLayer(paint, height, x, y), color);
  if (paint.showBackground()) return image;

  const std::shared_ptr<gpu::Texture> alpha = textures.renderingAlphaTexture();
  EncodersProvider().getTextureDataToAlphaImage(alpha)->encode(paint, *buffer);
  if (!image) foundation::fatalError("CoreImageUtil.renderImage: no picture to give an alpha");
  image = ImageAlphaFilter().applyFilter(image, requiredImageOver(alpha, "alpha texture"));

  const std::shared_ptr<gpu::Texture> dryHeight = textures.renderingDryTexture();
  const std::shared_ptr<gpu::Texture> dryColor = textures.renderingDryColorTexture();
  EncodersProvider().getTextureDataToDryHeightImage(dryHeight, dryColor)->encode(paint, *buffer);
  encodeLowerLayers(paint, *buffer, dryHeight, lower);
  imaging::ImagePtr dryImage = shadedOver(paint, heightImageOnLayer(paint, dryHeight, x, y), dryColor);

  const std::shared_ptr<gpu::Texture> dryAlpha = textures.renderingDryAlphaTexture();
  EncodersProvider().getTextureDataToDryAlphaImage(dryAlpha)->encode(paint, *buffer);
  if (!dryImage) foundation::fatalError("CoreImageUtil.renderImage: no dry picture to give an alpha");
  dryImage = ImageAlphaFilter().applyFilter(dryImage, requiredImageOver(dryAlpha, "dry alpha texture"));

  return ImageMergeFilter().applyFilter(image, dryImage);
}

imaging::ImagePtr CoreImageUtil::shaderImage(DrawingPaint& paint, const std::shared_ptr<gpu::Texture>& texture,
                                             const std::shared_ptr<gpu::Texture>& colorTexture) {
  return shadedOver(paint, imaging::Image::fromTexture(texture), colorTexture);
}

CoreImageUtil::PixelSpan CoreImageUtil::regionPixels(std::size_t corner, std::size_t regionCells,
                                                     std::size_t layerCells, double scale) {
  // How far from a sample point the paint its pixel shows reaches, in cells.
  constexpr double reach = 1.5;
  const double side = static_cast<double>(layerCells);
  const double begin = static_cast<double>(corner);
  const double end = std::min(begin + static_cast<double>(regionCells), side);
  // Sample points c = scale (p + 0.5): from the layer's one-cell border where the region starts at
  // the layer's edge, else `reach` inside the region; up to the far border (excluded) where the
  // region ends at the layer's edge, else to `reach` inside the region (included).
  const double low = corner == 0 ? 1.0 : begin + reach;
  PixelSpan span;
  span.first = static_cast<std::int64_t>(std::ceil(low / scale - 0.5));
  span.end = end >= side ? static_cast<std::int64_t>(std::ceil((side - 1.0) / scale - 0.5))
                         : static_cast<std::int64_t>(std::floor((end - reach) / scale - 0.5)) + 1;
  span.end = std::max(span.end, span.first);
  return span;
}

void CoreImageUtil::render(DrawingPaint& paint, const std::shared_ptr<gpu::Texture>& to,
                           const std::shared_ptr<gpu::CommandBuffer>& buffer, double x, double y) {
  const std::size_t column = regionCorner(x), row = regionCorner(y);
  imaging::ImagePtr image = renderImage(paint, buffer, x, y);
  if (!image) foundation::fatalError("CoreImageUtil.render: the composition yielded no image");

  // An image was made over the rendering texture, so it exists; its size is the region's.
  const gpu::Texture& region = *AppManager().surfaceTextures().renderingTexture();
  const double scale = ArtworkTextures::dataScale(paint);
  const gpu::Size cells = layerCells(paint);
  const PixelSpan columns = regionPixels(column, region.width(), cells.width, scale);
  const PixelSpan rows = regionPixels(row, region.height(), cells.height, scale);
  if (columns.end == columns.first || rows.end == rows.first) return;
  const graphics::Rect exact(static_cast<double>(columns.first), static_cast<double>(rows.first),
                             static_cast<double>(columns.end - columns.first),
                             static_cast<double>(rows.end - rows.first));
  // The region's picture goes to its place at the picture's resolution; only its exact pixels stay.
  const double s = 1.0 / scale;
  image = image->transformed(graphics::AffineTransform::makeScale(s, s))
              ->transformed(graphics::AffineTransform::makeTranslation(x * s, y * s))
              ->cropped(exact);
  paint.ciContext()->render(image, to, buffer, graphics::Rect(0, 0, exact.maxX(), exact.maxY()),
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
