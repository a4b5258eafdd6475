#pragma once
// The scene kit's globals, which tests reset before every test: the action clock (time 0, no
// running actions) and the scene-file load count.

namespace scene {

void resetGlobals();

}  // namespace scene
