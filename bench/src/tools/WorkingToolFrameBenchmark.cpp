// One stroke frame of the towel, the sander, turpentine and the fluffy mop, at the None and Height
// debug modes. None of them takes a colour, and the canvas is bare: the towel and the sander walk
// their heads over it at the full cost of the walk but change no cell; turpentine and the mop mark
// every cell they meet, so their blurs work as on paint, except for the mop's stirring, which
// finds nothing to stir on a bare canvas. The mop and the towel are measured once more over wet
// paint in bands of four colours, which the mop's hairs stir together and the towel soaks up.

#include "ToolFrameBenchmark.h"
#include "tools/fluffyMop/FluffyMopTool.h"
#include "tools/sander/SanderTool.h"
#include "tools/towels/TowelTool.h"
#include "tools/turpentine/TurpentineTool.h"

TOOL_FRAME_BENCHMARK(Towel, tessivarium::AppManager().towel());
TOOL_FRAME_BENCHMARK(Sander, tessivarium::AppManager().sander());
TOOL_FRAME_BENCHMARK(Turpentine, tessivarium::AppManager().turpentine());
TOOL_FRAME_BENCHMARK(FluffyMop, tessivarium::AppManager().fluffyMop());
TOOL_FRAME_BENCHMARK_ON_WET_PAINT(FluffyMopOnWetPaint, tessivarium::AppManager().fluffyMop(), 26);
TOOL_FRAME_BENCHMARK_ON_WET_PAINT(TowelOnWetPaint, tessivarium::AppManager().towel(), 26);
