#pragma once
// The fixed pattern behind a brush's bristles: two tables of 100 draws, one from 0 to 3 (the keep
// draws: a cell keeps a bristle unless the draw is 0) and one from 0 to 9 (how much longer than the
// base length each bristle is). Each draw moves its cursor on and then reads, going from entry 99
// back to 0, so a generator repeats every 100 draws and the same start gives the same bristles.

#include <array>
#include <cstdint>

namespace tessivarium {

class PatternGenerator {
 public:
  // The cursors start at the given entries (the first draw reads the entry after); a cursor outside
  // the table starts the draws at entry 0.
  explicit PatternGenerator(int i4 = 0, int i10 = 0) : i4(i4), i10(i10) {}

  std::uint32_t next4() { return next(values4, i4); }
  std::uint32_t next10() { return next(values10, i10); }

  static constexpr std::array<std::uint32_t, 100> values4 = {
      1, 3, 1, 2, 3, 2, 1, 2, 0, 0, 0, 1, 0, 3, 3, 0, 2, 3, 2, 3, 0, 2, 3, 3, 3, 2, 2, 2, 3, 3, 0, 3, 0, 3,
      0, 1, 3, 0, 2, 0, 0, 2, 0, 0, 3, 0, 1, 3, 2, 3, 1, 2, 1, 0, 2, 2, 0, 2, 2, 0, 1, 2, 1, 0, 3, 1, 3, 3,
      1, 2, 1, 2, 0, 3, 3, 2, 0, 0, 3, 1, 1, 3, 3, 1, 1, 3, 2, 3, 2, 3, 2, 0, 3, 3, 2, 0, 1, 3, 3, 3};
  static constexpr std::array<std::uint32_t, 100> values10 = {
      3, 5, 3, 0, 5, 8, 7, 9, 1, 4, 6, 6, 5, 5, 1, 8, 4, 4, 4, 4, 9, 0, 3, 2, 3, 7, 3, 4, 3, 0, 9, 6, 2, 9,
      2, 0, 2, 4, 1, 3, 7, 4, 4, 9, 2, 9, 7, 4, 1, 5, 3, 6, 3, 8, 9, 2, 1, 9, 6, 6, 2, 5, 9, 7, 4, 5, 6, 2,
      2, 2, 2, 9, 3, 2, 5, 1, 4, 1, 9, 4, 2, 7, 3, 3, 0, 3, 2, 9, 5, 1, 5, 6, 5, 7, 2, 2, 0, 2, 8, 1};

  // The entries returned last (the constructor's arguments before the first draw).
  int i4;
  int i10;

 private:
  static std::uint32_t next(const std::array<std::uint32_t, 100>& values, int& cursor) {
    ++cursor;
    if (cursor < 0 || cursor >= static_cast<int>(values.size())) cursor = 0;
    return values[static_cast<std::size_t>(cursor)];
  }
};

}  // namespace tessivarium
