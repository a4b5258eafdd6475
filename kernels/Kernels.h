#pragma once
// The host's kernel library: the compute kernels of the texture-maintenance passes, by the names
// the system looks them up with. kernels/README.md describes the paint model they share.

#include <string>
#include <vector>

namespace kernels {

// Registers every kernel of the library in the GPU kit's default library, replacing kernels of the
// same names. Cheap, and safe to call any number of times.
void registerAll();

// The names registerAll() registers.
std::vector<std::string> names();

}  // namespace kernels
