#pragma once

#include <cstdint>
#include <vector>

#include "document/print_choices.h"

namespace redadado {

// One braille page drawn in large dots: 600 positions across a line, 793 down the page. The
// storage is allocated once with the raster and reused for every page.
class PageRaster {
 public:
  static constexpr int kWidth = 600;
  static constexpr int kHeight = 793;

  PageRaster();

  // Sets the raised dots of cell byte `ch` standing at `column` of `row` (both from 0) on page
  // `page` (from 1) in the given pass. Dots outside the raster are dropped.
  void DrawCell(int ch, int row, int column, int page, PassSide pass, int linesPerPage);

  bool IsSet(int x, int y) const { return dots_[Index(x, y)] != 0; }
  bool IsEmpty() const { return dotCount_ == 0; }
  void Clear();

  // Sends every set position, rows from the top and each row from the left, as its four-byte
  // address; a second time directly after when `doubleStrike()` (asked for every dot) says so.
  // Stops at the first byte `sendByte` could not deliver and returns false.
  template <typename SendByte, typename DoubleStrike>
  bool SendRaster(SendByte&& sendByte, DoubleStrike&& doubleStrike) const;

 private:
  static constexpr int Index(int x, int y) { return y * kWidth + x; }
  void Set(int x, int y);

  std::vector<std::uint8_t> dots_;        // row-major by y: the order of sending
  std::vector<std::uint16_t> rowCounts_;  // set positions per y, so empty rows are passed over
  int dotCount_ = 0;
};

template <typename SendByte, typename DoubleStrike>
bool PageRaster::SendRaster(SendByte&& sendByte, DoubleStrike&& doubleStrike) const {
  for (int y = 0; y < kHeight && dotCount_ > 0; ++y) {
    if (rowCounts_[y] == 0) continue;
    const std::uint8_t* row = &dots_[Index(0, y)];
    for (int x = 0; x < kWidth; ++x) {
      if (row[x] == 0) continue;
      const std::uint8_t address[4] = {
          static_cast<std::uint8_t>(0x20 + x / 32), static_cast<std::uint8_t>(0x60 + x % 32),
          static_cast<std::uint8_t>(0x20 + y / 32), static_cast<std::uint8_t>(0x40 + y % 32)};
      const int times = doubleStrike() ? 2 : 1;
      for (int t = 0; t < times; ++t) {
        for (const std::uint8_t byte : address) {
          if (!sendByte(byte)) return false;
        }
      }
    }
  }
  return true;
}

}  // namespace redadado
