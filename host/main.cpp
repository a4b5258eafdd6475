// tessivarium-paint: plays a painting script through the engine (see README.md beside this file).

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "HostErrors.h"
#include "PaintProgram.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = painthost::runPaint(args, std::cout, std::cerr, ::isatty(STDERR_FILENO) != 0);
  std::cout.flush();
  std::cerr.flush();
  // After an engine failure the engine's state is whatever the failed step left; its globals are not
  // taken down at exit.
  if (status == painthost::kExitEngineFailure) std::_Exit(status);
  return status;
}
