// One stroke frame of the round brush, which paints without a head (no fill before the frames), at
// the None and Height debug modes.

#include "ToolFrameBenchmark.h"
#include "tools/brushes/RoundBrushTool.h"

TOOL_FRAME_BENCHMARK(RoundBrush, tessivarium::AppManager().roundBrush());
