#include "tools/brushes/BrushBristle.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "foundation/Fatal.h"
#include "gpu/Buffer.h"
#include "gpu/Device.h"
#include "scene/Geometry.h"
#include "scene/Material.h"
#include "scene/Node.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {
namespace {

gpu::float3 cross(gpu::float3 a, gpu::float3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

gpu::float3 at(gpu::float3 p, float z) { return {p.x, p.y, z}; }

template <class Vector>
std::shared_ptr<gpu::Buffer> bufferOf(const std::vector<Vector>& vectors) {
  static_assert(sizeof(Vector) == 16, "the mesh buffers hold 16 bytes a vertex");
  return AppManager().device()->makeBuffer(vectors.data(), vectors.size() * sizeof(Vector));
}

}  // namespace

BrushBristle::BrushBristle(SCNVector3 position, float radius, float length, const std::vector<scene::Vector4>& colors,
                           std::size_t resolution)
    : position_(position), radius_(radius), length_(length), resolution_(resolution) {
  if (colors.size() < 2) foundation::fatalError("BrushBristle: a bristle needs at least two rings");
  if (resolution == 0) foundation::fatalError("BrushBristle: a ring needs at least one point");
  const std::size_t rings = colors.size();
  const float step = length / static_cast<float>(rings - 1);
  for (std::size_t i = 0; i < rings; ++i) {
    cercles_.emplace_back(static_cast<std::int32_t>(i), SCNVector3(0, 0, static_cast<float>(i) * step), colors[i],
                          resolution);
  }

  // The ring's points, the first repeated at the end so that every side quad has its next point.
  const float angle = static_cast<float>(std::numbers::pi * 2.0) / static_cast<float>(resolution);
  std::vector<gpu::float3> cerclePoints;
  for (std::size_t k = 0; k < resolution; ++k) {
    const float a = static_cast<float>(k) * angle;
    cerclePoints.push_back({radius * std::cos(a), radius * std::sin(a), 0});
  }
  cerclePoints.push_back(cerclePoints.front());

  // Each face wound so that its normal points out of the tube.
  for (std::size_t k = 1; k <= resolution; ++k) {
    addPoint(cerclePoints[k]), addPoint(cerclePoints[k - 1]), addPoint({0, 0, 0});
  }
  for (std::size_t c = 1; c < rings; ++c) {
    const float z0 = step * static_cast<float>(c - 1), z1 = step * static_cast<float>(c);
    for (std::size_t k = 0; k < resolution; ++k) {
      const gpu::float3 p0 = cerclePoints[k], p1 = cerclePoints[k + 1];
      addPoint(at(p1, z0)), addPoint(at(p0, z1)), addPoint(at(p0, z0));
      addPoint(at(p1, z0)), addPoint(at(p1, z1)), addPoint(at(p0, z1));
    }
  }
  for (std::size_t k = 1; k <= resolution; ++k) {
    addPoint(at(cerclePoints[k - 1], length)), addPoint(at(cerclePoints[k], length)), addPoint({0, 0, length});
  }

  for (std::size_t t = 0; t + 2 < points_.size(); t += 3) {
    const gpu::float3 normal = cross(points_[t + 1] - points_[t], points_[t + 2] - points_[t]);
    normals_.insert(normals_.end(), 3, normal);
  }
  colors_.assign(points_.size(), gpu::float4{1.0f, 1.0f, 1.0f, 1.0f});
  for (auto& cercle : cercles_) cercle.updateIndexes(points_, cerclePoints);
}

void BrushBristle::addPoint(gpu::float3 point) {
  points_.push_back(point);
  indexes_.push_back(static_cast<std::int32_t>(indexes_.size()));
}

void BrushBristle::createNodes(scene::Node& parent, const std::shared_ptr<scene::Sphere>&) {
  const std::size_t count = points_.size();
  vertexBuffer_ = bufferOf(points_);
  normalBuffer_ = bufferOf(normals_);
  colorBuffer_ = bufferOf(colors_);
  using scene::GeometrySemantic, scene::VertexFormat;
  const auto source = [count](const std::shared_ptr<gpu::Buffer>& buffer, VertexFormat format,
                              GeometrySemantic semantic) {
    return scene::GeometrySource::make(buffer, format, semantic, count, 0, 16);
  };
  const auto vertices = source(vertexBuffer_, VertexFormat::float3, GeometrySemantic::vertex);
  const auto normals = source(normalBuffer_, VertexFormat::float3, GeometrySemantic::normal);
  const auto colors = source(colorBuffer_, VertexFormat::float4, GeometrySemantic::color);

  std::vector<std::uint8_t> indexData(indexes_.size() * sizeof(std::int32_t));
  std::memcpy(indexData.data(), indexes_.data(), indexData.size());
  const auto triangles = scene::GeometryElement::make(std::move(indexData), scene::PrimitiveType::triangles,
                                                      indexes_.size() / 3, sizeof(std::int32_t));

  const auto geometry = scene::Geometry::make({vertices, normals, colors}, {triangles});
  if (const auto material = geometry->firstMaterial()) material->setLitPerPixel(false);
  parent.addChildNode(scene::Node::make(geometry));
}

}  // namespace tessivarium
