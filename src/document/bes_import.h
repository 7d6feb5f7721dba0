#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "document/bse_header.h"

namespace redadado {

inline constexpr const char* kCannotCreateBse = "ＢＳＥファイルが作成できませんでした。";
inline constexpr const char* kCannotWriteBse = "ＢＳＥファイルに書き込めませんでした。";

// The BSE byte for one BES data byte: 0xA1..0xDF are cells (0xA0 plus the dot value),
// 0x0C, 0x0D and 0xFE come back unchanged, every other byte is a blank cell.
std::uint8_t BesByteToCell(std::uint8_t besByte);

// Rewrites the BES document `besPath` as a BSE document at `bsePath` and makes that the current
// document. Returns the reason when nothing could be written: the BES file cannot be opened, or
// the BSE file cannot be created. A BES file that ends early converts as far as it goes.
std::optional<std::string> ConvertBesToBse(const std::string& besPath, const std::string& bsePath,
                                           BrailleDocument& document);

}  // namespace redadado
