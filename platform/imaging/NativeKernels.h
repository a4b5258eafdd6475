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
};

// The body for a declared kernel name; null for names without one.
const NativeKernel* findNativeKernel(std::string_view name);

// The bodies, for tests.
RGBA rotateKernel(const KernelPoint& point);
RGBA alphaSetKernel(const KernelPoint& point);
RGBA mergeKernel(const KernelPoint& point);

}  // namespace imaging
