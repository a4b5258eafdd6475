#include "utils/ImageFilters.h"

#include <initializer_list>

#include "foundation/Fatal.h"

namespace tessivarium {
namespace {

std::string joined(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += line;
  return text;
}

}  // namespace

const std::string& rotateKernelSource() {
  static const std::string source = joined({
      "kernel vec4 rotate(sampler src) {",
      "vec2 coord = samplerCoord(src);",
      "return sample (src, vec2(1.0 - coord.y, coord.x));",
      "}",
  });
  return source;
}

const std::string& alphaSetKernelSource() {
  static const std::string source = joined({
      "kernel vec4 alphaSet(sampler src, sampler alpha) {",
      "vec4 value = sample(src, samplerCoord(src));",
      "vec4 alphaValue = sample(alpha, samplerCoord(alpha));",
      "value.a = alphaValue.a;",
      "return value;",
      "}",
  });
  return source;
}

// Each colour rule keeps its variables in a block of its own.
const std::string& mergeKernelSource() {
  static const std::string source = joined({
      "kernel vec4 mergeKernel(sampler src, sampler back) {",
      "vec4 overlay = sample(src, samplerCoord(src));",
      "vec4 base = sample(back, samplerCoord(back));",
      "if (base.a == 0.0 || overlay.a == 1.0) {",
      "return overlay;",
      "}",
      "if (overlay.a == 0.0) {",
      "return base;",
      "}",
      "{",
      "float abs1 = overlay.g > overlay.r ? overlay.g - overlay.r : overlay.r - overlay.g;",
      "float min1 = overlay.g > overlay.r ? overlay.r : overlay.g;",
      "float abs2 = base.g > base.r ? base.g - base.r : base.r - base.g;",
      "float max2 = base.g > base.r ? base.g : base.r;",
      "if (abs1 < 0.15 && overlay.g >= 0.75 && min1 > overlay.b && abs2 < 0.05 && base.b >= 0.5 &&",
      " base.b > max2 && base.r < base.g + 0.1) {",
      "float minR = min(overlay.r, base.r);",
      "float minB = min(overlay.b, base.b);",
      "return vec4(minR, (overlay.g + base.g)/2.0, minB, base.a*(1.0 - overlay.a) + overlay.a*overlay.a);",
      "}",
      "}",
      "{",
      "float abs1 = base.g > base.r ? base.g - base.r : base.r - base.g;",
      "float min1 = base.g > base.r ? base.r : base.g;",
      "float abs2 = overlay.g > overlay.r ? overlay.g - overlay.r : overlay.r - overlay.g;",
      "float max2 = overlay.g > overlay.r ? overlay.g : overlay.r;",
      "if (abs1 < 0.15 && base.g >= 0.75 && min1 > base.b && abs2 < 0.05 && overlay.b >= 0.5 &&",
      " overlay.b > max2 && overlay.r < overlay.g + 0.1) {",
      "float minR = min(overlay.r, base.r);",
      "float minB = min(overlay.b, base.b);",
      "return vec4(minR, (overlay.g + base.g)/2.0, minB, overlay.a*(1.0 - base.a) + base.a*base.a);",
      "}",
      "}",
      "return base*(1.0 - overlay.a) + overlay*overlay.a;",
      "}",
  });
  return source;
}

ImageKernelFilter::ImageKernelFilter(std::string name, std::string displayName,
                                     const std::string& source, std::vector<std::string> imageKeys,
                                     std::vector<std::string> attributeKeys)
    : imaging::Filter(std::move(name)),
      displayName_(std::move(displayName)),
      imageKeys_(std::move(imageKeys)),
      attributeKeys_(std::move(attributeKeys)),
      kernel_(imaging::Kernel::fromSource(source)) {
  for (const std::string& key : imageKeys_) declareInput(key, InputKind::Image);
}

void ImageKernelFilter::setImage(std::string_view key, imaging::ImagePtr image) {
  setValue(key, imaging::FilterValue(std::move(image)));
}

imaging::Attributes ImageKernelFilter::attributes() const {
  imaging::Attributes attributes;
  attributes.set(imaging::kAttributeFilterDisplayName, displayName_);
  for (const std::string& key : attributeKeys_) {
    attributes.set(key, imaging::Attributes{
                            {std::string(imaging::kAttributeIdentity), 0},
                            {std::string(imaging::kAttributeClass), "CIImage"},
                            {std::string(imaging::kAttributeDisplayName), "Image"},
                            {std::string(imaging::kAttributeType), imaging::kAttributeTypeImage},
                        });
  }
  return attributes;
}

imaging::ImagePtr ImageKernelFilter::outputImage() {
  if (!kernel_) return nullptr;
  std::vector<imaging::ImagePtr> arguments;
  for (const std::string& key : imageKeys_) {
    imaging::ImagePtr argument = image(key);
    if (!argument) return nullptr;
    arguments.push_back(std::move(argument));
  }
  // Each output point reads only the same rectangle of every input.
  const auto sameRect = [](std::size_t, const graphics::Rect& rect) { return rect; };
  return kernel_->apply(arguments.front()->extent(), sameRect, arguments);
}

namespace {

void requireImages(const imaging::ImagePtr& first, const imaging::ImagePtr& second, const char* what) {
  if (!first || !second) foundation::fatalError(std::string(what) + ".applyFilter needs two images");
}

}  // namespace

RotateFilter::RotateFilter()
    : ImageKernelFilter("RotateFilter", "Rotate", rotateKernelSource(), {"inputImage"}, {"inputImage"}) {}

RotateFilter::RotateFilter(const ui::Coder&) : RotateFilter() {}

AlphaSetFilter::AlphaSetFilter()
    : ImageKernelFilter("AlphaSetFilter", "AlphaSet", alphaSetKernelSource(),
                        {"inputImage", "alphaImage"}, {"inputImage", "alphaImage"}) {}

AlphaSetFilter::AlphaSetFilter(const ui::Coder&) : AlphaSetFilter() {}

imaging::ImagePtr AlphaSetFilter::applyFilter(imaging::ImagePtr inputImage, imaging::ImagePtr alphaImage) {
  requireImages(inputImage, alphaImage, "AlphaSetFilter");
  setInputImage(std::move(inputImage));
  setAlphaImage(std::move(alphaImage));
  return outputImage();
}

MergeFilter::MergeFilter()
    : ImageKernelFilter("MergeFilter", "imageMerge", mergeKernelSource(),
                        {"inputImage", "backgroundImage"}, {"inputImage", "upImage"}) {}

MergeFilter::MergeFilter(const ui::Coder&) : MergeFilter() {}

imaging::ImagePtr MergeFilter::applyFilter(imaging::ImagePtr inputImage, imaging::ImagePtr backgroundImage) {
  requireImages(inputImage, backgroundImage, "MergeFilter");
  setInputImage(std::move(inputImage));
  setBackgroundImage(std::move(backgroundImage));
  return outputImage();
}

namespace {

struct SharedFilters {
  std::unique_ptr<RotateFilter> rotate;
  std::unique_ptr<AlphaSetFilter> alpha;
  std::unique_ptr<MergeFilter> merge;
};

SharedFilters& sharedFilters() {
  static SharedFilters filters;
  return filters;
}

template <typename T>
T& madeOnFirstUse(std::unique_ptr<T>& slot) {
  if (!slot) slot = std::make_unique<T>();
  return *slot;
}

}  // namespace

RotateFilter& ImageRotateFilter() { return madeOnFirstUse(sharedFilters().rotate); }
AlphaSetFilter& ImageAlphaFilter() { return madeOnFirstUse(sharedFilters().alpha); }
MergeFilter& ImageMergeFilter() { return madeOnFirstUse(sharedFilters().merge); }

void resetImageFiltersForTesting() { sharedFilters() = SharedFilters{}; }

}  // namespace tessivarium
