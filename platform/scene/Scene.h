#pragma once
// Scenes: a root node and everything under it, either built in code or read from a ".dae"
// (COLLADA 1.4) file. What the reader keeps of a file, and how, is described in
// resources/scenes/README.md and in SceneFile.cpp.

#include <cstddef>
#include <filesystem>
#include <memory>

#include "scene/Node.h"

namespace scene {

void resetGlobals();

class Scene {
 public:
  // An empty scene: a root node without name or children.
  Scene();
  static std::shared_ptr<Scene> make() { return std::make_shared<Scene>(); }

  // Reads a scene file through assimp. The root's children are the file's top-level nodes in
  // file order, each with its name, its transform taken apart into position, Euler angles and
  // scale, its meshes as one custom geometry, and its own children. Throws SceneError for a
  // missing file, a file that is not COLLADA or cannot be parsed, a file that breaks the limits or
  // fails the consistency checks of scene/ColladaCheck.h (done before assimp reads it), and
  // contents the kit cannot hold (a sheared transform, point or line primitives); it never stops
  // the program.
  static std::shared_ptr<Scene> load(const std::filesystem::path& path);

  // How many times load() has been asked to read a file, whether or not it succeeded; back to 0
  // with resetGlobals(). Lets callers check that a cache reads a file once.
  static std::size_t loadCount();

  const std::shared_ptr<Node>& rootNode() const { return root_; }

 private:
  friend void resetGlobals();
  static std::size_t loadCount_;

  std::shared_ptr<Node> root_;
};

}  // namespace scene
