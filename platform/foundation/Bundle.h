#pragma once
// Bundles: folders of resource files. The framework's own bundle holds the system's resources
// (scenes, sounds); the main bundle is the host's. Both start at the project's resources/ folder
// (or $TESS_RESOURCES when set) and the host or a test may point either elsewhere.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace foundation {

class Bundle {
 public:
  static Bundle& framework();
  static Bundle& main();

  // The folder where resources are looked up.
  const std::filesystem::path& root() const { return root_; }
  void setRoot(std::filesystem::path root) { root_ = std::move(root); }

  // The path of resource `name` with extension `type` ("Beep", "mp3"), or of `name` alone when
  // `type` is empty; searched in the root, then recursively below it. Absent when no such file.
  std::optional<std::filesystem::path> pathForResource(std::string_view name,
                                                       std::string_view type) const;

  // The folder the bundles start at.
  static std::filesystem::path defaultRoot();

 private:
  explicit Bundle(std::filesystem::path root) : root_(std::move(root)) {}
  std::filesystem::path root_;
};

}  // namespace foundation
