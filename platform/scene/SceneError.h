#pragma once
// The one error the scene kit throws: a scene file that is missing or cannot be read as a scene.
// Its message names the file and the reason. Programming faults (bad geometry data, loops in the
// node tree, a view without a camera) are fatal stops instead.

#include <stdexcept>
#include <string>

namespace scene {

class SceneError : public std::runtime_error {
 public:
  explicit SceneError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace scene
