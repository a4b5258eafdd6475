#include "audio/AudioError.h"

namespace audio {

namespace {

std::string describeFailure(AudioError::Reason reason, const std::filesystem::path& file) {
  switch (reason) {
    case AudioError::Reason::FileNotFound:
      return "No sound file at \"" + file.string() + "\".";
    case AudioError::Reason::Unreadable:
      return "The sound file \"" + file.string() + "\" cannot be read.";
    case AudioError::Reason::NotASoundFile:
      return "The file \"" + file.string() + "\" is not a sound file.";
  }
  return "The sound file \"" + file.string() + "\" cannot be opened.";
}

}  // namespace

AudioError::AudioError(Reason reason, const std::filesystem::path& file)
    : std::runtime_error(describeFailure(reason, file)), reason_(reason), file_(file) {}

}  // namespace audio
