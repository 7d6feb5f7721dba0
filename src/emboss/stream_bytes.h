#pragma once

#include <array>
#include <cstdint>

namespace redadado {

// The control bytes of the embosser stream, shared by the print run and the virtual embosser.
inline constexpr std::uint8_t kEsc = 0x1B;
inline constexpr std::uint8_t kLineFeed = 0x0A;
inline constexpr std::uint8_t kFormFeed = 0x0C;
inline constexpr std::uint8_t kCarriageReturn = 0x0D;

// ESC ESC 'G' ESC ESC 'D', followed by the dot kind digit.
inline constexpr std::array<std::uint8_t, 6> kStartCommands = {kEsc, kEsc, 0x47, kEsc, kEsc, 0x44};

}  // namespace redadado
