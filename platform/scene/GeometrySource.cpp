#include "scene/GeometrySource.h"

#include <cstring>
#include <string>

#include "foundation/Fatal.h"
#include "gpu/Buffer.h"

namespace scene {

namespace {

std::size_t componentsOf(VertexFormat format) {
  switch (format) {
    case VertexFormat::float3:
      return 3;
    case VertexFormat::float4:
      return 4;
  }
  foundation::fatalError("geometry source: unknown vertex format");
}

}  // namespace

GeometrySource::GeometrySource(std::shared_ptr<gpu::Buffer> buffer, std::vector<std::uint8_t> bytes,
                               VertexFormat format, GeometrySemantic semantic,
                               std::size_t vectorCount, std::size_t dataOffset,
                               std::size_t dataStride)
    : buffer_(std::move(buffer)),
      bytes_(std::move(bytes)),
      format_(format),
      semantic_(semantic),
      vectorCount_(vectorCount),
      dataOffset_(dataOffset),
      dataStride_(dataStride) {
  const std::size_t vectorBytes = componentsOf(format) * bytesPerComponent;
  if (dataStride < vectorBytes) {
    foundation::fatalError("geometry source: a stride of " + std::to_string(dataStride) +
                           " bytes is shorter than one vector of " + std::to_string(vectorBytes));
  }
  if (vectorCount == 0) return;
  // The last vector ends at offset + (count − 1) · stride + vectorBytes; compared without overflow.
  const std::size_t length = dataLength();
  const bool fits = dataOffset <= length && vectorBytes <= length - dataOffset &&
                    (vectorCount - 1) <= (length - dataOffset - vectorBytes) / dataStride;
  if (!fits) {
    foundation::fatalError("geometry source: " + std::to_string(vectorCount) + " vectors at offset " +
                           std::to_string(dataOffset) + " with stride " + std::to_string(dataStride) +
                           " overrun the " + std::to_string(length) + " bytes of data");
  }
}

std::shared_ptr<GeometrySource> GeometrySource::make(std::shared_ptr<gpu::Buffer> buffer,
                                                     VertexFormat format, GeometrySemantic semantic,
                                                     std::size_t vectorCount,
                                                     std::size_t dataOffset,
                                                     std::size_t dataStride) {
  if (!buffer) foundation::fatalError("geometry source: no buffer given");
  return std::shared_ptr<GeometrySource>(new GeometrySource(
      std::move(buffer), {}, format, semantic, vectorCount, dataOffset, dataStride));
}

std::shared_ptr<GeometrySource> GeometrySource::make(std::vector<std::uint8_t> bytes,
                                                     VertexFormat format, GeometrySemantic semantic,
                                                     std::size_t vectorCount,
                                                     std::size_t dataOffset,
                                                     std::size_t dataStride) {
  return std::shared_ptr<GeometrySource>(new GeometrySource(
      nullptr, std::move(bytes), format, semantic, vectorCount, dataOffset, dataStride));
}

std::size_t GeometrySource::componentsPerVector() const { return componentsOf(format_); }

const std::uint8_t* GeometrySource::data() const {
  return buffer_ ? buffer_->contents() : bytes_.data();
}

std::size_t GeometrySource::dataLength() const {
  return buffer_ ? buffer_->length() : bytes_.size();
}

float GeometrySource::component(std::size_t index, std::size_t c) const {
  if (index >= vectorCount_) {
    foundation::fatalError("geometry source: vector " + std::to_string(index) + " of " +
                           std::to_string(vectorCount_) + " asked for");
  }
  float value;
  std::memcpy(&value, data() + dataOffset_ + index * dataStride_ + c * bytesPerComponent,
              sizeof value);
  return value;
}

Vector3 GeometrySource::vector3At(std::size_t index) const {
  return {component(index, 0), component(index, 1), component(index, 2)};
}

Vector4 GeometrySource::vector4At(std::size_t index) const {
  if (format_ != VertexFormat::float4) {
    foundation::fatalError("geometry source: vector4At on a float3 source");
  }
  return {component(index, 0), component(index, 1), component(index, 2), component(index, 3)};
}

}  // namespace scene
