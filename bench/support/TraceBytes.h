#pragma once
// The bytes a recorded piece of GPU work can reach, for a benchmark's memory limit: a texel (4 bytes)
// of every texture bound to a dispatch for each thread of its grid, and the region of every blit read
// and written once.

#include <cstdint>
#include <set>

#include "gpu/CommandTrace.h"

namespace benchsupport {

inline std::int64_t bytesInTrace(const gpu::CommandTrace& trace) {
  std::int64_t bytes = 0;
  for (const auto& d : trace.dispatches()) {
    const gpu::Size& g = d.threadgroupsPerGrid;
    const gpu::Size& t = d.threadsPerThreadgroup;
    const auto threads = static_cast<std::int64_t>(g.width * t.width * g.height * t.height * g.depth * t.depth);
    std::set<gpu::Texture*> bound;
    for (const auto& [slot, texture] : d.textures) {
      if (texture) bound.insert(texture.get());
    }
    bytes += threads * 4 * static_cast<std::int64_t>(bound.size());
  }
  for (const auto& b : trace.blits()) bytes += 2 * 4 * static_cast<std::int64_t>(b.size.width * b.size.height * b.size.depth);
  return bytes;
}

}  // namespace benchsupport
