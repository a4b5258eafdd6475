// The bristle brushes' initialisers: each thread lays one bristle record into a brush's head as a
// line of body cells, and the three families differ only in the records they send.

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "gpu/KernelRuntime.h"
#include "kernels/KernelList.h"
#include "kernels/PaintModel.h"

namespace kernels {
namespace {

using namespace tessivarium;

// A body cell of the head, and the same as the 32-bit word of its bytes (0, 0, 0, 255 in RGBA8
// and BGRA8 alike).
constexpr Texel kBody{0, 0, 0, kHeadSolid};
constexpr std::uint32_t kBodyWord = std::bit_cast<std::uint32_t>(std::array<std::uint8_t, 4>{0, 0, 0, kHeadSolid});

// No bristle is longer than this many cells: beyond it a line has left any head.
constexpr float kLongestLine = 4096;

// Lays one record: from (x, y, z) `length` cells along -(sin angle, cos angle) in the slice z (angle
// 0 runs towards smaller y, the head's tip), stopping at the first cell outside the head. Lines of
// different records may cross; every cell they lay gets the same body word, stored atomically.
void layBristle(const gpu::TexelView& head, const Bristle& b, bool atomicWords) {
  const float x = b.startPoint.x, y = b.startPoint.y, z = b.startPoint.z, length = b.startPoint.w;
  if (!(std::isfinite(x) && std::isfinite(y) && std::isfinite(z) && std::isfinite(b.angle))) return;
  if (!(length > 0 && z >= 0 && z < static_cast<float>(head.depth()))) return;
  const int cells = static_cast<int>(std::min(length, kLongestLine));
  const float stepX = -std::sin(b.angle), stepY = -std::cos(b.angle);
  const auto slice = static_cast<std::size_t>(z);
  for (int t = 0; t < cells; ++t) {
    const float cx = std::floor(x + stepX * static_cast<float>(t)), cy = std::floor(y + stepY * static_cast<float>(t));
    if (!(cx >= 0 && cy >= 0 && cx < static_cast<float>(head.width()) && cy < static_cast<float>(head.height()))) return;
    const auto i = static_cast<std::size_t>(cx), j = static_cast<std::size_t>(cy);
    if (atomicWords) {
      std::atomic_ref<std::uint32_t>(*reinterpret_cast<std::uint32_t*>(head.texel(i, j, slice)))
          .store(kBodyWord, std::memory_order_relaxed);
    } else {
      store(head, kBody, i, j, slice);
    }
  }
}

// The records at BUFFER_BRISTLES, one per thread of the 1-D grid; the buffer's length bounds them
// (the kernel is sent no count), so a grid rounded up past the last record reads nothing more.
void layBristles(const gpu::Dispatch& dispatch) {
  const gpu::TexelView head = dispatch.texels(TEXTURE_TOOL_WRITE);
  const std::uint8_t* records = dispatch.bufferBytes(BUFFER_BRISTLES);
  if (!head || records == nullptr) return;
  const std::size_t count = std::min(dispatch.bufferLength(BUFFER_BRISTLES) / sizeof(Bristle), dispatch.gridSize().width);
  const auto at = [records](std::size_t k) {
    Bristle b;
    std::memcpy(&b, records + k * sizeof(Bristle), sizeof b);
    return b;
  };
  if (head.bytesPerPixel() != 4) {
    // A head of another format takes its records one after another.
    for (std::size_t k = 0; k < count; ++k) layBristle(head, at(k), false);
    return;
  }
  gpu::forEachThread(dispatch, gpu::Size{count, 1, 1}, [=](gpu::uint3 p) { layBristle(head, at(p.x), true); });
}

}  // namespace

void brushFan(const gpu::Dispatch& dispatch) { layBristles(dispatch); }
void brushFilbert(const gpu::Dispatch& dispatch) { layBristles(dispatch); }
void brushFlat(const gpu::Dispatch& dispatch) { layBristles(dispatch); }

}  // namespace kernels
