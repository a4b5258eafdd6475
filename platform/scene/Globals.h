#pragma once
// The scene kit's globals, which tests reset before every test: the scene-file load count.

namespace scene {

void resetGlobals();

}  // namespace scene
