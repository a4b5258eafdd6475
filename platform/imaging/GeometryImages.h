#pragma once
// Nodes that move or limit another image: an affine transform and a crop.

#include "imaging/Image.h"

namespace imaging {

// The input moved through `transform`: the value at p is the input's at transform^-1(p). The
// extent is the transformed input extent's bounding box.
class TransformedImage final : public Image {
 public:
  // The transform must be invertible.
  TransformedImage(ImagePtr input, const graphics::AffineTransform& transform);

  const ImagePtr& input() const { return input_; }
  const graphics::AffineTransform& transform() const { return transform_; }

  void prepare(RenderTables& tables) const override { input_->prepare(tables); }

 protected:
  void sampleBatch(const Batch& batch, RGBA* out) const override;

 private:
  ImagePtr input_;
  graphics::AffineTransform transform_, inverse_;
};

// The input inside `rect`, transparent outside.
class CroppedImage final : public Image {
 public:
  CroppedImage(ImagePtr input, const graphics::Rect& rect);

  const ImagePtr& input() const { return input_; }

  void prepare(RenderTables& tables) const override { input_->prepare(tables); }
  bool sampleTexelRun(std::int64_t i, std::int64_t j, std::size_t count, RGBA* out) const override;
  const std::uint8_t* texelRunBytes(std::int64_t i, std::int64_t j, std::size_t count) const override;

 protected:
  void sampleBatch(const Batch& batch, RGBA* out) const override;

 private:
  ImagePtr input_;
};

}  // namespace imaging
