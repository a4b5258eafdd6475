#pragma once
// The system's own image filters, each a general (sampler) image kernel compiled once, at
// construction, from source text kept here:
// - RotateFilter turns an image by a quarter turn;
// - AlphaSetFilter gives a picture the alpha of a second image (the composition's alpha step);
// - MergeFilter lays one picture over another by the upper one's alpha, mixing yellow paint over
//   blue paint (or blue over yellow) into green (the composition's paint-over-dry step).
// Each has one shared instance, made on first use. The filters keep the images they were last
// given, so calls on one filter must not overlap: main thread only.

#include <memory>
#include <string>

#include "imaging/Filter.h"
#include "imaging/Kernel.h"

namespace ui {
class Coder;
}

namespace tessivarium {

// The kernel sources, each the straight concatenation of its lines.
const std::string& rotateKernelSource();
const std::string& alphaSetKernelSource();
const std::string& mergeKernelSource();

// What the three filters share: image inputs stored by key, one kernel, attributes that describe
// every input as an image.
class ImageKernelFilter : public imaging::Filter {
 public:
  // Absent when the source did not compile.
  const std::shared_ptr<imaging::Kernel>& kernel() const { return kernel_; }

  // The display name and, per input key, identity 0, class "CIImage", display name "Image" and
  // the image type.
  imaging::Attributes attributes() const override;
  // Absent when an input image or the kernel is absent; otherwise the kernel over the extent of
  // "inputImage", with the inputs in declaration order as its arguments.
  imaging::ImagePtr outputImage() override;

 protected:
  ImageKernelFilter(std::string name, std::string displayName, const std::string& source,
                    std::vector<std::string> imageKeys, std::vector<std::string> attributeKeys);
  imaging::ImagePtr image(std::string_view key) const { return imageInput(key); }
  void setImage(std::string_view key, imaging::ImagePtr image);

 private:
  std::string displayName_;
  std::vector<std::string> imageKeys_;
  std::vector<std::string> attributeKeys_;
  std::shared_ptr<imaging::Kernel> kernel_;
};

// kernel vec4 rotate(sampler src): the output at sampler coordinate (u, v) is src at (1 - v, u).
class RotateFilter : public ImageKernelFilter {
 public:
  RotateFilter();
  // From an archive: the same set-up (the filter base reads nothing from the archive).
  explicit RotateFilter(const ui::Coder& coder);

  imaging::ImagePtr inputImage() const { return image("inputImage"); }
  void setInputImage(imaging::ImagePtr image) { setImage("inputImage", std::move(image)); }
  const std::shared_ptr<imaging::Kernel>& rotateKernel() const { return kernel(); }
};

// kernel vec4 alphaSet(sampler src, sampler alpha): src's colour with alpha's alpha.
class AlphaSetFilter : public ImageKernelFilter {
 public:
  AlphaSetFilter();
  explicit AlphaSetFilter(const ui::Coder& coder);

  imaging::ImagePtr inputImage() const { return image("inputImage"); }
  void setInputImage(imaging::ImagePtr image) { setImage("inputImage", std::move(image)); }
  imaging::ImagePtr alphaImage() const { return image("alphaImage"); }
  void setAlphaImage(imaging::ImagePtr image) { setImage("alphaImage", std::move(image)); }
  const std::shared_ptr<imaging::Kernel>& alphaKernel() const { return kernel(); }

  // Stores both images (they stay stored) and returns the output. Null images stop fatally.
  imaging::ImagePtr applyFilter(imaging::ImagePtr inputImage, imaging::ImagePtr alphaImage);
};

// kernel vec4 mergeKernel(sampler src, sampler back): src (the upper picture) over back.
// Its attributes name the second input "upImage"; the property that takes it is backgroundImage.
class MergeFilter : public ImageKernelFilter {
 public:
  MergeFilter();
  explicit MergeFilter(const ui::Coder& coder);

  imaging::ImagePtr inputImage() const { return image("inputImage"); }
  void setInputImage(imaging::ImagePtr image) { setImage("inputImage", std::move(image)); }
  imaging::ImagePtr backgroundImage() const { return image("backgroundImage"); }
  void setBackgroundImage(imaging::ImagePtr image) { setImage("backgroundImage", std::move(image)); }
  const std::shared_ptr<imaging::Kernel>& mergeKernel() const { return kernel(); }

  // Stores both images (they stay stored) and returns the output. Null images stop fatally.
  imaging::ImagePtr applyFilter(imaging::ImagePtr inputImage, imaging::ImagePtr backgroundImage);
};

// The shared instances, each made on first use.
RotateFilter& ImageRotateFilter();
AlphaSetFilter& ImageAlphaFilter();
MergeFilter& ImageMergeFilter();

// Drops the shared instances, so the next use makes them afresh (tests only).
void resetImageFiltersForTesting();

}  // namespace tessivarium
