#pragma once
// Recognising a sound file from its leading bytes. The player needs only to know that a file is a
// sound it could decode; it never decodes one. Two containers are recognised, by content alone
// (the file's extension plays no part):
//
// - MPEG audio (".mp3"): either an ID3v2 tag ("ID3", major version 2 to 4, a revision other than
//   0xFF, a size of four 7-bit bytes, plus a 10-byte footer when the version-4 footer flag is set)
//   followed at once by an MPEG audio frame header, or such a frame header at the very start. A
//   frame header is 11 set sync bits, then a version other than the reserved 01, a layer other than
//   the reserved 00, a bit-rate index other than 1111, a sample-rate index other than 11 and an
//   emphasis other than the reserved 10.
// - WAVE (".wav"): "RIFF", a 4-byte length, "WAVE".
//
// Main thread only, like the player.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <span>

namespace audio {

enum class SoundFormat {
  MPEGAudio,
  WAVE,
};

// Whether four bytes form a valid MPEG audio frame header.
bool isMPEGFrameHeader(std::span<const std::uint8_t, 4> bytes);

// The total length of the ID3v2 tag whose 10-byte header is `header` (header, body and footer),
// or none when `header` is not a valid ID3v2 header.
std::optional<std::uint64_t> id3v2TagLength(std::span<const std::uint8_t, 10> header);

// The format that the stream's content shows, read from its current position; none when the bytes
// match no recognised container or the stream ends first. Reads only the headers it needs.
std::optional<SoundFormat> recognizeSoundFormat(std::istream& stream);

}  // namespace audio
