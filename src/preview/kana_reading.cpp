#include "preview/kana_reading.h"

#include <array>
#include <cstddef>

namespace redadado {
namespace {

// A cell read on its own: its plain kana and, where it has them, its voiced form (after the
// dakuten prefix) and semi-voiced form (after the handakuten prefix). Letters are in this
// table too; in number and alphabet mode they read otherwise.
struct SingleCell {
  char cell;
  std::string_view plain;
  std::string_view voiced = {};
  std::string_view semiVoiced = {};
};

constexpr SingleCell kSingleCells[] = {
    {'!', "ほ", "ぼ", "ぽ"},
    {'$', "け", "げ"},
    {'%', "く", "ぐ"},
    {'&', "へ", "べ", "ぺ"},
    {'\'', "わ"},
    {'(', "み"},
    {')', "も"},
    {'*', "か", "が"},
    {'+', "ゆ"},
    {'/', "や"},
    {'0', "ん"},
    {'9', "を"},
    {':', "さ", "ざ"},
    {'<', "き", "ぎ"},
    {'=', "め"},
    {'>', "よ"},
    {'?', "す", "ず"},
    {'A', "あ"},
    {'B', "い"},
    {'C', "う"},
    {'D', "る"},
    {'E', "ら"},
    {'F', "え"},
    {'G', "れ"},
    {'H', "り"},
    {'I', "お"},
    {'J', "ろ"},
    {'K', "な"},
    {'L', "に"},
    {'M', "ぬ"},
    {'N', "つ", "づ"},
    {'O', "た", "だ"},
    {'P', "ね"},
    {'Q', "て", "で"},
    {'R', "ち", "ぢ"},
    {'S', "の"},
    {'T', "と", "ど"},
    {'U', "は", "ば", "ぱ"},
    {'V', "ひ", "び", "ぴ"},
    {'W', "そ", "ぞ"},
    {'X', "ふ", "ぶ", "ぷ"},
    {'Y', "む"},
    {'Z', "ま"},
    {'[', "こ", "ご"},
    {'\\', "し", "じ"},
    {']', "せ", "ぜ"},
};

// A prefix cell and the cell after it, read together. The dakuten prefix before `C` is here
// too, although it is looked up before any mark is touched.
struct TwoCells {
  char prefix;
  char next;
  std::string_view reading;
};

constexpr TwoCells kTwoCells[] = {
    {'@', '*', "きゃ"},  {'@', '%', "きゅ"}, {'@', '[', "きょ"}, {'@', '$', "きぇ"},
    {'@', ':', "しゃ"},  {'@', '?', "しゅ"}, {'@', 'W', "しょ"}, {'@', ']', "しぇ"},
    {'@', '\\', "すぃ"}, {'@', 'O', "ちゃ"}, {'@', 'N', "ちゅ"}, {'@', 'T', "ちょ"},
    {'@', 'Q', "ちぇ"},  {'@', 'R', "てぃ"}, {'@', 'K', "にゃ"}, {'@', 'M', "にゅ"},
    {'@', 'S', "にょ"},  {'@', 'P', "にぇ"}, {'@', 'U', "ひゃ"}, {'@', 'X', "ひゅ"},
    {'@', '!', "ひょ"},  {'@', '&', "ひぇ"}, {'@', 'Z', "みゃ"}, {'@', 'Y', "みゅ"},
    {'@', ')', "みょ"},  {'@', 'E', "りゃ"}, {'@', 'D', "りゅ"}, {'@', 'J', "りょ"},
    {'@', 'F', "いぇ"},  {'^', '*', "ぎゃ"}, {'^', '%', "ぎゅ"}, {'^', '[', "ぎょ"},
    {'^', ':', "じゃ"},  {'^', '?', "じゅ"}, {'^', 'W', "じょ"}, {'^', ']', "じぇ"},
    {'^', '\\', "ずぃ"}, {'^', 'O', "ぢゃ"}, {'^', 'N', "ぢゅ"}, {'^', 'T', "ぢょ"},
    {'^', 'R', "でぃ"},  {'^', 'U', "びゃ"}, {'^', 'X', "びゅ"}, {'^', '!', "びょ"},
    {'.', 'U', "ぴゃ"},  {'.', 'X', "ぴゅ"}, {'.', '!', "ぴょ"}, {'.', 'N', "てゅ"},
    {'.', '+', "ふゅ"},  {'.', '>', "ふょ"}, {'_', '+', "ヴゅ"}, {'_', '>', "ヴょ"},
    {'_', 'N', "でゅ"},  {'5', 'B', "うぃ"}, {'5', 'F', "うぇ"}, {'5', 'I', "うぉ"},
    {'5', '*', "くぁ"},  {'5', '<', "くぃ"}, {'5', '$', "くぇ"}, {'5', '[', "くぉ"},
    {'5', 'O', "つぁ"},  {'5', 'R', "つぃ"}, {'5', 'Q', "つぇ"}, {'5', 'T', "つぉ"},
    {'5', 'N', "とぅ"},  {'5', 'U', "ふぁ"}, {'5', 'V', "ふぃ"}, {'5', '&', "ふぇ"},
    {'5', '!', "ふぉ"},  {'4', '*', "ぐぁ"}, {'4', '$', "ぐぇ"}, {'4', 'N', "どぅ"},
    {'4', 'U', "ヴぁ"},  {'4', 'V', "ヴぃ"}, {'4', '&', "ヴぇ"}, {'4', '!', "ヴぉ"},
    {'"', 'C', "う゛"},
};

// Full-width characters, three UTF-8 bytes each: the digits `A`..`J` read in number mode,
// and the Latin letters of alphabet mode.
constexpr std::string_view kDigits = "１２３４５６７８９０";
constexpr std::string_view kCapitals = "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ";
constexpr std::string_view kSmallLetters = "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ";
constexpr std::size_t kFullWidthBytes = 3;

constexpr std::string_view Nth(std::string_view characters, int index) {
  return characters.substr(static_cast<std::size_t>(index) * kFullWidthBytes, kFullWidthBytes);
}

constexpr int CharacterCount(std::string_view utf8) {
  int count = 0;
  for (const char byte : utf8) count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
  return count;
}

constexpr bool SingleCellsAreOneCharacterEach() {
  for (const SingleCell& entry : kSingleCells) {
    if (CharacterCount(entry.plain) != 1) return false;
    if (!entry.voiced.empty() && CharacterCount(entry.voiced) != 1) return false;
    if (!entry.semiVoiced.empty() && CharacterCount(entry.semiVoiced) != 1) return false;
  }
  return true;
}
constexpr bool TwoCellsAreTwoCharactersEach() {
  for (const TwoCells& entry : kTwoCells) {
    if (CharacterCount(entry.reading) != 2) return false;
  }
  return true;
}
static_assert(SingleCellsAreOneCharacterEach());
static_assert(TwoCellsAreTwoCharactersEach());
static_assert(kDigits.size() == 10 * kFullWidthBytes);
static_assert(kCapitals.size() == 26 * kFullWidthBytes);
static_assert(kSmallLetters.size() == 26 * kFullWidthBytes);

// Cells 0x00..0x5F to their entry of kSingleCells (-1: none), so a lookup is one index.
constexpr auto kSingleCellIndex = [] {
  std::array<int, 0x60> index{};
  index.fill(-1);
  for (std::size_t i = 0; i < std::size(kSingleCells); ++i) {
    index[static_cast<unsigned char>(kSingleCells[i].cell)] = static_cast<int>(i);
  }
  return index;
}();

constexpr bool IsLetter(std::uint8_t cell) {
  return cell >= 'A' && cell <= 'Z';
}
constexpr bool IsDigitLetter(std::uint8_t cell) {
  return cell >= 'A' && cell <= 'J';
}
constexpr bool IsCellByte(std::uint8_t byte) {
  return byte >= 0x21 && byte <= 0x7F;
}

KanaReading TwoCellReading(std::uint8_t prefix, std::uint8_t next) {
  for (const TwoCells& entry : kTwoCells) {
    if (static_cast<std::uint8_t>(entry.prefix) == prefix &&
        static_cast<std::uint8_t>(entry.next) == next) {
      return {entry.reading, true};
    }
  }
  return {};
}

KanaReading KanaOf(const KanaReadingState& state, std::uint8_t cell) {
  if (cell >= kSingleCellIndex.size() || kSingleCellIndex[cell] < 0) return {};
  const SingleCell& entry = kSingleCells[kSingleCellIndex[cell]];
  if (state.HandakutenPending && !entry.semiVoiced.empty()) return {entry.semiVoiced};
  if (state.DakutenPending && !entry.voiced.empty()) return {entry.voiced};
  return {entry.plain};
}

KanaReading LetterReading(KanaReadingState& state, std::uint8_t cell) {
  const int letter = cell - 'A';
  if (state.NumberMode && IsDigitLetter(cell)) return {Nth(kDigits, letter)};
  if (state.CapitalMode) {
    if (state.SingleCapital) {
      state.SingleCapital = false;
      state.CapitalMode = false;
    }
    return {Nth(kCapitals, letter)};
  }
  if (state.AlphabetMode) return {Nth(kSmallLetters, letter)};
  return KanaOf(state, cell);
}

// The lookup of one folded cell, after the prefixes and signs have had their turn.
KanaReading Lookup(KanaReadingState& state, std::uint8_t cell, std::uint8_t next) {
  if (IsLetter(cell)) return LetterReading(state, cell);
  switch (cell) {
    case '1':
      if (state.NumberMode) return {"．"};
      if (next == ' ' || next == '1') return {};
      return {"っ"};
    case '3':
      if (state.NumberMode) return {};
      return {"ー"};
    case ';':
      return {"、"};
    case '4':
      if (state.AlphabetMode) return {"."};
      if (next == ' ') return {"。"};
      return TwoCellReading(cell, next);
    case '@':
    case '^':
    case '.':
    case '_':
    case '5':
      return TwoCellReading(cell, next);
    default:
      return KanaOf(state, cell);
  }
}

}  // namespace

KanaReading ReadCellAsKana(KanaReadingState& state, std::uint8_t cell, std::uint8_t next) {
  // Only the cell folds to upper case; the next cell is compared as it stands.
  if (cell >= 0x60 && cell <= 0x7F) cell -= 0x20;

  if (cell == '"') {
    if (const KanaReading voicedU = TwoCellReading(cell, next); !voicedU.empty()) return voicedU;
    state.DakutenPending = true;
    return {};
  }
  if (!state.AlphabetMode && cell == ',') {
    state.HandakutenPending = true;
    return {};
  }
  if (cell == ';' && IsCellByte(next)) {
    state.AlphabetMode = true;
    state.NumberMode = false;
    return {};
  }
  if (state.AlphabetMode && cell == ',') {
    if (!state.CapitalMode && next != ',') state.SingleCapital = true;
    state.CapitalMode = true;
    return {};
  }
  if (cell == '#') {
    state.NumberMode = true;
  } else if (state.NumberMode && !IsDigitLetter(cell) && cell != '1' && cell != '3') {
    state.NumberMode = false;
  }

  const KanaReading result = Lookup(state, cell, next);

  state.DakutenPending = false;
  state.HandakutenPending = false;
  // A `,` never gets this far: it is a prefix or a capital sign and has returned above.
  if (!IsLetter(cell) && cell != '4') {
    state.CapitalMode = false;
    state.AlphabetMode = false;
  }
  return result;
}

void ResetRowReading(KanaReadingState& state) {
  state.NumberMode = false;
  state.AlphabetMode = false;
  state.CapitalMode = false;
  state.SingleCapital = false;
}

}  // namespace redadado
