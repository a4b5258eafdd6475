#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>

#include "TempResourceRoot.h"
#include "audio/AudioPlayer.h"
#include "foundation/Bundle.h"

namespace {

using audio::AudioError;
using audio::AudioPlayer;

AudioError::Reason failureOf(const std::filesystem::path& file) {
  try {
    AudioPlayer player(file);
  } catch (const AudioError& error) {
    EXPECT_EQ(error.file(), file);
    EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos) << error.what();
    return error.reason();
  }
  ADD_FAILURE() << "the player accepted " << file;
  return AudioError::Reason::NotASoundFile;
}

TEST(AudioPlayer, RefusesMissingUnreadableAndNonSoundFiles) {
  testsupport::TempResourceRoot root;
  EXPECT_EQ(failureOf(root.path() / "Missing.mp3"), AudioError::Reason::FileNotFound);
  std::filesystem::create_directories(root.path() / "Folder.mp3");
  EXPECT_EQ(failureOf(root.path() / "Folder.mp3"), AudioError::Reason::Unreadable);
  ASSERT_EQ(::mkfifo((root.path() / "Pipe.wav").c_str(), 0600), 0);
  EXPECT_EQ(failureOf(root.path() / "Pipe.wav"), AudioError::Reason::Unreadable) << "without waiting for a writer";
  EXPECT_EQ(failureOf(root.write("Text.mp3", "ID3 but not really a tag")),
            AudioError::Reason::NotASoundFile);
  EXPECT_EQ(failureOf(root.write("Empty.wav", "")), AudioError::Reason::NotASoundFile);
}

TEST(AudioPlayer, AcceptsTheCommittedBeepAndCountsPrepareAndPlay) {
  const auto beep = foundation::Bundle::framework().pathForResource("Beep", "mp3");
  ASSERT_TRUE(beep) << "resources/Beep.mp3 is missing";
  AudioPlayer player(*beep);
  EXPECT_EQ(player.format(), audio::SoundFormat::MPEGAudio);
  EXPECT_EQ(player.file(), *beep);
  EXPECT_LT(std::filesystem::file_size(*beep), 16u * 1024u);  // a short beep
  EXPECT_EQ(player.prepareToPlayCount(), 0);
  EXPECT_EQ(player.playCount(), 0);
  EXPECT_TRUE(player.prepareToPlay());
  EXPECT_TRUE(player.play());
  EXPECT_TRUE(player.play());
  EXPECT_EQ(player.prepareToPlayCount(), 1);
  EXPECT_EQ(player.playCount(), 2);
}

TEST(AudioPlayer, RecognisesWaveByContentWhateverTheExtension) {
  testsupport::TempResourceRoot root;
  const std::string wave = std::string("RIFF") + std::string(4, '\0') + "WAVEfmt ";
  AudioPlayer player(root.write("Beep.mp3", wave));
  EXPECT_EQ(player.format(), audio::SoundFormat::WAVE);
}

}  // namespace
