#pragma once
// Resets the kit's process-wide settings to their defaults, for tests: the main screen (1536 x 2048
// at scale 2, not yet used), the status-bar orientation (portrait), the frame source's order (the
// order of creation) and the withholding of drawables (none).

namespace ui {

void resetGlobals();

}  // namespace ui
