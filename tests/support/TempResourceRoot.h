#pragma once
// A temporary folder that both bundles look in while the object lives.

#include <filesystem>
#include <string_view>

namespace testsupport {

class TempResourceRoot {
 public:
  TempResourceRoot();
  ~TempResourceRoot();
  TempResourceRoot(const TempResourceRoot&) = delete;
  TempResourceRoot& operator=(const TempResourceRoot&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes a file (relative to the root, folders made as needed) and returns its path.
  std::filesystem::path write(std::string_view relative, std::string_view contents);

 private:
  std::filesystem::path path_;
  std::filesystem::path previousFramework_;
  std::filesystem::path previousMain_;
};

}  // namespace testsupport
