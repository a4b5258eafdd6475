#include "utils/GpuRecords.h"

#include <array>
#include <cstdint>

#include "gpu/Buffer.h"
#include "gpu/Device.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {

std::shared_ptr<gpu::Buffer> makeOffsetBuffer(gpu::uint3 offset) {
  const std::array<std::uint32_t, 4> record{offset.x, offset.y, offset.z, 0};
  return AppManager().device()->makeBuffer(record.data(), sizeof record);
}

std::shared_ptr<gpu::Buffer> makeFlagBuffer(bool flag) {
  const std::uint8_t byte = flag ? 1 : 0;
  return AppManager().device()->makeBuffer(&byte, 1);
}

std::shared_ptr<gpu::Buffer> makeFloatBuffer(std::span<const float> values) {
  return AppManager().device()->makeBuffer(values.data(), values.size_bytes());
}

}  // namespace tessivarium
