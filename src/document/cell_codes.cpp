#include "document/cell_codes.h"

#include <array>

namespace redadado {
namespace {

// Braille ASCII 0x20..0x5F, one row of the table a character.
constexpr std::array<int, 64> kAsciiDots = {
    DotsValue(0, 0, 0, 0, 0, 0),  // 0x20 space
    DotsValue(0, 1, 1, 1, 0, 1),  // 0x21 !
    DotsValue(0, 0, 0, 0, 1, 0),  // 0x22 "
    DotsValue(0, 0, 1, 1, 1, 1),  // 0x23 #
    DotsValue(1, 1, 0, 1, 0, 1),  // 0x24 $
    DotsValue(1, 0, 0, 1, 0, 1),  // 0x25 %
    DotsValue(1, 1, 1, 1, 0, 1),  // 0x26 &
    DotsValue(0, 0, 1, 0, 0, 0),  // 0x27 '
    DotsValue(1, 1, 1, 0, 1, 1),  // 0x28 (
    DotsValue(0, 1, 1, 1, 1, 1),  // 0x29 )
    DotsValue(1, 0, 0, 0, 0, 1),  // 0x2A *
    DotsValue(0, 0, 1, 1, 0, 1),  // 0x2B +
    DotsValue(0, 0, 0, 0, 0, 1),  // 0x2C ,
    DotsValue(0, 0, 1, 0, 0, 1),  // 0x2D -
    DotsValue(0, 0, 0, 1, 0, 1),  // 0x2E .
    DotsValue(0, 0, 1, 1, 0, 0),  // 0x2F /
    DotsValue(0, 0, 1, 0, 1, 1),  // 0x30 0
    DotsValue(0, 1, 0, 0, 0, 0),  // 0x31 1
    DotsValue(0, 1, 1, 0, 0, 0),  // 0x32 2
    DotsValue(0, 1, 0, 0, 1, 0),  // 0x33 3
    DotsValue(0, 1, 0, 0, 1, 1),  // 0x34 4
    DotsValue(0, 1, 0, 0, 0, 1),  // 0x35 5
    DotsValue(0, 1, 1, 0, 1, 0),  // 0x36 6
    DotsValue(0, 1, 1, 0, 1, 1),  // 0x37 7
    DotsValue(0, 1, 1, 0, 0, 1),  // 0x38 8
    DotsValue(0, 0, 1, 0, 1, 0),  // 0x39 9
    DotsValue(1, 0, 0, 0, 1, 1),  // 0x3A :
    DotsValue(0, 0, 0, 0, 1, 1),  // 0x3B ;
    DotsValue(1, 1, 0, 0, 0, 1),  // 0x3C <
    DotsValue(1, 1, 1, 1, 1, 1),  // 0x3D =
    DotsValue(0, 0, 1, 1, 1, 0),  // 0x3E >
    DotsValue(1, 0, 0, 1, 1, 1),  // 0x3F ?
    DotsValue(0, 0, 0, 1, 0, 0),  // 0x40 @
    DotsValue(1, 0, 0, 0, 0, 0),  // 0x41 A
    DotsValue(1, 1, 0, 0, 0, 0),  // 0x42 B
    DotsValue(1, 0, 0, 1, 0, 0),  // 0x43 C
    DotsValue(1, 0, 0, 1, 1, 0),  // 0x44 D
    DotsValue(1, 0, 0, 0, 1, 0),  // 0x45 E
    DotsValue(1, 1, 0, 1, 0, 0),  // 0x46 F
    DotsValue(1, 1, 0, 1, 1, 0),  // 0x47 G
    DotsValue(1, 1, 0, 0, 1, 0),  // 0x48 H
    DotsValue(0, 1, 0, 1, 0, 0),  // 0x49 I
    DotsValue(0, 1, 0, 1, 1, 0),  // 0x4A J
    DotsValue(1, 0, 1, 0, 0, 0),  // 0x4B K
    DotsValue(1, 1, 1, 0, 0, 0),  // 0x4C L
    DotsValue(1, 0, 1, 1, 0, 0),  // 0x4D M
    DotsValue(1, 0, 1, 1, 1, 0),  // 0x4E N
    DotsValue(1, 0, 1, 0, 1, 0),  // 0x4F O
    DotsValue(1, 1, 1, 1, 0, 0),  // 0x50 P
    DotsValue(1, 1, 1, 1, 1, 0),  // 0x51 Q
    DotsValue(1, 1, 1, 0, 1, 0),  // 0x52 R
    DotsValue(0, 1, 1, 1, 0, 0),  // 0x53 S
    DotsValue(0, 1, 1, 1, 1, 0),  // 0x54 T
    DotsValue(1, 0, 1, 0, 0, 1),  // 0x55 U
    DotsValue(1, 1, 1, 0, 0, 1),  // 0x56 V
    DotsValue(0, 1, 0, 1, 1, 1),  // 0x57 W
    DotsValue(1, 0, 1, 1, 0, 1),  // 0x58 X
    DotsValue(1, 0, 1, 1, 1, 1),  // 0x59 Y
    DotsValue(1, 0, 1, 0, 1, 1),  // 0x5A Z
    DotsValue(0, 1, 0, 1, 0, 1),  // 0x5B [
    DotsValue(1, 1, 0, 0, 1, 1),  // 0x5C backslash
    DotsValue(1, 1, 0, 1, 1, 1),  // 0x5D ]
    DotsValue(0, 0, 0, 1, 1, 0),  // 0x5E ^
    DotsValue(0, 0, 0, 1, 1, 1),  // 0x5F _
};

constexpr std::array<std::uint8_t, 64> ReverseTable() {
  std::array<std::uint8_t, 64> cells{};
  for (int i = 0; i < 64; ++i) {
    cells[static_cast<std::size_t>(kAsciiDots[static_cast<std::size_t>(i)])] =
        static_cast<std::uint8_t>(0x20 + i);
  }
  return cells;
}

constexpr std::array<std::uint8_t, 64> kCellForDots = ReverseTable();

}  // namespace

int CellDots(int ch) {
  // A signed char above 0x7F arrives negative and falls outside the table like any other.
  if (ch >= 0x60) ch -= 0x20;
  if (ch < 0x20 || ch > 0x5F) return 0;
  return kAsciiDots[static_cast<std::size_t>(ch - 0x20)];
}

std::uint8_t CellForDots(int dots) {
  return kCellForDots[static_cast<std::size_t>(dots & 0x3F)];
}

}  // namespace redadado
