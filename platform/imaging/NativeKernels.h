#pragma once
// The native bodies of the kernels this kit recognises in source text, by the kernel names the
// sources declare.

#include <cstddef>
#include <string_view>

#include "imaging/Kernel.h"

namespace imaging {

struct NativeKernel {
  std::string_view name;
  std::size_t samplers;
  KernelBody body;
  // The same body over a batch, for kernels that read each sampler at the output point only; null
  // for the others.
  KernelBatchBody batch = nullptr;
  // For a batch body whose result is the first sampler's value wherever this holds of that value;
  // null for the others.
  KernelDecidedByFirst decidedByFirst = nullptr;
};

// The body for a declared kernel name; null for names without one.
const NativeKernel* findNativeKernel(std::string_view name);

// The bodies, for tests.
RGBA rotateKernel(const KernelPoint& point);
RGBA alphaSetKernel(const KernelPoint& point);
RGBA mergeKernel(const KernelPoint& point);
void alphaSetBatch(const RGBA* const* samples, std::size_t count, RGBA* out);
void mergeBatch(const RGBA* const* samples, std::size_t count, RGBA* out);
bool mergeDecidedByOverlay(const RGBA& overlay);

}  // namespace imaging
