#include "audio/SoundFile.h"

#include <array>
#include <cstring>

namespace audio {

namespace {

constexpr std::size_t kID3HeaderLength = 10;
constexpr std::size_t kID3FooterLength = 10;
constexpr std::uint8_t kID3FooterFlag = 0x10;

template <std::size_t N>
bool readBytes(std::istream& stream, std::array<std::uint8_t, N>& bytes) {
  stream.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(N));
  return stream.gcount() == static_cast<std::streamsize>(N);
}

template <std::size_t N>
bool startsWith(const std::uint8_t* bytes, const char (&text)[N]) {
  return std::memcmp(bytes, text, N - 1) == 0;
}

}  // namespace

bool isMPEGFrameHeader(std::span<const std::uint8_t, 4> bytes) {
  if (bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0) return false;
  const unsigned version = (bytes[1] >> 3) & 0x3;
  const unsigned layer = (bytes[1] >> 1) & 0x3;
  const unsigned bitRateIndex = bytes[2] >> 4;
  const unsigned sampleRateIndex = (bytes[2] >> 2) & 0x3;
  const unsigned emphasis = bytes[3] & 0x3;
  return version != 0x1 && layer != 0x0 && bitRateIndex != 0xF && sampleRateIndex != 0x3 &&
         emphasis != 0x2;
}

std::optional<std::uint64_t> id3v2TagLength(std::span<const std::uint8_t, 10> header) {
  if (!startsWith(header.data(), "ID3")) return std::nullopt;
  const std::uint8_t major = header[3];
  const std::uint8_t revision = header[4];
  const std::uint8_t flags = header[5];
  if (major < 2 || major > 4 || revision == 0xFF) return std::nullopt;
  std::uint64_t bodyLength = 0;
  for (std::size_t i = 6; i < 10; ++i) {
    if (header[i] & 0x80) return std::nullopt;  // each size byte carries 7 bits
    bodyLength = (bodyLength << 7) | header[i];
  }
  const bool hasFooter = major == 4 && (flags & kID3FooterFlag) != 0;
  return kID3HeaderLength + bodyLength + (hasFooter ? kID3FooterLength : 0);
}

std::optional<SoundFormat> recognizeSoundFormat(std::istream& stream) {
  const std::streampos start = stream.tellg();
  std::array<std::uint8_t, 12> head{};
  stream.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  const auto available = static_cast<std::size_t>(stream.gcount());

  if (available >= 12 && startsWith(head.data(), "RIFF") && startsWith(head.data() + 8, "WAVE")) {
    return SoundFormat::WAVE;
  }
  if (available >= 4 && isMPEGFrameHeader(std::span<const std::uint8_t, 4>(head.data(), 4))) {
    return SoundFormat::MPEGAudio;
  }
  if (available < kID3HeaderLength) return std::nullopt;
  const auto tagLength = id3v2TagLength(std::span<const std::uint8_t, 10>(head.data(), 10));
  if (!tagLength) return std::nullopt;

  // The first audio frame follows the tag directly.
  stream.clear();
  stream.seekg(start + static_cast<std::streamoff>(*tagLength));
  std::array<std::uint8_t, 4> frame{};
  if (!stream || !readBytes(stream, frame) || !isMPEGFrameHeader(frame)) return std::nullopt;
  return SoundFormat::MPEGAudio;
}

}  // namespace audio
