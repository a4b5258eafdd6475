#include "gpu/BlitCommandEncoder.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/Fatal.h"
#include "gpu/Buffer.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandTrace.h"
#include "gpu/Parallel.h"
#include "gpu/TexelView.h"
#include "gpu/Texture.h"

namespace gpu {

namespace {

// Rows are copied on the worker threads in runs of about this many bytes; a smaller copy stays on
// the calling thread. Runs this short pay: a region of a large texture has each of its rows on
// another page, so one thread copying them waits on memory row after row, while several wait at
// once.
constexpr std::size_t kCopyRunBytes = 32 << 10;

// How many of `length` texels from `origin` lie inside [0, extent).
std::size_t inside(std::size_t origin, std::size_t length, std::size_t extent) {
  return origin >= extent ? 0 : std::min(length, extent - origin);
}

// The rows of `rowBytes` bytes one run copies.
std::size_t copyRunRows(std::size_t rowBytes) { return std::max<std::size_t>(1, kCopyRunBytes / std::max<std::size_t>(rowBytes, 1)); }

// The texels a texture-to-texture copy of `size` moves: those inside both textures.
Size movedTexels(const TexelView& from, Origin fromOrigin, const TexelView& to, Origin toOrigin, Size size) {
  return {std::min(inside(fromOrigin.x, size.width, from.width()), inside(toOrigin.x, size.width, to.width())),
          std::min(inside(fromOrigin.y, size.height, from.height()), inside(toOrigin.y, size.height, to.height())),
          std::min(inside(fromOrigin.z, size.depth, from.depth()), inside(toOrigin.z, size.depth, to.depth()))};
}

void checkTexture(const std::shared_ptr<Texture>& texture, std::size_t slice, std::size_t level,
                  const std::string& what) {
  if (!texture) foundation::fatalError(what + ": no texture");
  if (slice != 0)
    foundation::fatalError(what + ": slice " + std::to_string(slice) + " is beyond the texture's 1 slice");
  if (level >= texture->mipmapLevelCount())
    foundation::fatalError(what + ": mip level " + std::to_string(level) + " is beyond the texture's " +
                           std::to_string(texture->mipmapLevelCount()) + " levels");
}

// The texels a buffer copy moves, relative to the requested origin, and the checks on its layout.
struct BufferLayout {
  Size moved;
  std::size_t rowBytes;
};

BufferLayout checkBufferCopy(const std::shared_ptr<Buffer>& buffer, std::size_t offset, std::size_t bytesPerRow,
                             std::size_t bytesPerImage, const Texture& texture, std::size_t level, Origin origin,
                             Size size, const std::string& what) {
  if (!buffer) foundation::fatalError(what + ": no buffer");
  const std::size_t bpp = bytesPerPixel(texture.pixelFormat());
  const Size extent = texture.levelSize(level);
  BufferLayout layout{{inside(origin.x, size.width, extent.width), inside(origin.y, size.height, extent.height),
                       inside(origin.z, size.depth, extent.depth)},
                      0};
  const Size& m = layout.moved;
  if (m.width == 0 || m.height == 0 || m.depth == 0) return layout;
  if (bytesPerRow / bpp < size.width)
    foundation::fatalError(what + ": " + std::to_string(bytesPerRow) + " bytes per row cannot hold " +
                           std::to_string(size.width) + " texels");
  if (size.depth > 1 && bytesPerImage / bytesPerRow < size.height)
    foundation::fatalError(what + ": " + std::to_string(bytesPerImage) + " bytes per image cannot hold " +
                           std::to_string(size.height) + " rows");
  layout.rowBytes = m.width * bpp;
  std::size_t a = 0, b = 0, end = 0;
  if (__builtin_mul_overflow(m.depth - 1, bytesPerImage, &a) || __builtin_mul_overflow(m.height - 1, bytesPerRow, &b) ||
      __builtin_add_overflow(a, b, &end) || __builtin_add_overflow(end, layout.rowBytes, &end) ||
      __builtin_add_overflow(end, offset, &end) || end > buffer->length())
    foundation::fatalError(what + ": the buffer's " + std::to_string(buffer->length()) +
                           " bytes cannot hold the copied region");
  return layout;
}

// Copies rows of bytes: for each (y, z) of `rows`, `rowBytes` bytes from `from(y, z)` to `to(y, z)`.
template <class From, class To>
void copyRows(Size rows, std::size_t rowBytes, From from, To to) {
  const std::size_t count = rows.height * rows.depth;
  parallelFor(0, count, copyRunRows(rowBytes), [&](std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i) {
      const std::size_t y = i % rows.height, z = i / rows.height;
      std::memmove(to(y, z), from(y, z), rowBytes);
    }
  });
}

// Row y of slice z of `to`: the mean of the 2 x 2 (x 2 in 3-D) texels of `from` under each texel.
void boxFilterRow(const TexelView& from, const TexelView& to, bool is3D, std::size_t y, std::size_t z) {
  const std::size_t y0 = 2 * y, y1 = std::min(2 * y + 1, from.height() - 1);
  const std::size_t z0 = is3D ? 2 * z : z, z1 = is3D ? std::min(2 * z + 1, from.depth() - 1) : z;
  for (std::size_t x = 0; x < to.width(); ++x) {
    const std::size_t x0 = 2 * x, x1 = std::min(2 * x + 1, from.width() - 1);
    float4 sum = from.read(x0, y0, z0) + from.read(x1, y0, z0) + from.read(x0, y1, z0) + from.read(x1, y1, z0);
    float n = 4;
    if (is3D) {
      sum = sum + from.read(x0, y0, z1) + from.read(x1, y0, z1) + from.read(x0, y1, z1) + from.read(x1, y1, z1);
      n = 8;
    }
    to.write(sum / n, x, y, z);
  }
}

void boxFilterLevel(const TexelView& from, const TexelView& to, bool is3D) {
  parallelFor(0, to.height() * to.depth(), 1, [&](std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i) boxFilterRow(from, to, is3D, i % to.height(), i / to.height());
  });
}

}  // namespace

