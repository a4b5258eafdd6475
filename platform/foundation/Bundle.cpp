#include "Bundle.h"

#include <cstdlib>
#include <system_error>

namespace foundation {

std::filesystem::path Bundle::defaultRoot() {
  if (const char* env = std::getenv("TESS_RESOURCES"); env != nullptr && *env != '\0') return env;
  return TESS_DEFAULT_RESOURCES;
}

Bundle& Bundle::framework() {
  static Bundle bundle(defaultRoot());
  return bundle;
}

Bundle& Bundle::main() {
  static Bundle bundle(defaultRoot());
  return bundle;
}

std::optional<std::filesystem::path> Bundle::pathForResource(std::string_view name,
                                                             std::string_view type) const {
  if (name.empty()) return std::nullopt;
  std::string file(name);
  if (!type.empty()) {
    file += '.';
    file += type;
  }
  std::error_code error;
  const auto direct = root_ / file;
  if (std::filesystem::is_regular_file(direct, error)) return direct;

  std::filesystem::recursive_directory_iterator it(root_, error), end;
  for (; !error && it != end; it.increment(error)) {
    if (it->path().filename() == file && it->is_regular_file(error)) return it->path();
  }
  return std::nullopt;
}

}  // namespace foundation
