#pragma once

#include <cstdint>

namespace redadado {

// Dot value of a six-dot cell: dot n adds 2^(n-1). Each argument is 0 or 1.
constexpr int DotsValue(int d1, int d2, int d3, int d4, int d5, int d6) {
  return d1 + 2 * d2 + 4 * d3 + 8 * d4 + 16 * d5 + 32 * d6;
}

// Dot value (0..63) of a Braille ASCII cell byte. Lower case folds onto upper case;
// control bytes and bytes 0x80..0xFF have no dots. Accepts the byte signed or unsigned.
int CellDots(int ch);

// The Braille ASCII byte (0x20..0x5F) whose dot value is `dots` (0..63).
std::uint8_t CellForDots(int dots);

}  // namespace redadado
