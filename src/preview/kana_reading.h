#pragma once

#include <cstdint>
#include <string_view>

namespace redadado {

// The marks that carry prefixes and modes from cell to cell while braille is read as kana.
// Every drawing of a page starts from a fresh state.
struct KanaReadingState {
  bool NumberMode = false;         // `A`..`J` read as digits
  bool AlphabetMode = false;       // letters read as full-width Latin letters
  bool CapitalMode = false;        // Latin letters read as capitals
  bool SingleCapital = false;      // the capital applies to one letter only
  bool DakutenPending = false;     // the next kana is voiced; survives row starts
  bool HandakutenPending = false;  // the next kana is semi-voiced; likewise

  bool operator==(const KanaReadingState&) const = default;
};

// What one cell reads as. The text is UTF-8 and refers to static storage.
struct KanaReading {
  std::string_view text;  // empty: the cell has no reading of its own and shows its dots
  // A reading of two characters stands for this cell and the next one: the caller skips the
  // next cell, neither reading nor showing it.
  bool coversTwoCells = false;

  bool empty() const { return text.empty(); }
  bool operator==(const KanaReading&) const = default;
};

// Reads `cell` given the byte that follows it in the row (the line's LF or the row's
// terminating 0 after the last cell), and updates the marks.
KanaReading ReadCellAsKana(KanaReadingState& state, std::uint8_t cell, std::uint8_t next);

// Called at the start of every row: the modes end with the row, pending voicing does not.
void ResetRowReading(KanaReadingState& state);

}  // namespace redadado
