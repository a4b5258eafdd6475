#include "AtomicFile.h"

#include <unistd.h>

#include <fstream>

#include "HostErrors.h"

namespace painthost {

void writeAtomically(const std::filesystem::path& target, const std::function<bool(const std::filesystem::path&)>& write) {
  // Same folder, so that the rename stays on one file system and is atomic.
  std::filesystem::path temporary = target;
  temporary += ".partial-" + std::to_string(::getpid());
  std::error_code error;
  bool written = false;
  try {
    written = write(temporary) && std::filesystem::is_regular_file(temporary, error);
  } catch (...) {
    std::filesystem::remove(temporary, error);
    throw;
  }
  if (written) std::filesystem::rename(temporary, target, error);
  if (!written || error) {
    std::filesystem::remove(temporary, error);
    throw EngineFailure(target.string() + ": cannot be written");
  }
}

void writeAtomically(const std::filesystem::path& target, const std::vector<std::uint8_t>& bytes) {
  writeAtomically(target, [&](const std::filesystem::path& temporary) {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
  });
}

}  // namespace painthost
