#include "AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "HostErrors.h"

namespace painthost {
namespace {

// A temporary file's name: its target's, then this and the process's id and the attempt's number.
constexpr const char kPartial[] = ".partial-";

// "PID-N", as makeTemporaryBeside() ends a temporary name.
bool isProcessAndAttempt(std::string_view text) {
  const auto dash = text.find('-');
  const auto digits = [](std::string_view part) {
    return !part.empty() && std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  return dash != std::string_view::npos && digits(text.substr(0, dash)) && digits(text.substr(dash + 1));
}

}  // namespace

TemporaryFile makeTemporaryBeside(const std::filesystem::path& target) {
  // Same folder, so that the rename stays on one file system and is atomic. O_EXCL makes the file
  // anew: a file or a link left under the name is never opened.
  constexpr int kTries = 100;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    std::filesystem::path path = target;
    path += kPartial + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor >= 0) return {path, descriptor};
    if (errno != EEXIST) throw EngineFailure(target.string() + ": cannot be written: " + std::strerror(errno));
  }
  throw EngineFailure(target.string() + ": cannot be written: no free temporary name beside it");
}

void removeLeftovers(const std::filesystem::path& target) {
  const std::string prefix = target.filename().string() + kPartial;
  const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!name.starts_with(prefix) || !isProcessAndAttempt(std::string_view(name).substr(prefix.size()))) continue;
    std::error_code ignored;
    if (!it->is_directory(ignored)) std::filesystem::remove(it->path(), ignored);
  }
}

FileGroup::FileGroup(std::vector<std::filesystem::path> targets) {
  for (auto& target : targets) {
    removeLeftovers(target);
    files_.push_back({std::move(target), {}});
  }
}

FileGroup::~FileGroup() {
  std::error_code error;
  for (const auto& file : files_) {
    if (!file.temporary.empty()) std::filesystem::remove(file.temporary, error);
  }
}

void FileGroup::add(const std::filesystem::path& target, const std::function<bool(const std::filesystem::path&)>& write) {
  const auto file = std::find_if(files_.begin(), files_.end(), [&](const File& f) { return f.target == target; });
  if (file == files_.end() || !file->temporary.empty()) throw EngineFailure(target.string() + ": not a file of this group");
  const TemporaryFile temporary = makeTemporaryBeside(target);
  ::close(temporary.descriptor);
  // Owned by the group from now on, so that it is removed whatever happens next.
  file->temporary = temporary.path;
  std::error_code error;
  if (!write(temporary.path) || !std::filesystem::is_regular_file(temporary.path, error)) {
    throw EngineFailure(target.string() + ": cannot be written");
  }
}

void FileGroup::commit() {
  if (files_.empty()) return;
  for (const auto& file : files_) {
    if (file.temporary.empty()) throw EngineFailure(file.target.string() + ": cannot be written: it was never made");
  }
  std::error_code error;
  // An earlier group's last file goes first: until the last rename, the group is not whole. A folder
  // under its name stays, and its rename fails.
  const std::filesystem::path& last = files_.back().target;
  if (!std::filesystem::is_directory(std::filesystem::symlink_status(last, error))) {
    std::filesystem::remove(last, error);
    if (error) throw EngineFailure(last.string() + ": cannot be written: " + error.message());
  }
  for (std::size_t i = 0; i < files_.size(); ++i) {
    std::filesystem::rename(files_[i].temporary, files_[i].target, error);
    if (!error) continue;
    const std::string message = files_[i].target.string() + ": cannot be written: " + error.message();
    for (std::size_t j = 0; j < files_.size(); ++j) std::filesystem::remove(j < i ? files_[j].target : files_[j].temporary, error);
    files_.clear();
    throw EngineFailure(message);
  }
  files_.clear();
}

}  // namespace painthost
