#pragma once
// Pen data in InkML: each <trace> of the file becomes one stroke of samples, a trace of one point a
// tap. The file's trace format names its channels; X and Y are required, F (force) and the tilt
// channels (OTx and OTy, or OE elevation and OA azimuth) are used where present, the sample
// defaults stand in otherwise. Every channel read takes its unit and its resolution into account.

#include <filesystem>
#include <string>
#include <vector>

#include "Script.h"

namespace painthost {

struct InkOptions {
  // Scale and centre the traces' bounding box into the canvas (keeping the aspect, with a margin of
  // a twentieth of the canvas); otherwise X and Y are canvas points and must lie on the canvas.
  bool fit = false;
};

// The strokes of `file`, one per trace in document order. Throws BadInput naming the file, the
// trace and the point of the first fault.
std::vector<std::vector<Sample>> readInkML(const std::filesystem::path& file, const CanvasSettings& canvas,
                                           const InkOptions& options);

}  // namespace painthost
