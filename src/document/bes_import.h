#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "document/bse_header.h"

namespace redadado {

inline constexpr const char* kCannotCreateBse = "ＢＳＥファイルが作成できませんでした。";
inline constexpr const char* kCannotWriteBse = "ＢＳＥファイルに書き込めませんでした。";

// The BSE byte for one BES data byte: 0xA1..0xDF are cells (0xA0 plus the dot value),
// 0x0C, 0x0D and 0xFE come back unchanged, every other byte is a blank cell.
std::uint8_t BesByteToCell(std::uint8_t besByte);

inline constexpr const char* kConversionCancelled = "変換を取り消しました。";

// How a conversion may be cut short or held back.
struct BesConversion {
  // Asked between blocks: true ends the conversion with kConversionCancelled.
  std::function<bool()> cancelled;
  // Reads the written result before it replaces `bsePath`: a reason keeps it out.
  std::function<std::optional<std::string>(const std::string& written)> accept;
};

// Rewrites the BES document `besPath` as a BSE document at `bsePath` and makes that the current
// document. The BSE file is replaced only by a whole result: on failure it is as it was, and the
// reason is returned (the BES file cannot be opened, is the BSE file itself, the BSE file cannot
// be written, a cancel, a refusal by `how.accept`). A BES file that ends early converts as far as
// it goes.
std::optional<std::string> ConvertBesToBse(const std::string& besPath, const std::string& bsePath,
                                           BrailleDocument& document,
                                           const BesConversion& how = {});

}  // namespace redadado
