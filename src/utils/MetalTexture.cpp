#include "utils/MetalTexture.h"

#include <algorithm>
#include <cmath>

#include "foundation/Bundle.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
#include "graphics/BitmapContext.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {
namespace {

// The extent of level `level` of a width x height texture (2^L as a float power of two).
gpu::Size levelExtent(std::size_t width, std::size_t height, std::int64_t level) {
  const auto scale = static_cast<std::size_t>(std::pow(2.0f, static_cast<float>(level)));
  return {std::max<std::size_t>(1, width / scale), std::max<std::size_t>(1, height / scale), 1};
}

bool hasLevel(const gpu::Texture& texture, std::int64_t level) {
  return level >= 0 && static_cast<std::size_t>(level) < texture.mipmapLevelCount();
}

bool fits(gpu::Size extent, gpu::Size level) { return extent.width <= level.width && extent.height <= level.height; }

}  // namespace

MetalTexture::MetalTexture(std::string_view resourceName, std::string_view ext, bool mipmaped)
    : path_(foundation::Bundle::main().pathForResource(resourceName, ext)), isMipmaped_(mipmaped) {}

MetalTexture::~MetalTexture() { releaseTexture(); }

void MetalTexture::releaseTexture() {
  if (const auto manager = countedBy_.lock(); manager && texture_) manager->releaseTexture(*texture_);
  texture_.reset();
  countedBy_.reset();
}

void MetalTexture::loadTexture(const std::shared_ptr<gpu::Device>& device,
                               const std::shared_ptr<gpu::CommandQueue>& commandQ, bool flip) {
  if (!path_) foundation::fatalError("MetalTexture: the main bundle has no such resource");
  const auto image = graphics::Image::fromFile(*path_);
  if (!image) {
    width_ = height_ = std::nullopt;
    foundation::fatalError("MetalTexture: " + path_->string() + " cannot be read");
  }
  const std::size_t w = image->pixelWidth(), h = image->pixelHeight();
  const auto context = graphics::BitmapContext::create(nullptr, w, h, 8, w * 4, graphics::ColorSpace::DeviceRGB,
                                                       graphics::AlphaInfo::PremultipliedLast);
  if (!context) foundation::fatalError("MetalTexture: no drawing context for " + path_->string());
  const graphics::Rect rect(0, 0, static_cast<double>(w), static_cast<double>(h));
  context->clear(rect);
  if (!flip) {
    context->translate(0, static_cast<double>(h));
    context->scale(1, -1);
  }
  context->draw(*image->bitmap(), rect);

  const auto descriptor = gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA8Unorm, w, h, isMipmaped_);
  target_ = descriptor->textureType;
  auto texture = AppManager().makeTexture(*descriptor);
  if (!texture) foundation::fatalError("MetalTexture: no texture for " + path_->string());
  if (texture->width() != w || texture->height() != h) {
    // A short texture (the manager has reported it) cannot hold the image: the loaded one stays.
    AppManager().releaseTexture(*texture);
    return;
  }
  releaseTexture();  // the texture this one replaces goes back to the count
  texture_ = std::move(texture);
  width_ = static_cast<std::int64_t>(w);
  height_ = static_cast<std::int64_t>(h);
  countedBy_ = LivingAppManager();
  const std::span<const std::uint8_t> pixels(context->data(), w * 4 * h);
  texture_->writeRegion(gpu::Region::make2D(0, 0, w, h), 0, pixels, w * 4);
  if (isMipmaped_) {
    generateMipMapLayersUsingSystemFunc(texture_, device, commandQ,
                                        [](gpu::CommandBuffer&) { foundation::consoleLine("mips generated"); });
  }
  foundation::consoleLine("mipCount:" + foundation::describe(static_cast<std::int64_t>(texture_->mipmapLevelCount())));
}

