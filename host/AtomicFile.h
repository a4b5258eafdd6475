#pragma once
// Output files appear whole or not at all: each is written under a temporary name in its own
// folder and renamed over its final name once complete, so a failed or interrupted run never
// leaves a half-written picture or storage file. The temporary file is one this program has just
// made, never a file or a link found there, and the rename replaces a link at the final name
// instead of writing where it points: nothing outside the output folder is touched.

#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

namespace painthost {

// A new empty file beside `target`, made by this call under a temporary name: its path and its
// descriptor, open for writing (the caller closes it). Throws EngineFailure naming `target` when
// none can be made.
struct TemporaryFile {
  std::filesystem::path path;
  int descriptor = -1;
};
TemporaryFile makeTemporaryBeside(const std::filesystem::path& target);

// Files that appear together: each written under a temporary name, all renamed over their final
// names by commit(). The temporary files of a group that is not committed are removed.
class FileGroup {
 public:
  FileGroup() = default;
  ~FileGroup();
  FileGroup(const FileGroup&) = delete;
  FileGroup& operator=(const FileGroup&) = delete;

  // Calls `write` with the path of a new temporary file beside `target`. A write that returns
  // false or leaves no regular file there throws EngineFailure naming `target`; what `write` throws
  // passes on. Either way the temporary file is removed.
  void add(const std::filesystem::path& target, const std::function<bool(const std::filesystem::path&)>& write);
  // Renames every file over its final name, in the order added. When one cannot be renamed, the
  // files renamed before it are removed too, and EngineFailure names it.
  void commit();

 private:
  std::vector<std::pair<std::filesystem::path, std::filesystem::path>> files_;  // temporary, final
};

}  // namespace painthost
