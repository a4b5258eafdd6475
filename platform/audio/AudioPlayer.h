#pragma once
// A player of one sound file, the error beep's. It checks at creation that the file is a sound it
// could play (SoundFile.h says how), but it makes no sound: this machine has no sound device. It
// counts the requests to prepare and to play, so tests can see them. Held by std::shared_ptr by
// whoever keeps it.
//
// Threads: main thread only (touch handling, drawing and the host's user interface run there), so
// it holds no lock.

#include <filesystem>

#include "audio/AudioError.h"
#include "audio/SoundFile.h"

namespace audio {

class AudioPlayer {
 public:
  // Opens `file` and recognises its content; throws AudioError for a missing or unreadable file or
  // one whose content is no recognised sound file.
  explicit AudioPlayer(std::filesystem::path file);

  AudioPlayer(const AudioPlayer&) = delete;
  AudioPlayer& operator=(const AudioPlayer&) = delete;

  const std::filesystem::path& file() const { return file_; }
  SoundFormat format() const { return format_; }

  // Preloads the sound; counted; always succeeds.
  bool prepareToPlay();
  // Starts the sound from where it stands (neither stopped nor rewound first); counted; always
  // succeeds.
  bool play();

  int prepareToPlayCount() const { return prepareToPlayCount_; }
  int playCount() const { return playCount_; }

 private:
  std::filesystem::path file_;
  SoundFormat format_;
  int prepareToPlayCount_ = 0;
  int playCount_ = 0;
};

}  // namespace audio
