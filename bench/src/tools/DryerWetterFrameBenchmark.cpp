// One stroke frame of the dryer and of the wetter, at the None and Height debug modes. Neither takes
// a colour; their paint passes span the whole layer picture, and the canvas is bare, so only the
// cells near the samples do any work.

#include "ToolFrameBenchmark.h"
#include "tools/dryer/DryerTool.h"
#include "tools/wetter/WetterTool.h"

TOOL_FRAME_BENCHMARK(Dryer, tessivarium::AppManager().dryer());
TOOL_FRAME_BENCHMARK(Wetter, tessivarium::AppManager().wetter());
