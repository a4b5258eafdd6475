#include "scene/GeometryElement.h"

#include <cstring>
#include <limits>
#include <string>

#include "foundation/Fatal.h"

namespace scene {

namespace {

constexpr std::size_t kIndicesPerTriangle = 3;

}  // namespace

std::shared_ptr<GeometryElement> GeometryElement::make(std::vector<std::uint8_t> indexData,
                                                       PrimitiveType type,
                                                       std::size_t primitiveCount,
                                                       std::size_t bytesPerIndex) {
  if (bytesPerIndex != 1 && bytesPerIndex != 2 && bytesPerIndex != 4) {
    foundation::fatalError("geometry element: an index has 1, 2 or 4 bytes, not " +
                           std::to_string(bytesPerIndex));
  }
  const std::size_t limit = std::numeric_limits<std::size_t>::max() / (kIndicesPerTriangle * 4);
  if (primitiveCount > limit ||
      indexData.size() != primitiveCount * kIndicesPerTriangle * bytesPerIndex) {
    foundation::fatalError("geometry element: " + std::to_string(indexData.size()) +
                           " bytes of indices for " + std::to_string(primitiveCount) +
                           " triangles of " + std::to_string(bytesPerIndex) + "-byte indices");
  }
  return std::shared_ptr<GeometryElement>(
      new GeometryElement(std::move(indexData), type, primitiveCount, bytesPerIndex));
}

std::size_t GeometryElement::indexCount() const { return primitiveCount_ * kIndicesPerTriangle; }

std::uint32_t GeometryElement::indexAt(std::size_t i) const {
  if (i >= indexCount()) {
    foundation::fatalError("geometry element: index " + std::to_string(i) + " of " +
                           std::to_string(indexCount()) + " asked for");
  }
  const std::uint8_t* p = data_.data() + i * bytesPerIndex_;
  switch (bytesPerIndex_) {
    case 1:
      return *p;
    case 2: {
      std::uint16_t v;
      std::memcpy(&v, p, sizeof v);
      return v;
    }
    default: {
      std::uint32_t v;
      std::memcpy(&v, p, sizeof v);
      return v;
    }
  }
}

}  // namespace scene