BlitCommandEncoder::BlitCommandEncoder(std::shared_ptr<CommandBuffer> buffer) : buffer_(std::move(buffer)) {}

void BlitCommandEncoder::checkOpen(const char* what) const {
  if (ended_) foundation::fatalError(std::string(what) + ": the blit encoder has ended");
}

void BlitCommandEncoder::copy(std::shared_ptr<Texture> source, std::size_t sourceSlice, std::size_t sourceLevel,
                              Origin sourceOrigin, Size sourceSize, std::shared_ptr<Texture> destination,
                              std::size_t destinationSlice, std::size_t destinationLevel, Origin destinationOrigin) {
  checkOpen("copy");
  checkTexture(source, sourceSlice, sourceLevel, "copy (source)");
  checkTexture(destination, destinationSlice, destinationLevel, "copy (destination)");
  const std::size_t bpp = bytesPerPixel(source->pixelFormat());
  if (bpp != bytesPerPixel(destination->pixelFormat()))
    foundation::fatalError("copy: pixel formats " + std::to_string(static_cast<int>(source->pixelFormat())) +
                           " and " + std::to_string(static_cast<int>(destination->pixelFormat())) +
                           " have different texel sizes");
  if (commandTrace().isRecording())
    commandTrace().record(BlitRecord{.commandBuffer = buffer_.get(), .kind = BlitKind::TextureToTexture,
                                     .sourceTexture = source, .sourceSlice = sourceSlice, .sourceLevel = sourceLevel,
                                     .sourceOrigin = sourceOrigin, .size = sourceSize, .destinationTexture = destination,
                                     .destinationSlice = destinationSlice, .destinationLevel = destinationLevel,
                                     .destinationOrigin = destinationOrigin});
  if (source != destination) {
    TextureCopy copy{source, destination, sourceLevel, destinationLevel, sourceOrigin, destinationOrigin, sourceSize};
    if (!independentOfWaiting(copy)) encodeWaitingCopies();
    waiting_.push_back(std::move(copy));
    return;
  }
  appendWork([=] {
    const TexelView from = source->texels(sourceLevel), to = destination->texels(destinationLevel);
    const Size moved = movedTexels(from, sourceOrigin, to, destinationOrigin, sourceSize);
    if (moved.width == 0 || moved.height == 0 || moved.depth == 0) return;
    const auto fromRow = [&](std::size_t y, std::size_t z) {
      return from.texel(sourceOrigin.x, sourceOrigin.y + y, sourceOrigin.z + z);
    };
    const auto toRow = [&](std::size_t y, std::size_t z) {
      return to.texel(destinationOrigin.x, destinationOrigin.y + y, destinationOrigin.z + z);
    };
    const std::size_t rowBytes = moved.width * bpp;
    if (sourceLevel != destinationLevel) {
      copyRows(moved, rowBytes, fromRow, toRow);
      return;
    }
    // The regions may overlap: stage the source region first.
    std::vector<std::uint8_t> staged(rowBytes * moved.height * moved.depth);
    const auto stagedRow = [&](std::size_t y, std::size_t z) { return staged.data() + (z * moved.height + y) * rowBytes; };
    copyRows(moved, rowBytes, fromRow, stagedRow);
    copyRows(moved, rowBytes, stagedRow, toRow);
  });
}

