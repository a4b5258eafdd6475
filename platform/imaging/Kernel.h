#pragma once
// General (sampler) image kernels made from source text.
//
// This kit compiles no kernel language. A source text is recognised by the kernel it declares,
// "kernel vec4 <name>(sampler a, sampler b, ...)", and runs a native body written to what that
// kernel's source computes; the rest of the text is not read. Source declaring a kernel this kit
// has no body for, or with other parameters than the body takes, gives no kernel.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/Image.h"

namespace imaging {

// What a kernel body sees of one output point.
class KernelPoint {
 public:
  KernelPoint(graphics::Point dest, const RGBA* const* samples, const ImagePtr* arguments,
              std::size_t index)
      : dest_(dest), samples_(samples), arguments_(arguments), index_(index) {}

  // The output point in image space.
  graphics::Point destCoord() const { return dest_; }
  // Sampler `i`'s value at its own coordinate of the output point.
  const RGBA& sample(std::size_t i) const { return samples_[i][index_]; }
  // The output point in sampler `i`'s coordinates, normalised to its extent: (0, 0) at the
  // extent's lower-left corner, (1, 1) at its upper right. For an endless sampler, image space.
  graphics::Point samplerCoord(std::size_t i) const;
  // Sampler `i`'s value at a coordinate of the same normalised kind.
  RGBA sampleAt(std::size_t i, graphics::Point coord) const;

 private:
  graphics::Point dest_;
  const RGBA* const* samples_;
  const ImagePtr* arguments_;
  std::size_t index_;
};

using KernelBody = RGBA (*)(const KernelPoint&);
// A body's results for a batch of output points, from each sampler's values at them
// (`samples[i][k]`), for bodies that read nothing else.
using KernelBatchBody = void (*)(const RGBA* const* samples, std::size_t count, RGBA* out);
// True when a batch body's result at a point is its first sampler's value there, whatever the
// others hold: a kernel that says so has its other samplers read only where this is false.
using KernelDecidedByFirst = bool (*)(const RGBA& first);

class Kernel {
 public:
  // The region of each input a rectangle of output needs.
  using RegionOfInterest =
      std::function<graphics::Rect(std::size_t index, const graphics::Rect& rect)>;

  static constexpr std::size_t kMaxArguments = 4;

  // The kernel the source declares; null when this kit does not know it.
  static std::shared_ptr<Kernel> fromSource(std::string_view source);

  const std::string& name() const { return name_; }
  std::size_t argumentCount() const { return arguments_; }

  // An image over `extent` whose value at each point is the body's result for the arguments
  // (one image per sampler, in order). The region-of-interest callback is accepted for the
  // platform's sake; this kit reads exactly what the body samples, so it is not called. A wrong
  // number of arguments or a null argument stops fatally.
  ImagePtr apply(const graphics::Rect& extent, const RegionOfInterest& roi,
                 const std::vector<ImagePtr>& arguments) const;

 private:
  Kernel(std::string name, std::size_t arguments, KernelBody body, KernelBatchBody batch,
         KernelDecidedByFirst decidedByFirst)
      : name_(std::move(name)), arguments_(arguments), body_(body), batch_(batch), decidedByFirst_(decidedByFirst) {}
  std::string name_;
  std::size_t arguments_;
  KernelBody body_;
  KernelBatchBody batch_;
  KernelDecidedByFirst decidedByFirst_;
};

// The node a kernel's apply makes.
class KernelImage final : public Image {
 public:
  // `batch` (may be null) gives the body's results a batch at a time, without a KernelPoint each;
  // with it, `decidedByFirst` (may be null) spares reading the other samplers where the first
  // decides the result.
  KernelImage(const graphics::Rect& extent, KernelBody body, std::vector<ImagePtr> arguments,
              KernelBatchBody batch = nullptr, KernelDecidedByFirst decidedByFirst = nullptr);

  void prepare(RenderTables& tables) const override;

 protected:
  void sampleBatch(const Batch& batch, RGBA* out) const override;

 private:
  // sampleBatch with the batch body.
  void sampleWithBatchBody(const Batch& batch, RGBA* out) const;

  KernelBody body_;
  KernelBatchBody batchBody_;
  KernelDecidedByFirst decidedByFirst_;
  std::vector<ImagePtr> arguments_;
};

}  // namespace imaging
