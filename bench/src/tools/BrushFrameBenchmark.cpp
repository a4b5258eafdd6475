// One stroke frame of each bristle-brush family (its normal size) at the None and Height debug modes.

#include "ToolFrameBenchmark.h"
#include "tools/brushes/FanBrushTools.h"
#include "tools/brushes/FilbertBrushTools.h"
#include "tools/brushes/FlatBrushTools.h"

TOOL_FRAME_BENCHMARK(FilbertBrush, tessivarium::AppManager().filbertBrush());
TOOL_FRAME_BENCHMARK(FanBrush, tessivarium::AppManager().fanBrush());
TOOL_FRAME_BENCHMARK(FlatBrush, tessivarium::AppManager().flatBrush());
