#pragma once
// Encodes copies between textures and buffers and mipmap generation. Texture regions are clipped to
// both textures (a copy that falls outside copies less or nothing); a slice or level a texture does
// not have, bad strides, or a buffer too small for the bytes a copy moves are fatal. The trace keeps
// the requested regions.
//
// Texture-to-texture copies encoded one after another run as one parallel loop when none of them
// writes a texture another of them reads or writes (a region load copying several textures at
// once): the result is the same as one copy after the other, with one wait for the worker threads
// instead of one per copy.

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "gpu/Types.h"

namespace gpu {

class Buffer;
class CommandBuffer;
class Texture;

class BlitCommandEncoder {
 public:
  explicit BlitCommandEncoder(std::shared_ptr<CommandBuffer> buffer);

  BlitCommandEncoder(const BlitCommandEncoder&) = delete;
  BlitCommandEncoder& operator=(const BlitCommandEncoder&) = delete;

  // Texture to texture: `sourceSize` texels from `sourceOrigin` of the source's slice and level to
  // `destinationOrigin` of the destination's. 2-D and 3-D textures mix freely (a 2-D texture has
  // depth 1).
  void copy(std::shared_ptr<Texture> source, std::size_t sourceSlice, std::size_t sourceLevel,
            Origin sourceOrigin, Size sourceSize, std::shared_ptr<Texture> destination,
            std::size_t destinationSlice, std::size_t destinationLevel, Origin destinationOrigin);

  // Texture to buffer: texel (x, y, z) of the region goes to byte offset + z * bytesPerImage +
  // y * bytesPerRow + x * bytes per texel (x, y, z counted from the region's origin).
  void copy(std::shared_ptr<Texture> source, std::size_t sourceSlice, std::size_t sourceLevel,
            Origin sourceOrigin, Size sourceSize, std::shared_ptr<Buffer> destination,
            std::size_t destinationOffset, std::size_t destinationBytesPerRow,
            std::size_t destinationBytesPerImage);

  // Buffer to texture, in the same layout.
  void copy(std::shared_ptr<Buffer> source, std::size_t sourceOffset, std::size_t sourceBytesPerRow,
            std::size_t sourceBytesPerImage, Size sourceSize, std::shared_ptr<Texture> destination,
            std::size_t destinationSlice, std::size_t destinationLevel, Origin destinationOrigin);

  // Fills every level above 0 from the one below with a box filter (2 x 2, or 2 x 2 x 2 in 3-D).
  void generateMipmaps(std::shared_ptr<Texture> texture);

  void endEncoding();
  bool isEnded() const { return ended_; }

 private:
  // A texture-to-texture copy between two textures, as encoded.
  struct TextureCopy {
    std::shared_ptr<Texture> source, destination;
    std::size_t sourceLevel, destinationLevel;
    Origin sourceOrigin, destinationOrigin;
    Size size;
  };

  void checkOpen(const char* what) const;
  // Whether `copy` may run together with the copies waiting: it writes no texture they use, and
  // reads none they write.
  bool independentOfWaiting(const TextureCopy& copy) const;
  // Appends the waiting copies to the buffer as one work item.
  void encodeWaitingCopies();
  // Appends other work, after the waiting copies.
  void appendWork(std::function<void()> work);

  std::shared_ptr<CommandBuffer> buffer_;
  std::vector<TextureCopy> waiting_;
  bool ended_ = false;
};

}  // namespace gpu
