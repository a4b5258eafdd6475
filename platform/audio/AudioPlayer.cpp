#include "audio/AudioPlayer.h"

#include <fstream>
#include <system_error>

namespace audio {

namespace {

SoundFormat openSoundFile(const std::filesystem::path& file) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    throw AudioError(AudioError::Reason::FileNotFound, file);
  }
  // Only regular files: opening a FIFO or a device would wait for a writer that never comes.
  if (error || !std::filesystem::is_regular_file(status)) {
    throw AudioError(AudioError::Reason::Unreadable, file);
  }
  std::ifstream stream(file, std::ios::binary);
  if (!stream) throw AudioError(AudioError::Reason::Unreadable, file);
  const auto format = recognizeSoundFormat(stream);
  if (stream.bad()) throw AudioError(AudioError::Reason::Unreadable, file);
  if (!format) throw AudioError(AudioError::Reason::NotASoundFile, file);
  return *format;
}

}  // namespace

AudioPlayer::AudioPlayer(std::filesystem::path file)
    : file_(std::move(file)), format_(openSoundFile(file_)) {}

bool AudioPlayer::prepareToPlay() {
  ++prepareToPlayCount_;
  return true;
}

bool AudioPlayer::play() {
  ++playCount_;
  return true;
}

}  // namespace audio
