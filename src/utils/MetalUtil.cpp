#include "utils/MetalUtil.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "Artwork.h"
#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/Buffer.h"
#include "gpu/Device.h"
#include "gpu/Texture.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {

void copyTexture(gpu::BlitCommandEncoder& encoder, const std::shared_ptr<gpu::Texture>& from,
                 const std::shared_ptr<gpu::Texture>& to) {
  if (!from || !to) foundation::fatalError("copyTexture needs a source and a destination texture");
  const gpu::Size extent{std::min(from->width(), to->width()), std::min(from->height(), to->height()),
                         std::min(from->depth(), to->depth())};
  encoder.copy(from, 0, 0, ORIGIN0, extent, to, 0, 0, ORIGIN0);
}

std::shared_ptr<gpu::Buffer> makeBuffer(const graphics::Color& color) {
  std::array<float, 4> record{0.0f, 0.0f, 0.0f, 1.0f};
  const auto count = color.componentCount();
  const auto& c = color.components();
  if (count == 2u) {
    record = {static_cast<float>(c[0]), static_cast<float>(c[0]), static_cast<float>(c[0]),
              static_cast<float>(c[1])};
  } else if (count == 4u) {
    for (std::size_t i = 0; i < 4; ++i) record[i] = static_cast<float>(c[i]);
  } else {
    const std::optional<std::int64_t> shown =
        count ? std::optional<std::int64_t>(static_cast<std::int64_t>(*count)) : std::nullopt;
    foundation::fatalError("CGColor components[" + foundation::describe(shown) + "] not supported.");
  }
  return AppManager().device()->makeBuffer(record.data(), sizeof record);
}

gpu::float3 SceneVector3ToFloat3(const scene::Vector3& vector) { return {vector.x, vector.y, vector.z}; }

}  // namespace tessivarium
