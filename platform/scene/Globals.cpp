#include "scene/Globals.h"

#include "scene/Scene.h"

namespace scene {

void resetGlobals() {
  Scene::loadCount_ = 0;
}

}  // namespace scene
