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
// names by commit(), in the order the group was given them. The last marks the group whole: a file
// of an earlier group under its name is removed before the first rename, so that, whenever the run
// stops, the last file is there only with all the others. The temporary files of a group that is
// not committed are removed.
class FileGroup {
 public:
  // The final names, in the order they are renamed to. The leftover temporary files of a run
  // killed while it wrote these names are removed first.
  explicit FileGroup(std::vector<std::filesystem::path> targets);
  ~FileGroup();
  FileGroup(const FileGroup&) = delete;
  FileGroup& operator=(const FileGroup&) = delete;

  // Calls `write` with the path of a new temporary file beside `target`, one of the group's names.
  // A write that returns false or leaves no regular file there throws EngineFailure naming
  // `target`; what `write` throws passes on. Either way the temporary file is removed.
  void add(const std::filesystem::path& target, const std::function<bool(const std::filesystem::path&)>& write);
  // Renames every file over its final name, the last one last. When one cannot be renamed, the
  // files renamed before it are removed too, and EngineFailure names it. Throws EngineFailure when
  // a file is missing.
  void commit();

 private:
  struct File {
    std::filesystem::path target, temporary;  // no temporary one until it is added
  };
  std::vector<File> files_;
};

// Removes the temporary files that a run killed while it wrote `target` left beside it
// (target.partial-PID-N); whatever cannot be removed stays.
void removeLeftovers(const std::filesystem::path& target);

}  // namespace painthost
