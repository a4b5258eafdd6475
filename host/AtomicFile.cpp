#include "AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "HostErrors.h"

namespace painthost {

TemporaryFile makeTemporaryBeside(const std::filesystem::path& target) {
  // Same folder, so that the rename stays on one file system and is atomic. O_EXCL makes the file
  // anew: a file or a link left under the name is never opened.
  constexpr int kTries = 100;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    std::filesystem::path path = target;
    path += ".partial-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor >= 0) return {path, descriptor};
    if (errno != EEXIST) throw EngineFailure(target.string() + ": cannot be written: " + std::strerror(errno));
  }
  throw EngineFailure(target.string() + ": cannot be written: no free temporary name beside it");
}

FileGroup::~FileGroup() {
  std::error_code error;
  for (const auto& file : files_) std::filesystem::remove(file.first, error);
}

void FileGroup::add(const std::filesystem::path& target, const std::function<bool(const std::filesystem::path&)>& write) {
  const TemporaryFile temporary = makeTemporaryBeside(target);
  ::close(temporary.descriptor);
  // Owned by the group from now on, so that it is removed whatever happens next.
  files_.emplace_back(temporary.path, target);
  std::error_code error;
  if (!write(temporary.path) || !std::filesystem::is_regular_file(temporary.path, error)) {
    throw EngineFailure(target.string() + ": cannot be written");
  }
}

void FileGroup::commit() {
  std::error_code error;
  for (std::size_t i = 0; i < files_.size(); ++i) {
    std::filesystem::rename(files_[i].first, files_[i].second, error);
    if (!error) continue;
    const std::string message = files_[i].second.string() + ": cannot be written: " + error.message();
    for (std::size_t j = 0; j < files_.size(); ++j) std::filesystem::remove(j < i ? files_[j].second : files_[j].first, error);
    files_.clear();
    throw EngineFailure(message);
  }
  files_.clear();
}

}  // namespace painthost
