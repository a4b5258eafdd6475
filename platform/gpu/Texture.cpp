#include "gpu/Texture.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "foundation/Fatal.h"
#include "gpu/Parallel.h"

namespace gpu {

namespace {

std::string sizeText(std::size_t w, std::size_t h, std::size_t d) {
  return std::to_string(w) + " x " + std::to_string(h) + " x " + std::to_string(d);
}

// True when [origin, origin + length) lies inside [0, extent).
bool spanInside(std::size_t origin, std::size_t length, std::size_t extent) {
  return origin <= extent && length <= extent - origin;
}

// Rows are copied on the worker threads in runs of about this many bytes; a smaller region is
// copied on the calling thread.
constexpr std::size_t kParallelCopyBytes = 256 << 10;

// Calls copy(first texel of the row, byte offset of the row in the caller's layout, bytes of a row)
// for every row of a region that checkCopy accepted. The rows are disjoint, so they may run in any
// order and at once.
template <class Copy>
void forEachRow(const TexelView& view, const Region& region, std::size_t bytesPerRow, std::size_t bytesPerImage,
                Copy copy) {
  const Size& r = region.size;
  if (r.width == 0 || r.height == 0 || r.depth == 0) return;
  const std::size_t rowBytes = r.width * view.bytesPerPixel();
  const std::size_t rows = r.height * r.depth;
  const std::size_t grain = std::max<std::size_t>(1, kParallelCopyBytes / rowBytes);
  parallelFor(0, rows, grain, [&](std::size_t first, std::size_t end) {
    for (std::size_t row = first; row < end; ++row) {
      const std::size_t y = row % r.height, z = row / r.height;
      copy(view.texel(region.origin.x, region.origin.y + y, region.origin.z + z), z * bytesPerImage + y * bytesPerRow,
           rowBytes);
    }
  });
}

}  // namespace

Texture::Texture(std::shared_ptr<Device> device, const TextureDescriptor& descriptor)
    : device_(std::move(device)),
      type_(descriptor.textureType),
      format_(descriptor.pixelFormat),
      width_(descriptor.width),
      height_(descriptor.height),
      depth_(descriptor.textureType == TextureType::Type3D ? descriptor.depth : 1),
      usage_(descriptor.usage),
      storageMode_(descriptor.storageMode) {
  const std::size_t levels = std::max<std::size_t>(descriptor.mipmapLevelCount, 1);
  levels_.reserve(levels);
  for (std::size_t level = 0; level < levels; ++level) {
    const Size s = levelExtent(level);
    levels_.emplace_back(s.width * s.height * s.depth * bytesPerPixel(format_));
  }
}

Size Texture::levelSize(std::size_t level) const {
  if (level >= levels_.size())
    foundation::fatalError("Texture: mip level " + std::to_string(level) + " is beyond the texture's " +
                           std::to_string(levels_.size()) + " levels");
  return levelExtent(level);
}

Size Texture::levelExtent(std::size_t level) const {
  return {std::max<std::size_t>(width_ >> level, 1), std::max<std::size_t>(height_ >> level, 1),
          std::max<std::size_t>(depth_ >> level, 1)};
}

TexelView Texture::texels(std::size_t level) const {
  const Size s = levelSize(level);
  return TexelView(levels_[level].data(), s.width, s.height, s.depth, format_);
}

void Texture::checkCopy(const Region& region, std::size_t level, std::size_t slice, std::size_t byteCount,
                        std::size_t bytesPerRow, std::size_t bytesPerImage, const char* what) const {
  const std::string name(what);
  const Size s = levelSize(level);
  if (slice != 0)
    foundation::fatalError(name + ": slice " + std::to_string(slice) + " is beyond the texture's 1 slice");
  const Origin& o = region.origin;
  const Size& r = region.size;
  if (r.width == 0 || r.height == 0 || r.depth == 0) return;
  if (!spanInside(o.x, r.width, s.width) || !spanInside(o.y, r.height, s.height) ||
      !spanInside(o.z, r.depth, s.depth))
    foundation::fatalError(name + ": region at (" + std::to_string(o.x) + ", " + std::to_string(o.y) + ", " +
                           std::to_string(o.z) + ") of " + sizeText(r.width, r.height, r.depth) +
                           " is outside the " + sizeText(s.width, s.height, s.depth) + " texels of level " +
                           std::to_string(level));
  const std::size_t rowBytes = r.width * bytesPerPixel(format_);
  if (bytesPerRow < rowBytes)
    foundation::fatalError(name + ": " + std::to_string(bytesPerRow) + " bytes per row cannot hold a row of " +
                           std::to_string(rowBytes) + " bytes");
  if (r.depth > 1 && bytesPerImage / bytesPerRow < r.height)
    foundation::fatalError(name + ": " + std::to_string(bytesPerImage) + " bytes per image cannot hold " +
                           std::to_string(r.height) + " rows of " + std::to_string(bytesPerRow) + " bytes");
  std::size_t imageSpan = 0, rowSpan = 0, needed = 0;
  if (__builtin_mul_overflow(r.depth - 1, bytesPerImage, &imageSpan) ||
      __builtin_mul_overflow(r.height - 1, bytesPerRow, &rowSpan) ||
      __builtin_add_overflow(imageSpan, rowSpan, &needed) || __builtin_add_overflow(needed, rowBytes, &needed))
    foundation::fatalError(name + ": the byte layout of the region overflows");
  if (byteCount < needed)
    foundation::fatalError(name + ": " + std::to_string(byteCount) + " bytes cannot hold the region's " +
                           std::to_string(needed) + " bytes");
}

void Texture::writeRegion(const Region& region, std::size_t level, std::size_t slice,
                          std::span<const std::uint8_t> bytes, std::size_t bytesPerRow,
                          std::size_t bytesPerImage) {
  checkCopy(region, level, slice, bytes.size(), bytesPerRow, bytesPerImage, "writeRegion");
  forEachRow(texels(level), region, bytesPerRow, bytesPerImage,
             [&](std::uint8_t* texel, std::size_t offset, std::size_t rowBytes) {
               std::memcpy(texel, bytes.data() + offset, rowBytes);
             });
}

void Texture::writeRegion(const Region& region, std::size_t level, std::span<const std::uint8_t> bytes,
                          std::size_t bytesPerRow) {
  writeRegion(region, level, 0, bytes, bytesPerRow, bytesPerRow * region.size.height);
}

void Texture::readRegion(const Region& region, std::size_t level, std::size_t slice,
                         std::span<std::uint8_t> bytes, std::size_t bytesPerRow,
                         std::size_t bytesPerImage) const {
  checkCopy(region, level, slice, bytes.size(), bytesPerRow, bytesPerImage, "readRegion");
  forEachRow(texels(level), region, bytesPerRow, bytesPerImage,
             [&](const std::uint8_t* texel, std::size_t offset, std::size_t rowBytes) {
               std::memcpy(bytes.data() + offset, texel, rowBytes);
             });
}

void Texture::readRegion(const Region& region, std::size_t level, std::span<std::uint8_t> bytes,
                         std::size_t bytesPerRow) const {
  readRegion(region, level, 0, bytes, bytesPerRow, bytesPerRow * region.size.height);
}

}  // namespace gpu