void MetalTexture::generateMipMapLayersUsingSystemFunc(const std::shared_ptr<gpu::Texture>& texture,
                                                       const std::shared_ptr<gpu::Device>&,
                                                       const std::shared_ptr<gpu::CommandQueue>& commandQ,
                                                       std::function<void(gpu::CommandBuffer&)> block) {
  if (!texture || !commandQ) foundation::fatalError("Mip generation needs a texture and a command queue");
  const auto buffer = commandQ->makeCommandBuffer();
  if (block) buffer->addCompletedHandler(std::move(block));
  const auto blit = buffer->makeBlitCommandEncoder();
  blit->generateMipmaps(texture);
  blit->endEncoding();
  buffer->commit();
}

std::shared_ptr<gpu::Texture> MetalTexture::textureCopy(const std::shared_ptr<gpu::Texture>& source,
                                                        const std::shared_ptr<gpu::Device>&, bool mipmaped) {
  if (!source) foundation::fatalError("textureCopy needs a source texture");
  const std::size_t w = source->width(), h = source->height();
  const auto descriptor = gpu::TextureDescriptor::texture2D(gpu::PixelFormat::BGRA8Unorm, w, h, mipmaped);
  auto copy = AppManager().makeTexture(*descriptor);
  if (!copy) return nullptr;
  std::vector<std::uint8_t> bytes(w * h * 4);
  const auto region = gpu::Region::make2D(0, 0, w, h);
  source->readRegion(region, 0, bytes, w * 4);
  if (fits({w, h, 1}, copy->levelSize(0))) copy->writeRegion(region, 0, bytes, w * 4);
  return copy;
}

bool MetalTexture::copyMipLayer(const gpu::Texture& source, gpu::Texture& destination, std::int64_t mipLvl) {
  if (!hasLevel(source, mipLvl) || !hasLevel(destination, mipLvl)) return false;
  const auto level = static_cast<std::size_t>(mipLvl);
  const gpu::Size extent = levelExtent(source.width(), source.height(), mipLvl);
  if (!fits(extent, source.levelSize(level)) || !fits(extent, destination.levelSize(level))) return false;
  std::vector<std::uint8_t> bytes(extent.width * 4 * extent.height);
  const auto region = gpu::Region::make2D(0, 0, extent.width, extent.height);
  source.readRegion(region, level, bytes, extent.width * 4);
  destination.writeRegion(region, level, bytes, extent.width * 4);
  return true;
}

std::optional<std::vector<std::uint8_t>> MetalTexture::bytesForMipLevel(std::int64_t mipLevel) const {
  if (!texture_ || !width_ || !height_) foundation::fatalError("MetalTexture: no texture loaded");
  if (!hasLevel(*texture_, mipLevel)) return std::nullopt;
  const auto level = static_cast<std::size_t>(mipLevel);
  const gpu::Size extent =
      levelExtent(static_cast<std::size_t>(*width_), static_cast<std::size_t>(*height_), mipLevel);
  if (!fits(extent, texture_->levelSize(level))) return std::nullopt;
  std::vector<std::uint8_t> bytes(extent.width * 4 * extent.height);
  texture_->readRegion(gpu::Region::make2D(0, 0, extent.width, extent.height), level, bytes, extent.width * 4);
  return bytes;
}

std::shared_ptr<graphics::Image> MetalTexture::image(std::int64_t mipLevel) const {
  auto bytes = bytesForMipLevel(mipLevel);
  if (!bytes) return nullptr;
  const gpu::Size extent =
      levelExtent(static_cast<std::size_t>(*width_), static_cast<std::size_t>(*height_), mipLevel);
  const auto context = graphics::BitmapContext::create(bytes->data(), extent.width, extent.height, 8,
                                                       extent.width * 4, graphics::ColorSpace::DeviceRGB,
                                                       graphics::AlphaInfo::PremultipliedLast);
  if (!context) return nullptr;
  return std::make_shared<graphics::Image>(context->makeImage());
}

}  // namespace tessivarium
