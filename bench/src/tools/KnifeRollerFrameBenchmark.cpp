// One stroke frame of a knife (the second, a long diamond blade) and of the roller, at the None and
// Height debug modes. The roller cannot be filled: it rolls an empty head over the bare canvas,
// which costs what a loaded frame does but the cells it changes. Both are measured once more
// through fresh wet paint 120 bytes thick, far above the blade: the knife cuts its trench and drives
// what it cannot hold aside, and the roller's drum carries paint on.

#include "ToolFrameBenchmark.h"
#include "tools/knives/KnifeTools.h"
#include "tools/roller/RollerTool.h"

TOOL_FRAME_BENCHMARK(Knife2, tessivarium::AppManager().knife2());
TOOL_FRAME_BENCHMARK(Roller, tessivarium::AppManager().roller());
TOOL_FRAME_BENCHMARK_ON_WET_PAINT(Knife2ThroughThickPaint, tessivarium::AppManager().knife2(), 120);
TOOL_FRAME_BENCHMARK_ON_WET_PAINT(RollerThroughThickPaint, tessivarium::AppManager().roller(), 120);
