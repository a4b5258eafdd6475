#pragma once
// "CIHardLightBlendMode": the input image ("inputImage", the source) laid over
// "inputBackgroundImage" (the backdrop) with the separable hard-light blend.

#include "imaging/Filter.h"

namespace imaging {

class HardLightFilter final : public Filter {
 public:
  static constexpr std::string_view kName = "CIHardLightBlendMode";
  HardLightFilter();
  // Null unless both images are given.
  ImagePtr outputImage() override;
};

// The blend of one source value over one backdrop value (both unpremultiplied).
RGBA hardLight(const RGBA& source, const RGBA& backdrop);

// The node: extent the union of both extents; where only one image lies, the other counts as
// transparent.
class HardLightImage final : public Image {
 public:
  HardLightImage(ImagePtr source, ImagePtr backdrop);

  void prepare(RenderTables& tables) const override;

 protected:
  void sampleBatch(const Batch& batch, RGBA* out) const override;

 private:
  ImagePtr source_, backdrop_;
};

}  // namespace imaging