bool BlitCommandEncoder::independentOfWaiting(const TextureCopy& copy) const {
  return std::none_of(waiting_.begin(), waiting_.end(), [&](const TextureCopy& other) {
    return other.source == copy.destination || other.destination == copy.destination ||
           other.destination == copy.source;
  });
}

void BlitCommandEncoder::encodeWaitingCopies() {
  if (waiting_.empty()) return;
  buffer_->appendWork([copies = std::move(waiting_)] {
    // Every copy's rows cut into runs of about kCopyRunBytes, the runs of all the copies in one loop.
    struct Placed {
      const TextureCopy* copy;
      TexelView from, to;
      Size moved;
      std::size_t rowBytes;
    };
    struct RowRun {
      std::size_t copy, first, end;  // rows y + z * height of the copy's moved region
    };
    std::vector<Placed> placed;
    std::vector<RowRun> runs;
    for (const TextureCopy& c : copies) {
      const TexelView from = c.source->texels(c.sourceLevel), to = c.destination->texels(c.destinationLevel);
      const Size moved = movedTexels(from, c.sourceOrigin, to, c.destinationOrigin, c.size);
      if (moved.width == 0 || moved.height == 0 || moved.depth == 0) continue;
      const std::size_t rowBytes = moved.width * from.bytesPerPixel();
      const std::size_t rows = moved.height * moved.depth, grain = copyRunRows(rowBytes);
      for (std::size_t first = 0; first < rows; first += grain)
        runs.push_back({placed.size(), first, std::min(first + grain, rows)});
      placed.push_back({&c, from, to, moved, rowBytes});
    }
    parallelFor(0, runs.size(), 1, [&](std::size_t first, std::size_t end) {
      for (std::size_t r = first; r < end; ++r) {
        const Placed& p = placed[runs[r].copy];
        const Origin from = p.copy->sourceOrigin, to = p.copy->destinationOrigin;
        for (std::size_t i = runs[r].first; i < runs[r].end; ++i) {
          const std::size_t y = i % p.moved.height, z = i / p.moved.height;
          std::memmove(p.to.texel(to.x, to.y + y, to.z + z), p.from.texel(from.x, from.y + y, from.z + z), p.rowBytes);
        }
      }
    });
  });
  waiting_.clear();
}

void BlitCommandEncoder::appendWork(std::function<void()> work) {
  encodeWaitingCopies();
  buffer_->appendWork(std::move(work));
}

