#pragma once
// The round brush's bristle as the brush view shows it: a closed tube along +z, built on the
// processor as a flat-shaded triangle mesh (no vertex shared between triangles, each carrying its
// face's normal), white all over, then copied into GPU buffers as the scene's custom geometry. It
// is for display only: nothing of it reaches a kernel. Main thread only.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gpu/Vectors.h"
#include "scene/Vector.h"
#include "tools/brushes/BristleCercle.h"
#include "utils/SceneKitUtil.h"

namespace gpu {
class Buffer;
}

namespace scene {
class Node;
class Sphere;
}  // namespace scene

namespace tessivarium {

class BrushBristle {
 public:
  // A tube of `radius` and `length` (scene units) with one ring per entry of `colors`, evenly
  // spaced from the base (z = 0) to the top (z = length), each of `resolution` points. Its
  // triangles, in order: the bottom cap, the sides ring by ring, the top cap. `position` is kept,
  // not applied. Fewer than 2 colours or a resolution of 0 is a fatal stop.
  BrushBristle(SCNVector3 position, float radius, float length, const std::vector<scene::Vector4>& colors,
               std::size_t resolution);

  const SCNVector3& position() const { return position_; }
  float radius() const { return radius_; }
  float length() const { return length_; }
  std::size_t resolution() const { return resolution_; }
  const std::vector<BristleCercle>& cercles() const { return cercles_; }
  // Three vertices per triangle, in triangle order, each with its colour, its face's normal (not
  // normalised, pointing out of the tube) and its number (0, 1, 2, ...).
  const std::vector<gpu::float3>& points() const { return points_; }
  const std::vector<gpu::float4>& colors() const { return colors_; }
  const std::vector<gpu::float3>& normals() const { return normals_; }
  const std::vector<std::int32_t>& indexes() const { return indexes_; }
  // The GPU copies of points, normals and colours (16 bytes a vertex); none before createNodes().
  const std::shared_ptr<gpu::Buffer>& vertexBuffer() const { return vertexBuffer_; }
  const std::shared_ptr<gpu::Buffer>& normalBuffer() const { return normalBuffer_; }
  const std::shared_ptr<gpu::Buffer>& colorBuffer() const { return colorBuffer_; }

  // Copies the mesh into new buffers on AppManager's device and adds to `parent` a node of a
  // geometry over them (one triangle element of 4-byte indices), lit per vertex. The sphere is not
  // used.
  void createNodes(scene::Node& parent, const std::shared_ptr<scene::Sphere>& sphere);

 private:
  // One vertex with its number.
  void addPoint(gpu::float3 point);

  SCNVector3 position_;
  float radius_;
  float length_;
  std::vector<BristleCercle> cercles_;
  std::size_t resolution_;
  std::vector<gpu::float3> points_;
  std::vector<gpu::float4> colors_;
  std::vector<gpu::float3> normals_;
  std::vector<std::int32_t> indexes_;
  std::shared_ptr<gpu::Buffer> vertexBuffer_;
  std::shared_ptr<gpu::Buffer> normalBuffer_;
  std::shared_ptr<gpu::Buffer> colorBuffer_;
};

}  // namespace tessivarium
