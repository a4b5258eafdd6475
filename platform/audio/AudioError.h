#pragma once
// The error an audio player's creation fails with.

#include <filesystem>
#include <stdexcept>
#include <string>

namespace audio {

class AudioError : public std::runtime_error {
 public:
  enum class Reason {
    FileNotFound,   // nothing at the path
    Unreadable,     // a folder, a FIFO or a device, or a file that cannot be opened or read
    NotASoundFile,  // readable, but its content is no recognised sound container
  };

  AudioError(Reason reason, const std::filesystem::path& file);

  Reason reason() const { return reason_; }
  const std::filesystem::path& file() const { return file_; }

 private:
  Reason reason_;
  std::filesystem::path file_;
};

}  // namespace audio
