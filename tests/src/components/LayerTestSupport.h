#pragma once
// What the layer and canvas tests share: texel access, a recording error delegate and the bytes
// a canvas's layers count.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "Application.h"
#include "RecordedErrors.h"
#include "TestCanvas.h"
#include "gpu/Texture.h"
#include "gpu/Types.h"

namespace layertest {

using Texel = std::array<std::uint8_t, 4>;

inline Texel texelAt(const gpu::Texture& texture, std::size_t x, std::size_t y) {
  Texel t{};
  texture.readRegion(gpu::Region::make2D(x, y, 1, 1), 0, t, 4);
  return t;
}

inline void setTexel(gpu::Texture& texture, std::size_t x, std::size_t y, Texel value) {
  texture.writeRegion(gpu::Region::make2D(x, y, 1, 1), 0, value, 4);
}

inline std::vector<std::uint8_t> bytesOf(const gpu::Texture& texture) {
  std::vector<std::uint8_t> out(texture.width() * texture.height() * 4);
  texture.readRegion(gpu::Region::make2D(0, 0, texture.width(), texture.height()), 0, out, texture.width() * 4);
  return out;
}

// Every texel a function of its position and `seed`, so that two fills can be told apart.
inline void fillPattern(gpu::Texture& texture, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(texture.width() * texture.height() * 4);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + seed * 31 + i / 13);
  texture.writeRegion(gpu::Region::make2D(0, 0, texture.width(), texture.height()), 0, bytes, texture.width() * 4);
}

// The four textures of a w x h layer at scale 1.
inline std::int64_t layerBytes(std::int64_t w, std::int64_t h) { return 4 * w * h * 4; }

inline std::shared_ptr<testsupport::RecordedErrors> countErrors() {
  auto count = std::make_shared<testsupport::RecordedErrors>();
  tessivarium::Application().setDelegateHandler(count);
  return count;
}

}  // namespace layertest
