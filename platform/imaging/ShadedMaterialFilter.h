#pragma once
// "CIShadedMaterial": the input image read as a height field and lit by looking the surface
// normal up in "inputShadingImage" (a picture of a lit hemisphere); "inputScale" (default 10)
// sets how steep the relief is.

#include "imaging/Filter.h"

namespace imaging {

class ShadedMaterialFilter final : public Filter {
 public:
  static constexpr std::string_view kName = "CIShadedMaterial";
  static constexpr double kDefaultScale = 10.0;
  ShadedMaterialFilter();
  // Null unless both images are given.
  ImagePtr outputImage() override;
};

class ShadedMaterialImage final : public Image {
 public:
  ShadedMaterialImage(ImagePtr height, ImagePtr shading, double scale);

  // The shading image is looked up at a scattered point for every sample.
  void prepare(RenderTables& tables) const override;

 protected:
  void sampleBatch(const Batch& batch, RGBA* out) const override;

 private:
  // The batch's points displaced by (dx, dy), kept within the height image's edge texel centres;
  // true when they still run along a row one apart.
  bool movedPoints(const Batch& batch, double dx, double dy, graphics::Point* moved) const;
  // The heights at the points.
  void heightsAt(const Batch& moved, float* heights) const;
  // The height at each point displaced by (dx, dy), added to `sum` times `sign`.
  void accumulateHeights(const Batch& batch, double dx, double dy, float sign, float* sum) const;
  // The y differences as the two moved batches form them; in a render, the heights one below are
  // those this thread read one above for the row before when the points are the same.
  void differencesAcrossRows(const Batch& batch, float* gy) const;
  // The central differences at a run of texel centres whose points one left and one right stay
  // inside the height image's edge texel centres, from three rows of the height image's texels;
  // false (nothing written) for any other batch or a height image that cannot give texel rows.
  bool rowDifferences(const Batch& batch, float* gx, float* gy) const;
  // The x differences of a batch not marked as a run whose points lie two apart along a row (a
  // picture sampled at half its resolution), each height between two points read once for both;
  // false (nothing written) for any other batch.
  bool pairedDifferencesAcross(const Batch& batch, float* gx) const;

  ImagePtr height_, shading_;
  float scale_;
  double centreX_, centreY_, halfWidth_, halfHeight_;
  double minX_, maxX_, minY_, maxY_;  // where the shading image is looked up
  double heightMinX_, heightMaxX_, heightMinY_, heightMaxY_;  // where the height image is
};

}  // namespace imaging
