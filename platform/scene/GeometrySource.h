#pragma once
// One per-vertex attribute of a custom geometry: `vectorCount` vectors of float3 or float4 read
// from a GPU buffer or from bytes, the first at `dataOffset`, each `dataStride` bytes after the
// previous one. The vectors are readable for tests. A source over a GPU buffer reads the buffer's
// current bytes when asked; one over bytes keeps its own copy.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "scene/Vector.h"

namespace gpu {
class Buffer;
}

namespace scene {

// The vertex formats, with the platform's raw values.
enum class VertexFormat : std::uint32_t { float3 = 30, float4 = 31 };

enum class GeometrySemantic { vertex, normal, color };

class GeometrySource {
 public:
  // Fatal stops: no buffer, a stride shorter than one vector, or vectors that would run past the
  // end of the data.
  static std::shared_ptr<GeometrySource> make(std::shared_ptr<gpu::Buffer> buffer,
                                              VertexFormat format, GeometrySemantic semantic,
                                              std::size_t vectorCount, std::size_t dataOffset,
                                              std::size_t dataStride);
  static std::shared_ptr<GeometrySource> make(std::vector<std::uint8_t> bytes, VertexFormat format,
                                              GeometrySemantic semantic, std::size_t vectorCount,
                                              std::size_t dataOffset, std::size_t dataStride);

  VertexFormat vertexFormat() const { return format_; }
  GeometrySemantic semantic() const { return semantic_; }
  std::size_t vectorCount() const { return vectorCount_; }
  std::size_t dataOffset() const { return dataOffset_; }
  std::size_t dataStride() const { return dataStride_; }
  // 3 for float3, 4 for float4; each component is a 4-byte float.
  std::size_t componentsPerVector() const;
  static constexpr std::size_t bytesPerComponent = 4;

  // The buffer the vectors are read from; null for a source over bytes.
  const std::shared_ptr<gpu::Buffer>& buffer() const { return buffer_; }

  // The first three components of vector `index`.
  Vector3 vector3At(std::size_t index) const;
  // All four components of vector `index` of a float4 source (a fatal stop for float3).
  Vector4 vector4At(std::size_t index) const;

 private:
  GeometrySource(std::shared_ptr<gpu::Buffer> buffer, std::vector<std::uint8_t> bytes,
                 VertexFormat format, GeometrySemantic semantic, std::size_t vectorCount,
                 std::size_t dataOffset, std::size_t dataStride);
  const std::uint8_t* data() const;
  std::size_t dataLength() const;
  float component(std::size_t index, std::size_t c) const;

  std::shared_ptr<gpu::Buffer> buffer_;
  std::vector<std::uint8_t> bytes_;
  VertexFormat format_;
  GeometrySemantic semantic_;
  std::size_t vectorCount_, dataOffset_, dataStride_;
};

}  // namespace scene
