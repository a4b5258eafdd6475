#include "TempResourceRoot.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "foundation/Bundle.h"

namespace testsupport {

TempResourceRoot::TempResourceRoot() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tess-res-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  previousFramework_ = foundation::Bundle::framework().root();
  previousMain_ = foundation::Bundle::main().root();
  foundation::Bundle::framework().setRoot(path_);
  foundation::Bundle::main().setRoot(path_);
}

TempResourceRoot::~TempResourceRoot() {
  foundation::Bundle::framework().setRoot(previousFramework_);
  foundation::Bundle::main().setRoot(previousMain_);
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempResourceRoot::write(std::string_view relative, std::string_view contents) {
  const auto file = path_ / relative;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  return file;
}

}  // namespace testsupport
