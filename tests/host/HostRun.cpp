#include "HostRun.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "PaintProgram.h"
#include "graphics/Bitmap.h"
#include "graphics/PNGFile.h"

namespace hosttest {

HostFolder::HostFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tessivarium-paint-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
  path_ = pattern;
}

HostFolder::~HostFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::filesystem::path HostFolder::write(const std::string& name, const std::string& contents) const {
  const auto file = path_ / name;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << contents;
  return file;
}

std::filesystem::path HostFolder::write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  return write(name, std::string(bytes.begin(), bytes.end()));
}

void HostFolder::writePaint(const std::string& name, std::size_t width, std::size_t height) const {
  std::vector<std::uint8_t> pixels(width * height * 4);
  for (std::size_t i = 0; i < pixels.size(); i += 4) pixels[i] = 190, pixels[i + 1] = 70, pixels[i + 2] = 40, pixels[i + 3] = 255;
  if (!graphics::writePNG(*graphics::Bitmap::make(width, height, std::move(pixels), graphics::AlphaMode::Straight), path_ / name)) {
    throw std::runtime_error("the picture " + name + " cannot be written");
  }
}

RunResult HostFolder::run(const std::vector<std::string>& args, std::optional<std::uint64_t> machineMemory) const {
  std::ostringstream out, err;
  RunResult result;
  result.status = painthost::runPaint(args, out, err, false, machineMemory);
  result.out = out.str();
  result.err = err.str();
  return result;
}

bool showsReliefIn(const graphics::Bitmap& relief, const Box& box) {
  constexpr double kAround = 3;
  const auto from = [](double v) { return static_cast<std::size_t>(std::max(0.0, v - kAround)); };
  const auto to = [](double v, std::size_t side) { return std::min(side - 1, static_cast<std::size_t>(std::max(0.0, v + kAround))); };
  for (auto y = from(box.top); y <= to(box.bottom, relief.height()); ++y) {
    for (auto x = from(box.left); x <= to(box.right, relief.width()); ++x) {
      if (relief.pixel(x, y)[0] > 0) return true;
    }
  }
  return false;
}

std::set<std::string> filesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

std::vector<std::uint8_t> bytesOf(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string script(const std::string& steps, int width, int height) {
  return R"({"canvas": {"width": )" + std::to_string(width) + R"(, "height": )" + std::to_string(height) +
         R"(}, "steps": [)" + steps + "]}";
}

}  // namespace hosttest
