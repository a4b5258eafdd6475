#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

#include "audio/SoundFile.h"

namespace {

using audio::SoundFormat;

std::optional<SoundFormat> recognize(const std::string& bytes) {
  std::istringstream stream(bytes, std::ios::binary);
  return audio::recognizeSoundFormat(stream);
}

std::string bytes(std::initializer_list<unsigned> values) {
  std::string out;
  for (unsigned v : values) out.push_back(static_cast<char>(v));
  return out;
}

// MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, no emphasis.
const std::string kFrame = bytes({0xFF, 0xFB, 0x90, 0x64});

std::string id3Header(unsigned major, unsigned flags, std::initializer_list<unsigned> size) {
  std::string header = "ID3" + bytes({major, 0x00, flags});
  return header + bytes(size);
}

struct Case {
  const char* name;
  std::string content;
  std::optional<SoundFormat> expected;
};

TEST(SoundFile, RecognisesContainersFromTheirHeaders) {
  const std::string tagBody(200, '\0');
  const Case cases[] = {
      {"bare frame header", kFrame, SoundFormat::MPEGAudio},
      {"MPEG-2 layer II frame", bytes({0xFF, 0xF4, 0x80, 0x00}), SoundFormat::MPEGAudio},
      {"ID3v2.3 tag then frame", id3Header(3, 0, {0, 0, 0, 0}) + kFrame, SoundFormat::MPEGAudio},
      // 200 = 1 * 128 + 72: the size is read seven bits per byte.
      {"ID3v2.4 tag of 200 bytes then frame", id3Header(4, 0, {0, 0, 1, 72}) + tagBody + kFrame,
       SoundFormat::MPEGAudio},
      {"ID3v2.4 tag with footer then frame",
       id3Header(4, 0x10, {0, 0, 0, 2}) + "ab" + "3DI" + std::string(7, '\0') + kFrame,
       SoundFormat::MPEGAudio},
      {"ID3 tag then no frame", id3Header(3, 0, {0, 0, 0, 4}) + "abcd" + "text", std::nullopt},
      {"ID3 tag longer than the file", id3Header(3, 0, {0, 0, 1, 0}) + kFrame, std::nullopt},
      {"ID3 size byte with its high bit", id3Header(3, 0, {0, 0, 0, 0x80}) + kFrame, std::nullopt},
      {"ID3 version 5", id3Header(5, 0, {0, 0, 0, 0}) + kFrame, std::nullopt},
      {"reserved MPEG version", bytes({0xFF, 0xEB, 0x90, 0x64}), std::nullopt},
      {"reserved layer", bytes({0xFF, 0xF9, 0x90, 0x64}), std::nullopt},
      {"bad bit-rate index", bytes({0xFF, 0xFB, 0xF0, 0x64}), std::nullopt},
      {"reserved sample rate", bytes({0xFF, 0xFB, 0x9C, 0x64}), std::nullopt},
      {"reserved emphasis", bytes({0xFF, 0xFB, 0x90, 0x66}), std::nullopt},
      {"RIFF WAVE", "RIFF" + bytes({36, 0, 0, 0}) + "WAVEfmt ", SoundFormat::WAVE},
      {"RIFF of another kind", "RIFF" + bytes({36, 0, 0, 0}) + "AVI LIST", std::nullopt},
      {"PNG", bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), std::nullopt},
      {"text", "not a sound at all", std::nullopt},
      {"empty", "", std::nullopt},
      {"truncated frame header", bytes({0xFF, 0xFB, 0x90}), std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(recognize(c.content), c.expected) << c.name;
  }
}

}  // namespace
