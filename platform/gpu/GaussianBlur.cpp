#include "gpu/GaussianBlur.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "foundation/Fatal.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandTrace.h"
#include "gpu/Parallel.h"
#include "gpu/TexelView.h"
#include "gpu/Texture.h"

namespace gpu {

namespace {

// Level 0 of `from` into `to` over their common width and height, converting formats.
void copyConverting(const TexelView& from, const TexelView& to) {
  const std::size_t width = std::min(from.width(), to.width());
  const std::size_t height = std::min(from.height(), to.height());
  const bool swap = from.pixelFormat() == PixelFormat::RGBA8Unorm && to.pixelFormat() == PixelFormat::BGRA8Unorm;
  parallelFor(0, height, 1, [&](std::size_t first, std::size_t end) {
    for (std::size_t y = first; y < end; ++y) {
      if (swap) {
        const std::uint8_t* s = from.texel(0, y);
        std::uint8_t* d = to.texel(0, y);
        for (std::size_t x = 0; x < width; ++x, s += 4, d += 4) d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = s[3];
      } else {
        to.copyRun(from, 0, y, 0, width);
      }
    }
  });
}

}  // namespace

GaussianBlur::GaussianBlur(std::shared_ptr<Device> device, float sigma) : device_(std::move(device)), sigma_(sigma) {
  if (sigma != 0.0f)
    foundation::fatalError("GaussianBlur: sigma " + std::to_string(sigma) + " is not supported (only 0)");
}

void GaussianBlur::encode(CommandBuffer& commandBuffer, std::shared_ptr<Texture> source,
                          std::shared_ptr<Texture> destination) {
  commandBuffer.checkCanEncode("GaussianBlur::encode");
  if (!source || !destination) foundation::fatalError("GaussianBlur::encode: no source or destination texture");
  if (commandTrace().isRecording()) commandTrace().record(BlurRecord{&commandBuffer, source, destination, sigma_});
  commandBuffer.appendWork([source, destination] {
    if (source == destination) return;  // a copy onto itself changes nothing
    copyConverting(source->texels(0), destination->texels(0));
  });
}

}  // namespace gpu