void BlitCommandEncoder::copy(std::shared_ptr<Texture> source, std::size_t sourceSlice, std::size_t sourceLevel,
                              Origin sourceOrigin, Size sourceSize, std::shared_ptr<Buffer> destination,
                              std::size_t destinationOffset, std::size_t destinationBytesPerRow,
                              std::size_t destinationBytesPerImage) {
  checkOpen("copy");
  checkTexture(source, sourceSlice, sourceLevel, "copy (source)");
  const BufferLayout layout =
      checkBufferCopy(destination, destinationOffset, destinationBytesPerRow, destinationBytesPerImage, *source,
                      sourceLevel, sourceOrigin, sourceSize, "copy to buffer");
  if (commandTrace().isRecording())
    commandTrace().record(BlitRecord{.commandBuffer = buffer_.get(), .kind = BlitKind::TextureToBuffer,
                                     .sourceTexture = source, .sourceSlice = sourceSlice, .sourceLevel = sourceLevel,
                                     .sourceOrigin = sourceOrigin, .size = sourceSize, .destinationBuffer = destination,
                                     .bufferOffset = destinationOffset, .bytesPerRow = destinationBytesPerRow,
                                     .bytesPerImage = destinationBytesPerImage});
  if (layout.rowBytes == 0) return;
  appendWork([=] {
    const TexelView from = source->texels(sourceLevel);
    std::uint8_t* base = destination->contents() + destinationOffset;
    copyRows(
        layout.moved, layout.rowBytes,
        [&](std::size_t y, std::size_t z) { return from.texel(sourceOrigin.x, sourceOrigin.y + y, sourceOrigin.z + z); },
        [&](std::size_t y, std::size_t z) { return base + z * destinationBytesPerImage + y * destinationBytesPerRow; });
  });
}

void BlitCommandEncoder::copy(std::shared_ptr<Buffer> source, std::size_t sourceOffset, std::size_t sourceBytesPerRow,
                              std::size_t sourceBytesPerImage, Size sourceSize, std::shared_ptr<Texture> destination,
                              std::size_t destinationSlice, std::size_t destinationLevel, Origin destinationOrigin) {
  checkOpen("copy");
  checkTexture(destination, destinationSlice, destinationLevel, "copy (destination)");
  const BufferLayout layout = checkBufferCopy(source, sourceOffset, sourceBytesPerRow, sourceBytesPerImage,
                                              *destination, destinationLevel, destinationOrigin, sourceSize,
                                              "copy from buffer");
  if (commandTrace().isRecording())
    commandTrace().record(BlitRecord{.commandBuffer = buffer_.get(), .kind = BlitKind::BufferToTexture,
                                     .sourceBuffer = source, .size = sourceSize, .destinationTexture = destination,
                                     .destinationSlice = destinationSlice, .destinationLevel = destinationLevel,
                                     .destinationOrigin = destinationOrigin, .bufferOffset = sourceOffset,
                                     .bytesPerRow = sourceBytesPerRow, .bytesPerImage = sourceBytesPerImage});
  if (layout.rowBytes == 0) return;
  appendWork([=] {
    const TexelView to = destination->texels(destinationLevel);
    const std::uint8_t* base = source->contents() + sourceOffset;
    copyRows(
        layout.moved, layout.rowBytes,
        [&](std::size_t y, std::size_t z) { return base + z * sourceBytesPerImage + y * sourceBytesPerRow; },
        [&](std::size_t y, std::size_t z) {
          return to.texel(destinationOrigin.x, destinationOrigin.y + y, destinationOrigin.z + z);
        });
  });
}

void BlitCommandEncoder::generateMipmaps(std::shared_ptr<Texture> texture) {
  checkOpen("generateMipmaps");
  checkTexture(texture, 0, 0, "generateMipmaps");
  if (commandTrace().isRecording())
    commandTrace().record(BlitRecord{.commandBuffer = buffer_.get(), .kind = BlitKind::GenerateMipmaps,
                                     .sourceTexture = texture, .destinationTexture = texture});
  appendWork([texture] {
    const bool is3D = texture->textureType() == TextureType::Type3D;
    for (std::size_t level = 1; level < texture->mipmapLevelCount(); ++level)
      boxFilterLevel(texture->texels(level - 1), texture->texels(level), is3D);
  });
}

void BlitCommandEncoder::endEncoding() {
  checkOpen("endEncoding");
  encodeWaitingCopies();
  ended_ = true;
  buffer_->encoderEnded(this);
  if (commandTrace().isRecording()) commandTrace().record(EncoderRecord{buffer_.get(), EncoderKind::Blit, false});
}

}  // namespace gpu
