#include "scene/Scene.h"

namespace scene {

std::size_t Scene::loadCount_ = 0;

Scene::Scene() : root_(Node::make()) {}

std::size_t Scene::loadCount() { return loadCount_; }

}  // namespace scene
