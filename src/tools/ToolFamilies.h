#pragma once
// Every tool family's header, for the code that walks all the manager's tool fields
// (TESS_MANAGER_TOOL_FIELDS) and so needs each tool complete. Code that uses one tool includes its
// family alone: touching a family then rebuilds only what uses it.

#include "tools/brushes/FanBrushTools.h"
#include "tools/brushes/FilbertBrushTools.h"
#include "tools/brushes/FlatBrushTools.h"
#include "tools/brushes/RoundBrushTool.h"
#include "tools/brushes/WideBrushTools.h"
#include "tools/dryer/DryerTool.h"
#include "tools/fluffyMop/FluffyMopTool.h"
#include "tools/knives/KnifeTools.h"
#include "tools/roller/RollerTool.h"
#include "tools/sander/SanderTool.h"
#include "tools/sprayer/SprayerTool.h"
#include "tools/towels/TowelTool.h"
#include "tools/tubes/TubeTool.h"
#include "tools/turpentine/TurpentineTool.h"
#include "tools/wetter/WetterTool.h"
