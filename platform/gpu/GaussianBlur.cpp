#include "gpu/GaussianBlur.h"

#include <algorithm>
#include <cstdint>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "foundation/Fatal.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandTrace.h"
#include "gpu/Parallel.h"
#include "gpu/TexelView.h"
#include "gpu/Texture.h"

namespace gpu {

namespace {

// n RGBA8 texels as BGRA8 (or back): the first and third byte of each exchanged.
void swapRedBlueBytes(const std::uint8_t* s, std::uint8_t* d, std::size_t n) {
  std::size_t x = 0;
#if defined(__SSE2__)
  // Four texels at once, each a 32-bit lane.
  const __m128i kept = _mm_set1_epi32(static_cast<int>(0xFF00FF00u)), low = _mm_set1_epi32(0xFF);
  for (; x + 4 <= n; x += 4) {
    const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * x));
    const __m128i moved = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(t, 16), low), _mm_slli_epi32(_mm_and_si128(t, low), 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * x), _mm_or_si128(_mm_and_si128(t, kept), moved));
  }
#endif
  for (; x < n; ++x) d[4 * x] = s[4 * x + 2], d[4 * x + 1] = s[4 * x + 1], d[4 * x + 2] = s[4 * x], d[4 * x + 3] = s[4 * x + 3];
}

// Level 0 of `from` into `to` over their common width and height, converting formats.
void copyConverting(const TexelView& from, const TexelView& to) {
  const std::size_t width = std::min(from.width(), to.width());
  const std::size_t height = std::min(from.height(), to.height());
  const bool swap = from.pixelFormat() == PixelFormat::RGBA8Unorm && to.pixelFormat() == PixelFormat::BGRA8Unorm;
  parallelFor(0, height, 1, [&](std::size_t first, std::size_t end) {
    for (std::size_t y = first; y < end; ++y) {
      if (swap) {
        swapRedBlueBytes(from.texel(0, y), to.texel(0, y), width);
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
