#include "preview/kana_reading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace redadado {
namespace {

// Reads a row the way the page view does: up to the LF or the end, each cell with the byte
// after it (0 after the last), a two-cell reading hiding the next cell. One reading per cell
// read; hidden cells give none.
std::vector<std::string> ReadRow(KanaReadingState& state, const std::string& row) {
  ResetRowReading(state);
  std::vector<std::string> readings;
  for (std::size_t j = 0; j < row.size() && row[j] != '\n'; ++j) {
    const auto next = static_cast<std::uint8_t>(j + 1 < row.size() ? row[j + 1] : 0);
    const KanaReading reading = ReadCellAsKana(state, static_cast<std::uint8_t>(row[j]), next);
    readings.emplace_back(reading.text);
    if (reading.coversTwoCells) ++j;
  }
  return readings;
}

struct Case {
  const char* why;
  std::string row;
  std::vector<std::string> readings;
};

const Case kCases[] = {
    // Number mode.
    {"digits after the number sign", "#AB", {"", "１", "２"}},
    {"a full stop inside a number", "#A1B", {"", "１", "．", "２"}},
    {"a space ends number mode", "#A A", {"", "１", "", "あ"}},
    {"a letter past J ends number mode", "#AK", {"", "１", "な"}},
    {"3 keeps number mode and reads empty", "#A3B", {"", "１", "", "２"}},
    {"J is zero", "#JA", {"", "０", "１"}},
    {"an alphabet sign ends number mode", "#A;B", {"", "１", "", "ｂ"}},
    {"a prefix ends number mode", "#@K", {"", "にゃ"}},
    // Alphabet mode and capitals.
    {"small letters", ";AB", {"", "ａ", "ｂ"}},
    {"a single capital", ";,AB", {"", "", "Ａ", "ｂ"}},
    {"a doubled capital sign", ";,,AB", {"", "", "", "Ａ", "Ｂ"}},
    {"4 is a full stop in alphabet mode, a space ends it",
     ";A4B A",
     {"", "ａ", ".", "ｂ", "", "あ"}},
    {"4 keeps a pending capital", ";,4A", {"", "", ".", "Ａ"}},
    {"4 in alphabet mode is no prefix", ";A4U", {"", "ａ", ".", "ｕ"}},
    {"a capital sign before a non-letter leaves its single capital for the row",
     ";,- ;,,AB",
     {"", "", "", "", "", "", "", "Ａ", "ｂ"}},
    {"a comma in alphabet mode is a capital sign, not a prefix", ";A,U", {"", "ａ", "", "Ｕ"}},
    {"an alphabet sign before a space reads a comma", "; A", {"、", "", "あ"}},
    {"an alphabet sign before LF reads a comma", ";\n", {"、"}},
    {"an alphabet sign as the last cell reads a comma", ";", {"、"}},
    {"an alphabet sign before a high byte reads a comma", ";\x80", {"、", ""}},
    {"a kana ends alphabet mode", ";A*B", {"", "ａ", "か", "い"}},
    // 4, 1 and 3 outside the modes.
    {"4 before a space is a full stop", "4 ", {"。", ""}},
    {"4 before LF reads empty", "4\n", {""}},
    {"4 before an unlisted cell reads empty", "4A", {"", "あ"}},
    {"1 before 1 or a space reads empty", "11K", {"", "っ", "な"}},
    {"1 before a space", "1 A", {"", "", "あ"}},
    {"1 at the end of a row", "1", {"っ"}},
    {"3 is a long vowel mark", "A3", {"あ", "ー"}},
    // Voicing prefixes.
    {"dakuten", "\"*", {"", "が"}},
    {"dakuten before a kana without a voiced form", "\"K", {"", "な"}},
    {"dakuten before C is one reading of two cells", "\"CA", {"う゛", "あ"}},
    {"handakuten", ",U", {"", "ぱ"}},
    {"handakuten wins over dakuten", "\",U", {"", "", "ぱ"}},
    {"handakuten falls back to the voiced form when both are pending", "\",*", {"", "", "が"}},
    {"handakuten alone before a kana without a semi-voiced form", ",*", {"", "か"}},
    {"voicing applies to one cell only", "\"**", {"", "が", "か"}},
    {"a space uses up a pending voicing", "\" *", {"", "", "か"}},
    // Two-cell readings.
    {"a contracted sound hides its second cell", "@KA", {"にゃ", "あ"}},
    {"an unlisted pair reads the prefix empty", "@A", {"", "あ"}},
    {"a prefix at the end of a row", "A@", {"あ", ""}},
    {"a prefix before LF", "^\n", {""}},
    {"vu with small hiragana", "_+_>", {"ヴゅ", "ヴょ"}},
    {"voiced foreign sounds", "4U4!", {"ヴぁ", "ヴぉ"}},
    {"a two-cell reading in number mode", "#A5U", {"", "１", "ふぁ"}},
    // Folding: the cell folds to upper case, the next cell does not.
    {"lower case reads as upper case", "k", {"な"}},
    {"a folded prefix", "`K", {"にゃ"}},
    {"a lower-case second cell matches no pair", "@k", {"", "な"}},
    {"a lower-case C after dakuten is not the two-cell reading", "\"c", {"", "う"}},
    // Bytes without a reading.
    {"control and high bytes read empty", "\x1A\xFF\x7F", {"", "", ""}},
};

TEST(KanaReading, ReadsEachRowOfTheTable) {
  for (const Case& c : kCases) {
    KanaReadingState state;
    EXPECT_EQ(ReadRow(state, c.row), c.readings) << c.why;
  }
}

TEST(KanaReading, OnlyTwoCharacterReadingsCoverTwoCells) {
  KanaReadingState state;
  EXPECT_EQ(ReadCellAsKana(state, '@', 'K'), (KanaReading{"にゃ", true}));
  EXPECT_EQ(ReadCellAsKana(state, '"', 'C'), (KanaReading{"う゛", true}));
  EXPECT_EQ(ReadCellAsKana(state, 'K', 'K'), (KanaReading{"な", false}));
  EXPECT_EQ(ReadCellAsKana(state, '4', ' '), (KanaReading{"。", false}));
}

TEST(KanaReading, CellsWithoutAReadingOfTheirOwn) {
  // With `A` after it no prefix pairs up, so only signs, prefixes and unknown bytes are empty.
  const std::string emptyCells = " #,\"-2678@^._54;";
  for (int byte = 0; byte < 256; ++byte) {
    KanaReadingState state;
    const int folded = byte >= 0x60 && byte < 0x80 ? byte - 0x20 : byte;
    const bool expectEmpty = folded < 0x21 || folded > 0x5F ||
                             emptyCells.find(static_cast<char>(folded)) != std::string::npos;
    EXPECT_EQ(ReadCellAsKana(state, static_cast<std::uint8_t>(byte), 'A').empty(), expectEmpty)
        << byte;
  }
}

TEST(KanaReading, VoicingSurvivesTheRowStartAndModesDoNot) {
  KanaReadingState state;
  EXPECT_EQ(ReadRow(state, "AB\""), (std::vector<std::string>{"あ", "い", ""}));
  EXPECT_EQ(ReadRow(state, "*"), (std::vector<std::string>{"が"}));
  EXPECT_EQ(ReadRow(state, "A,"), (std::vector<std::string>{"あ", ""}));
  EXPECT_EQ(ReadRow(state, "U"), (std::vector<std::string>{"ぱ"}));

  EXPECT_EQ(ReadRow(state, "#A"), (std::vector<std::string>{"", "１"}));
  EXPECT_EQ(ReadRow(state, "A"), (std::vector<std::string>{"あ"}));
  EXPECT_EQ(ReadRow(state, ";,,A"), (std::vector<std::string>{"", "", "", "Ａ"}));
  EXPECT_EQ(ReadRow(state, "A"), (std::vector<std::string>{"あ"}));
  EXPECT_EQ(ReadRow(state, ";,-"), (std::vector<std::string>{"", "", ""}));
  EXPECT_TRUE(state.SingleCapital);
  ResetRowReading(state);
  EXPECT_EQ(state, KanaReadingState{});
}

TEST(KanaReading, EarlyReturnsChangeOnlyTheirOwnMarks) {
  KanaReadingState state;
  state.NumberMode = true;
  state.HandakutenPending = true;
  KanaReadingState expected = state;
  EXPECT_EQ(ReadCellAsKana(state, '"', 'C').text, "う゛");
  EXPECT_EQ(state, expected);

  EXPECT_TRUE(ReadCellAsKana(state, '"', '*').empty());
  expected.DakutenPending = true;
  EXPECT_EQ(state, expected);

  EXPECT_TRUE(ReadCellAsKana(state, ';', 'A').empty());
  expected.AlphabetMode = true;
  expected.NumberMode = false;
  EXPECT_EQ(state, expected);

  EXPECT_TRUE(ReadCellAsKana(state, ',', ',').empty());
  expected.CapitalMode = true;
  EXPECT_EQ(state, expected);
}

}  // namespace
}  // namespace redadado
