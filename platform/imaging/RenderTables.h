#pragma once
// What a render makes ready once for all of its batches. An image sampled at scattered points for
// every output texel (the shaded material's shading picture) is given its 8-bit texels decoded and
// premultiplied as floats, so that a lookup mixes four floats instead of decoding four texels. A
// context makes the tables before it samples, on the rendering thread, and passes them with every
// batch; nodes pass them on to their inputs. Nothing in them changes while the render samples.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "imaging/RGBA.h"

namespace imaging {

class Image;

// An 8-bit texture's texels premultiplied, with a border of transparent black one texel wide all
// round, so that the four texels about any point inside the texture are read without edge tests.
struct PremultipliedTexels {
  PremultipliedTexels(std::int64_t width, std::int64_t height)
      : width(width),
        height(height),
        stride(static_cast<std::size_t>(width) + 2),
        texels(stride * (static_cast<std::size_t>(height) + 2)) {}

  // Texel (i, j), for -1 <= i <= width and -1 <= j <= height.
  const RGBA* at(std::int64_t i, std::int64_t j) const {
    return texels.data() + static_cast<std::size_t>(j + 1) * stride + static_cast<std::size_t>(i + 1);
  }
  RGBA* at(std::int64_t i, std::int64_t j) { return const_cast<RGBA*>(std::as_const(*this).at(i, j)); }

  std::int64_t width, height;
  std::size_t stride;           // texels from one row to the next
  std::vector<RGBA> texels;
  std::vector<std::uint8_t> source;  // the texture's bytes they were made from, row after row
};

class RenderTables {
 public:
  // For a render that samples `samples` points.
  explicit RenderTables(std::size_t samples) : samples_(samples), serial_(nextSerial()) {}

  // A number no other render's tables have (never 0): what a node keeps across batches is keyed by it.
  std::uint64_t serial() const { return serial_; }

  // A table pays for an image looked up at more points than it has texels.
  std::size_t samples() const { return samples_; }

  void add(const Image* image, std::shared_ptr<const PremultipliedTexels> texels) {
    tables_.emplace_back(image, std::move(texels));
  }
  // The texels made ready for `image`; null when there are none.
  const PremultipliedTexels* premultiplied(const Image* image) const {
    for (const auto& [owner, texels] : tables_) {
      if (owner == image) return texels.get();
    }
    return nullptr;
  }

 private:
  static std::uint64_t nextSerial() {
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
  }

  std::size_t samples_;
  std::uint64_t serial_;
  std::vector<std::pair<const Image*, std::shared_ptr<const PremultipliedTexels>>> tables_;
};

}  // namespace imaging
