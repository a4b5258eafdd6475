#pragma once
// The timing lines of the layer operations ("Clean time: ", "Dry time: ", "Wet time: "): printed
// when the operation's command buffer has completed, with the seconds since `start`, while the
// knife debug switch is on.

#include <memory>
#include <string>

#include "foundation/Clock.h"
#include "foundation/Console.h"
#include "foundation/NumberText.h"
#include "gpu/CommandBuffer.h"
#include "tools/DebugSwitches.h"

namespace tessivarium {

inline void addTimingLine(gpu::CommandBuffer& buffer, std::string label, double start) {
  if (DEBUG_DAE_KNIFE == KnifeDebugMode::None) return;
  buffer.addCompletedHandler([label = std::move(label), start](gpu::CommandBuffer&) {
    foundation::consoleLine(label + foundation::describe(foundation::monotonicSeconds() - start));
  });
}

}  // namespace tessivarium
