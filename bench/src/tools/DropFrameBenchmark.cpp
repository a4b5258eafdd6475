// One stroke frame of each drop tool, the paint tube and the sprayer, at the None and Height debug
// modes.

#include "ToolFrameBenchmark.h"
#include "tools/sprayer/SprayerTool.h"
#include "tools/tubes/TubeTool.h"

TOOL_FRAME_BENCHMARK(Tube, tessivarium::AppManager().tube());
TOOL_FRAME_BENCHMARK(Sprayer, tessivarium::AppManager().sprayer());
