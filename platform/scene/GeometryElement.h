#pragma once
// The primitives of a custom geometry: vertex indices of 1, 2 or 4 bytes (in the machine's byte
// order), three per triangle.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace scene {

enum class PrimitiveType { triangles };

class GeometryElement {
 public:
  // Fatal stops: an index size other than 1, 2 or 4 bytes, or index data whose length is not
  // that of `primitiveCount` primitives.
  static std::shared_ptr<GeometryElement> make(std::vector<std::uint8_t> indexData,
                                               PrimitiveType type, std::size_t primitiveCount,
                                               std::size_t bytesPerIndex);

  PrimitiveType primitiveType() const { return type_; }
  std::size_t primitiveCount() const { return primitiveCount_; }
  std::size_t bytesPerIndex() const { return bytesPerIndex_; }
  const std::vector<std::uint8_t>& data() const { return data_; }

  // Indices per primitive times the primitive count.
  std::size_t indexCount() const;
  std::uint32_t indexAt(std::size_t i) const;

 private:
  GeometryElement(std::vector<std::uint8_t> data, PrimitiveType type, std::size_t primitiveCount,
                  std::size_t bytesPerIndex)
      : data_(std::move(data)), type_(type), primitiveCount_(primitiveCount),
        bytesPerIndex_(bytesPerIndex) {}

  std::vector<std::uint8_t> data_;
  PrimitiveType type_;
  std::size_t primitiveCount_;
  std::size_t bytesPerIndex_;
};

}  // namespace scene
