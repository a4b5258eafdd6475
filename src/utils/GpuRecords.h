#pragma once
// The small records passes hand their kernels: each a new buffer made from its bytes on
// AppManager's device, with default options, at every encode (never pooled).

#include <memory>
#include <span>

#include "gpu/Vectors.h"

namespace gpu {
class Buffer;
}

namespace tessivarium {

// 16 bytes: x, y, z as unsigned 32-bit integers, then 4 bytes of zero padding.
std::shared_ptr<gpu::Buffer> makeOffsetBuffer(gpu::uint3 offset);
// 1 byte: 1 for true, 0 for false.
std::shared_ptr<gpu::Buffer> makeFlagBuffer(bool flag);
// 4 bytes per value, in order; no buffer for no values.
std::shared_ptr<gpu::Buffer> makeFloatBuffer(std::span<const float> values);

}  // namespace tessivarium
