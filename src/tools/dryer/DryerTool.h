#pragma once
// The dryer, which dries wet paint where it passes: the twins' tool (FanDryerTool.h) with the
// dryer's type and passes.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/dryer/FanDryerTool.h"
#include "tools/dryer/FanDryerToolSurface.h"
#include "tools/dryer/FanDryerToolViewer.h"

namespace tessivarium {

using DryerToolSurface = FanDryerToolSurface;
using DryerToolViewer = FanDryerToolViewer;

class DryerTool final : public FanDryerTool {
 public:
  DryerTool();
};

}  // namespace tessivarium
