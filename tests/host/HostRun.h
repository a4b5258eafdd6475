#pragma once
// The painter run in-process as the command line runs it, in a temporary folder that holds the
// run's inputs and outputs.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Script.h"

namespace graphics {
class Bitmap;
}

namespace hosttest {

// The bounding box of samples, in canvas points.
struct Box {
  double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
  void add(const painthost::Sample& s) {
    left = std::min(left, s.x), right = std::max(right, s.x);
    top = std::min(top, s.y), bottom = std::max(bottom, s.y);
  }
  bool contains(double x, double y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// Whether the relief picture shows paint in the box or a few points around it (a tap's box is a
// point).
bool showsReliefIn(const graphics::Bitmap& relief, const Box& box);

struct RunResult {
  int status = -1;
  std::string out, err;
};

class HostFolder {
 public:
  HostFolder();
  ~HostFolder();
  HostFolder(const HostFolder&) = delete;
  HostFolder& operator=(const HostFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes a file under the folder and returns its path.
  std::filesystem::path write(const std::string& name, const std::string& contents) const;
  std::filesystem::path write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

  // A picture of one opaque colour, `width` x `height`, to import as paint.
  void writePaint(const std::string& name, std::size_t width, std::size_t height) const;
  // The path of `name` under the folder, as an argument.
  std::string at(const std::string& name) const { return (path_ / name).string(); }
  // Runs tessivarium-paint with `args`, on a machine of `machineMemory` bytes when one is given.
  RunResult run(const std::vector<std::string>& args, std::optional<std::uint64_t> machineMemory = std::nullopt) const;

 private:
  std::filesystem::path path_;
};

// The names of the files in `folder` (none when it does not exist).
std::set<std::string> filesIn(const std::filesystem::path& folder);
std::vector<std::uint8_t> bytesOf(const std::filesystem::path& file);

// A script of `steps` (JSON text of the array's entries) on a `width` x `height` canvas.
std::string script(const std::string& steps, int width = 320, int height = 256);

}  // namespace hosttest
