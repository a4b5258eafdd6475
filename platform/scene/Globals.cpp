#include "scene/Globals.h"

#include "scene/Action.h"
#include "scene/Scene.h"

namespace scene {

void resetGlobals() {
  ActionClock::shared().reset();
  Scene::loadCount_ = 0;
}

}  // namespace scene
