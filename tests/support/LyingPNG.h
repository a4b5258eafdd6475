#pragma once
// A PNG file whose header claims other sizes than its pixels have: the header's width and height
// replaced and its checksum made to match, so that only decoding the pixels finds the lie.

#include <cstddef>
#include <cstdint>
#include <string>

namespace testsupport {

// The CRC-32 that closes a PNG chunk, over its type and data.
inline std::uint32_t pngChunkCRC(const std::uint8_t* bytes, std::size_t length) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < length; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// The bytes of the PNG file `png` with a header that claims `width` x `height` pixels.
inline std::string claimingSize(std::string png, std::uint32_t width, std::uint32_t height) {
  auto put = [&png](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) png.at(at + i) = static_cast<char>(value >> (24 - 8 * i));
  };
  // Signature (8), IHDR length (4), "IHDR" at 12, width at 16, height at 20, CRC at 29.
  put(16, width);
  put(20, height);
  put(29, pngChunkCRC(reinterpret_cast<const std::uint8_t*>(png.data()) + 12, 17));
  return png;
}

}  // namespace testsupport
