#pragma once
// The merge of one layer into another: for its `source`, the target's wet paint is dried into its
// dry paint (the shared dry-layer pass, over the whole target, in place), the source's dry paint is
// laid over the target's (the shared "textureOverlay2D" pass), and then the source's grid and wet
// textures replace the target's. Merging several layers runs it once per source, each on its own
// command buffer; afterwards the target's grid and wet textures are the last source's. It encodes
// and never commits. Main thread only.

#include <memory>

#include "tools/ToolEncoder.h"

namespace tessivarium {

class ArtworkTextures;

class DAEToolModelMerge final : public CompositeEncoderUnit {
 public:
  // Its children are the shared dry-layer pass, given the target's grid, wet and dry textures to
  // read and write, and the shared 2-D overlay pass. The prepare step given is replaced by the
  // merge's own (which points the overlay at the source).
  explicit DAEToolModelMerge(std::shared_ptr<ArtworkTextures> target, PrepareStep prepare = noPreparation());
  // Its prepare step refers to the merge itself.
  DAEToolModelMerge(const DAEToolModelMerge&) = delete;
  DAEToolModelMerge& operator=(const DAEToolModelMerge&) = delete;

  const std::shared_ptr<ArtworkTextures>& target() const { return target_; }
  void setTarget(std::shared_ptr<ArtworkTextures> target) { target_ = std::move(target); }
  const std::shared_ptr<ArtworkTextures>& source() const { return source_; }
  void setSource(std::shared_ptr<ArtworkTextures> source) { source_ = std::move(source); }

  // A merge without a source is a fatal stop.
  void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;

 private:
  void pointPasses();

  std::shared_ptr<ArtworkTextures> target_;
  std::shared_ptr<ArtworkTextures> source_;
};

}  // namespace tessivarium
