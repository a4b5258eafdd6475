#pragma once
// One ring of the round brush's bristle mesh (BrushBristle): its height on the bristle and which
// mesh vertices lie on it, slot by slot round the ring and at its centre. The bookkeeping is for
// recolouring rings; the mesh itself stays white. Main thread only.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gpu/Vectors.h"
#include "scene/Vector.h"
#include "utils/SceneKitUtil.h"

namespace tessivarium {

class BristleCercle {
 public:
  // Ring `index` (0 at the bristle's base) centred on `position`, (0, 0, its height), with
  // `resolution` slots, slot j at the angle j x 2π / resolution; no vertex listed yet.
  BristleCercle(std::int32_t index, SCNVector3 position, scene::Vector4 color, std::size_t resolution);

  const SCNVector3& position() const { return position_; }
  // The colour the ring was made with; the mesh does not read it.
  const scene::Vector4& color() const { return color_; }
  std::int32_t index() const { return index_; }
  // Per slot, the numbers of the mesh vertices on it; the numbers of the vertices on the centre.
  const std::vector<std::vector<std::int32_t>>& indexes() const { return indexes_; }
  const std::vector<std::int32_t>& centers() const { return centers_; }

  // Lists every vertex of the finished mesh `points` that lies exactly (float for float) on one of
  // the ring's slots, `cerclePoints` giving the slots' x and y, or on its centre; then prints two
  // console lines, the ring's number and its slot lists.
  void updateIndexes(const std::vector<gpu::float3>& points, const std::vector<gpu::float3>& cerclePoints);
  // Recolours the listed vertices of `colors`: the centre white, slot j of ring i
  // (i / 10, j / slots, 0.5); alphas are kept.
  void updateColors(std::vector<gpu::float4>& colors) const;

 private:
  SCNVector3 position_;
  scene::Vector4 color_;
  std::int32_t index_;
  std::vector<std::vector<std::int32_t>> indexes_;
  std::vector<std::int32_t> centers_;
};

}  // namespace tessivarium
