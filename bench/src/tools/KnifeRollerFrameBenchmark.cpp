// One stroke frame of a knife (the second, a long diamond blade) and of the roller, at the None and
// Height debug modes. The roller cannot be filled: it rolls an empty head over the bare canvas,
// which costs what a loaded frame does but the cells it changes.

#include "ToolFrameBenchmark.h"
#include "tools/knives/KnifeTools.h"
#include "tools/roller/RollerTool.h"

TOOL_FRAME_BENCHMARK(Knife2, tessivarium::AppManager().knife2());
TOOL_FRAME_BENCHMARK(Roller, tessivarium::AppManager().roller());
