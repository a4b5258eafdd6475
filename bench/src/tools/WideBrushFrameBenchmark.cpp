// One stroke frame of each of the four wide brushes at the None and Height debug modes.

#include "ToolFrameBenchmark.h"
#include "tools/brushes/WideBrushTools.h"

TOOL_FRAME_BENCHMARK(SmallWideBrush, tessivarium::AppManager().smallWideBrush());
TOOL_FRAME_BENCHMARK(WideBrush, tessivarium::AppManager().wideBrush());
TOOL_FRAME_BENCHMARK(BigWideBrush, tessivarium::AppManager().bigWideBrush());
TOOL_FRAME_BENCHMARK(ExtraWideBrush, tessivarium::AppManager().extraWideBrush());
