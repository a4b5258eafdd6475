#pragma once
// Reading a value of a record or texture's bytes at a byte offset, as a kernel would: the bytes
// are copied, so the offset need not be aligned for T.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace testsupport {

template <typename T>
T at(const std::uint8_t* bytes, std::size_t offset) {
  T value;
  std::memcpy(&value, bytes + offset, sizeof value);
  return value;
}

}  // namespace testsupport
