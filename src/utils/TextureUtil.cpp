#include "utils/TextureUtil.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>

#include "Application.h"
#include "foundation/Fatal.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
#include "graphics/BitmapContext.h"
#include "graphics/ImageContext.h"
#include "imaging/Context.h"
#include "imaging/Image.h"
#include "tools/ApplicationManager.h"
#include "utils/MetalUtil.h"

namespace tessivarium {
namespace {

// The product of sizes as a byte count; absent when it overflows a signed 64-bit integer.
std::optional<std::size_t> productIfItFits(std::initializer_list<std::size_t> factors) {
  std::int64_t product = 1;
  for (const std::size_t factor : factors) {
    if (factor > static_cast<std::size_t>(INT64_MAX) ||
        __builtin_mul_overflow(product, static_cast<std::int64_t>(factor), &product)) {
      return std::nullopt;
    }
  }
  return static_cast<std::size_t>(product);
}

// The same for sizes of textures and images that exist: an overflow is a fatal stop.
std::size_t checkedProduct(std::initializer_list<std::size_t> factors) {
  const auto product = productIfItFits(factors);
  if (!product) foundation::fatalError("A texture size overflows a 64-bit byte count");
  return *product;
}

std::size_t rawLength(const gpu::Texture& texture) {
  return checkedProduct({texture.width(), texture.height(), texture.depth(), 4});
}

// The most image copies loadImage encodes into one command buffer before committing it.
constexpr std::size_t kTilesPerCommandBuffer = 64;

// Along one side of `texels` texels, the origins k x step (k = 0, 1, ...) of the copies of an image
// `step` long whose extent [origin, origin + step) holds the sample point i + 0.5 of some texel i,
// in increasing order: the copies a tiling of that side can show, at most one per texel.
std::vector<double> tileOrigins(std::size_t texels, double step) {
  const auto originOf = [step](double k) { return k == 0 ? 0.0 : k * step; };  // 0 even for an endless step
  std::vector<double> origins;
  for (std::size_t i = 0; i < texels; ++i) {
    const double sample = static_cast<double>(i) + 0.5;
    double k = std::floor(sample / step);
    if (originOf(k) > sample) --k;  // rounding of the division, either way
    if (originOf(k) + step <= sample) ++k;
    if (origins.empty() || origins.back() != originOf(k)) origins.push_back(originOf(k));
  }
  return origins;
}

gpu::Region wholeRegion(std::size_t width, std::size_t height, std::size_t depth) {
  return gpu::Region::make3D(0, 0, 0, width, height, depth);
}

}  // namespace

std::shared_ptr<gpu::Texture> TextureUtil::createTexture(const std::shared_ptr<graphics::Image>& image,
                                                         const std::shared_ptr<gpu::Device>&,
                                                         const gpu::TextureDescriptor& descriptor) {
  if (!image || !image->bitmap()) foundation::fatalError("createTexture needs an image with a bitmap");
  const graphics::Bitmap& bitmap = *image->bitmap();
  const std::size_t width = bitmap.width(), height = bitmap.height();
  const std::size_t bytesPerRow = checkedProduct({width, 4});
  std::vector<std::uint8_t> bytes(checkedProduct({bytesPerRow, height}), 0);
  // Drawn in the context's own coordinates, so byte row 0 is the image's top row.
  if (const auto context = graphics::BitmapContext::create(bytes.data(), width, height, 8, bytesPerRow,
                                                           graphics::ColorSpace::DeviceRGB,
                                                           graphics::AlphaInfo::PremultipliedLast,
                                                           graphics::ByteOrder::Big32)) {
    context->draw(bitmap, graphics::Rect(0, 0, static_cast<double>(width), static_cast<double>(height)));
  }
  auto texture = AppManager().makeTexture(descriptor);
  if (!texture) return nullptr;
  // Only what fits: a texture smaller than the image gets its top-left part.
  const std::size_t w = std::min(width, texture->width()), h = std::min(height, texture->height());
  if (w > 0 && h > 0) texture->writeRegion(gpu::Region::make2D(0, 0, w, h), 0, bytes, bytesPerRow);
  return texture;
}

std::shared_ptr<graphics::Image> TextureUtil::flipImage(const std::shared_ptr<graphics::Image>& sourceImage,
                                                        graphics::ImageOrientation orientation) {
  if (!sourceImage || !sourceImage->bitmap()) foundation::fatalError("flipImage needs an image with a bitmap");
  const graphics::Size size = sourceImage->size();
  graphics::beginImageContext(size, false, 1.0);
  const auto context = graphics::currentContext();
  if (!context) {
    graphics::endImageContext();
    foundation::fatalError("flipImage: no current drawing context");
  }
  const double w = size.width, h = size.height;
  switch (orientation) {
    case graphics::ImageOrientation::UpMirrored:
    case graphics::ImageOrientation::DownMirrored:
      context->translate(0, h);
      context->scale(1, -1);
      context->translate(w, 0);
      context->scale(-1, 1);
      break;
    case graphics::ImageOrientation::LeftMirrored:
    case graphics::ImageOrientation::RightMirrored:
      context->translate(w, 0);
      context->scale(-1, 1);
      break;
    default:
      break;
  }
  // The image context's origin is at the top left, so the plain draw puts the top row at the bottom.
  context->draw(*sourceImage->bitmap(), graphics::Rect(0, 0, w, h));
  auto image = graphics::imageFromCurrentImageContext();
  graphics::endImageContext();
  if (!image) foundation::fatalError("flipImage: the drawing context gave no image");
  return image;
}

void TextureUtil::loadImage(const std::shared_ptr<graphics::Image>& image,
                            const std::shared_ptr<imaging::Context>& context,
                            const std::shared_ptr<gpu::CommandQueue>& commandQueue,
                            const std::shared_ptr<gpu::Texture>& texture) {
  if (!image || !context || !commandQueue || !texture) {
    foundation::fatalError("loadImage needs an image, an image context, a command queue and a texture");
  }
  const graphics::Size step = image->size();
  // An image without area would never step across the texture.
  if (!(step.width > 0) || !(step.height > 0)) return;
  const graphics::Rect bounds(0, 0, static_cast<double>(texture->width()), static_cast<double>(texture->height()));
  // Upside down in the bitmap, so upright in the texture (image y = texture row, y upwards).
  const auto flipped = imaging::Image::fromGraphicsImage(flipImage(image, graphics::ImageOrientation::Down));
  if (!flipped) foundation::fatalError("loadImage: the image cannot be made into an image of the image graph");
  // Only the copies that some texel shows are rendered (at most one per texel), a bounded number per
  // command buffer: a tiny image would otherwise make millions of copies held until the commit.
  const auto columns = tileOrigins(texture->width(), step.width);
  const auto rows = tileOrigins(texture->height(), step.height);
  std::shared_ptr<gpu::CommandBuffer> buffer;
  std::size_t copies = 0;
  for (const double y : rows) {
    for (const double x : columns) {
      if (!buffer) buffer = commandQueue->makeCommandBuffer();
      context->render(flipped->transformed(graphics::AffineTransform::makeTranslation(x, y)), texture, buffer,
                      bounds, graphics::ColorSpace::DeviceRGB);
      if (++copies % kTilesPerCommandBuffer == 0) {
        buffer->commit();
        buffer.reset();
      }
    }
  }
  if (buffer) buffer->commit();
}

std::vector<std::uint8_t> TextureUtil::toRawData(const gpu::Texture& texture) {
  std::vector<std::uint8_t> data(rawLength(texture), 0);
  toRawData(texture, data);
  return data;
}

void TextureUtil::toRawData(const gpu::Texture& texture, std::vector<std::uint8_t>& data) {
  if (data.size() != rawLength(texture)) foundation::fatalError("Not same size");
  const std::size_t bytesPerRow = checkedProduct({texture.width(), 4});
  texture.readRegion(wholeRegion(texture.width(), texture.height(), texture.depth()), 0, 0, data, bytesPerRow,
                     checkedProduct({bytesPerRow, texture.height()}));
}

bool TextureUtil::loadRawData(const std::shared_ptr<gpu::Texture>& texture, const std::vector<std::uint8_t>& data,
                              std::int64_t width, std::int64_t height, std::int64_t depth) {
  if (!texture) foundation::fatalError("loadRawData needs a texture");
  const std::size_t bytesPerRow = checkedProduct({texture->width(), 4});
  if (data.size() == rawLength(*texture)) {
    texture->writeRegion(wholeRegion(texture->width(), texture->height(), texture->depth()), 0, 0, data,
                         bytesPerRow, checkedProduct({bytesPerRow, texture->height()}));
    return true;
  }
  // Data of another size goes through a 2-D texture of its own size; it must be what it says it is.
  // The stated sizes come from stored records, so a product that overflows is just another lie.
  if (width <= 0 || height <= 0 || depth != 1 ||
      data.size() != productIfItFits({static_cast<std::size_t>(width), static_cast<std::size_t>(height), 4})) {
    Application().hanldeError(ErrorMessage::TextureFormatIncompatible);
    return false;
  }
  const auto w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
  auto descriptor = gpu::TextureDescriptor::make();
  descriptor->width = w;
  descriptor->height = h;
  descriptor->depth = 1;
  descriptor->pixelFormat = texture->pixelFormat();
  auto& manager = AppManager();
  const auto temporary = manager.makeTexture(*descriptor);
  if (!temporary) return false;  // reported as NoMoreHeap; the target keeps its contents
  if (temporary->width() != w || temporary->height() != h) {
    manager.releaseTexture(*temporary);
    return false;
  }
  temporary->writeRegion(wholeRegion(w, h, 1), 0, 0, data, w * 4, w * 4 * h);
  const auto buffer = manager.commandQueue()->makeCommandBuffer();
  const auto blit = buffer->makeBlitCommandEncoder();
  copyTexture(*blit, temporary, texture);
  blit->endEncoding();
  buffer->commit();
  // The committed buffer holds the texture until the copy has run; this returns its bytes to the count.
  manager.releaseTexture(*temporary);
  return true;
}

}  // namespace tessivarium
