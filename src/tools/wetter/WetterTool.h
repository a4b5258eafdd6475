#pragma once
// The wetter, which wets dry paint again where it passes: the twins' tool
// (tools/dryer/FanDryerTool.h, where the dryer and the wetter are written once) with the wetter's
// type and passes.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/dryer/FanDryerTool.h"
#include "tools/dryer/FanDryerToolSurface.h"
#include "tools/dryer/FanDryerToolViewer.h"

namespace tessivarium {

using WetterToolSurface = FanDryerToolSurface;
using WetterToolViewer = FanDryerToolViewer;

class WetterTool final : public FanDryerTool {
 public:
  WetterTool();
};

}  // namespace tessivarium
