#include "Kernel.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

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

bool isIdentifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool isIdentifier(std::string_view token) {
  return !token.empty() && (std::isalpha(static_cast<unsigned char>(token[0])) || token[0] == '_');
}

// Words (letters, digits, underscores) and single punctuation characters; white space separates.
std::vector<std::string_view> tokenize(std::string_view source) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < source.size()) {
    const char c = source[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (isIdentifierChar(c)) {
      const std::size_t start = i;
      while (i < source.size() && isIdentifierChar(source[i])) ++i;
      tokens.push_back(source.substr(start, i - start));
    } else {
      tokens.push_back(source.substr(i++, 1));
    }
  }
  return tokens;
}

}  // namespace

graphics::Point KernelPoint::samplerCoord(std::size_t i) const {
  return Normaliser(arguments_[i]->extent()).toSampler(dest_);
}

RGBA KernelPoint::sampleAt(std::size_t i, graphics::Point coord) const {
  return arguments_[i]->sample(Normaliser(arguments_[i]->extent()).toImage(coord));
}

std::shared_ptr<Kernel> Kernel::fromSource(std::string_view source) {
  // The declaration: "kernel vec4 name(sampler a, sampler b)", found among the source's tokens.
  const std::vector<std::string_view> tokens = tokenize(source);
  for (std::size_t i = 0; i + 3 < tokens.size(); ++i) {
    if (tokens[i] != "kernel" || tokens[i + 1] != "vec4" || !isIdentifier(tokens[i + 2]) ||
        tokens[i + 3] != "(") {
      continue;
    }
    const NativeKernel* native = findNativeKernel(std::string(tokens[i + 2]));
    if (!native) return nullptr;
    // Every parameter must be "sampler <name>", separated by commas.
    std::size_t samplers = 0;
    std::size_t t = i + 4;
    while (t + 1 < tokens.size() && tokens[t] == "sampler" && isIdentifier(tokens[t + 1])) {
      ++samplers;
      t += 2;
      if (t < tokens.size() && tokens[t] == ",") ++t;
      else break;
    }
    if (t >= tokens.size() || tokens[t] != ")" || samplers != native->samplers) return nullptr;
    return std::shared_ptr<Kernel>(
        new Kernel(std::string(native->name), samplers, native->body, native->batch, native->decidedByFirst));
  }
  return nullptr;
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
  return std::make_shared<KernelImage>(extent, body_, arguments, batch_, decidedByFirst_);
}

KernelImage::KernelImage(const graphics::Rect& extent, KernelBody body, std::vector<ImagePtr> arguments,
                         KernelBatchBody batch, KernelDecidedByFirst decidedByFirst)
    : Image(extent),
      body_(body),
      batchBody_(batch),
      decidedByFirst_(batch ? decidedByFirst : nullptr),
      arguments_(std::move(arguments)) {}

void KernelImage::prepare(RenderTables& tables) const {
  for (const ImagePtr& argument : arguments_) argument->prepare(tables);
}

void KernelImage::sampleBatch(const Batch& batch, RGBA* out) const {
  if (batchBody_) {
    sampleWithBatchBody(batch, out);
    return;
  }
  BatchBuffer<RGBA> samples[Kernel::kMaxArguments];
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

void KernelImage::sampleWithBatchBody(const Batch& batch, RGBA* out) const {
  BatchBuffer<RGBA> samples[Kernel::kMaxArguments];
  const RGBA* rows[Kernel::kMaxArguments];
  arguments_[0]->sample(batch, samples[0]);
  // The points the body needs every sampler for: all of them, or the span from the first to the
  // last that the first sampler's values leave undecided. Outside it the result is those values.
  std::size_t first = 0, end = batch.count;
  if (decidedByFirst_) {
    while (first < end && decidedByFirst_(samples[0][first])) ++first;
    while (end > first && decidedByFirst_(samples[0][end - 1])) --end;
    std::copy(samples[0].items, samples[0] + first, out);
    std::copy(samples[0] + end, samples[0] + batch.count, out + end);
  }
  if (end > first) {
    const Batch open{batch.points + first, end - first, batch.unitRow, batch.tables};
    rows[0] = samples[0] + first;
    for (std::size_t i = 1; i < arguments_.size(); ++i) {
      arguments_[i]->sample(open, samples[i]);
      rows[i] = samples[i];
    }
    batchBody_(rows, end - first, out + first);
  }
  clearOutside(batch, out);
}

}  // namespace imaging
