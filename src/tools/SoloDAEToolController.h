#pragma once
// The one dial controller shared by every tool-model tool that has an angle control; the tool that
// attached it last receives its angle.

#include <memory>

namespace tessivarium {

class DAEDialController;

// Made on first use (no frame); the same dial for the whole process.
const std::shared_ptr<DAEDialController>& SOLO_DAE_TOOL_CONTROLLER();

// Drops the dial, so the next use makes a new one (tests only).
void resetSoloDAEToolControllerForTesting();

}  // namespace tessivarium
