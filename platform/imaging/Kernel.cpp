#include "Kernel.h"

#include <regex>
#include <string>

#include "foundation/Fatal.h"
#include "imaging/NativeKernels.h"

namespace imaging {
namespace {

// Normalised sampler coordinates of an extent: (0, 0) at its lower left, (1, 1) at its upper
// right; an endless extent is left in image space.
struct Normaliser {
  double x, y, w, h;
  explicit Normaliser(const graphics::Rect& e) {
    if (e.isInfinite() || e.isEmpty()) {
      x = y = 0.0;
      w = h = 1.0;
    } else {
      x = e.minX();
      y = e.minY();
      w = e.width();
      h = e.height();
    }
  }
  graphics::Point toSampler(graphics::Point p) const { return {(p.x - x) / w, (p.y - y) / h}; }
  graphics::Point toImage(graphics::Point c) const { return {x + c.x * w, y + c.y * h}; }
};

}  // namespace

graphics::Point KernelPoint::samplerCoord(std::size_t i) const {
  return Normaliser(arguments_[i]->extent()).toSampler(dest_);
}

RGBA KernelPoint::sampleAt(std::size_t i, graphics::Point coord) const {
  return arguments_[i]->sample(Normaliser(arguments_[i]->extent()).toImage(coord));
}

std::shared_ptr<Kernel> Kernel::fromSource(std::string_view source) {
  // The declaration: "kernel vec4 name(sampler a, sampler b)".
  static const std::regex declaration(R"(\bkernel\s+vec4\s+([A-Za-z_]\w*)\s*\(([^)]*)\))");
  static const std::regex samplerParameter(R"(^\s*sampler\s+[A-Za-z_]\w*\s*$)");
  std::match_results<std::string_view::const_iterator> match;
  if (!std::regex_search(source.begin(), source.end(), match, declaration)) return nullptr;
  const NativeKernel* native = findNativeKernel(std::string(match[1].first, match[1].second));
  if (!native) return nullptr;

  const std::string parameters(match[2].first, match[2].second);
  std::size_t samplers = 0;
  std::size_t start = 0;
  while (start <= parameters.size()) {
    const std::size_t comma = std::min(parameters.find(',', start), parameters.size());
    const std::string parameter = parameters.substr(start, comma - start);
    if (!std::regex_match(parameter, samplerParameter)) return nullptr;
    ++samplers;
    start = comma + 1;
  }
  if (samplers != native->samplers) return nullptr;
  return std::shared_ptr<Kernel>(new Kernel(std::string(native->name), samplers, native->body));
}

ImagePtr Kernel::apply(const graphics::Rect& extent, const RegionOfInterest& /*roi*/,
                       const std::vector<ImagePtr>& arguments) const {
  if (arguments.size() != arguments_) {
    foundation::fatalError("Kernel " + name_ + " takes " + std::to_string(arguments_) +
                           " images, not " + std::to_string(arguments.size()));
  }
  for (const ImagePtr& argument : arguments) {
    if (!argument) foundation::fatalError("Kernel " + name_ + " was given no image");
  }
  return std::make_shared<KernelImage>(extent, body_, arguments);
}

KernelImage::KernelImage(const graphics::Rect& extent, KernelBody body,
                         std::vector<ImagePtr> arguments)
    : Image(extent), body_(body), arguments_(std::move(arguments)) {}

void KernelImage::sampleBatch(const Batch& batch, RGBA* out) const {
  RGBA samples[Kernel::kMaxArguments][kBatch];
  const RGBA* rows[Kernel::kMaxArguments];
  for (std::size_t i = 0; i < arguments_.size(); ++i) {
    arguments_[i]->sample(batch, samples[i]);
    rows[i] = samples[i];
  }
  for (std::size_t k = 0; k < batch.count; ++k) {
    out[k] = inExtent(batch.points[k])
                 ? body_(KernelPoint(batch.points[k], rows, arguments_.data(), k))
                 : RGBA{};
  }
}

}  // namespace imaging
