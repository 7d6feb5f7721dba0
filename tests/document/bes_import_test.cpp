#include "document/bes_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "document/cell_codes.h"
#include "support/temp_dir.h"

namespace redadado {
namespace {

using test::ReadFile;
using test::TempDir;
using namespace std::string_literals;

// A BES file: 1025 header bytes with the three fields we read, then the given blocks.
std::string BesFile(const std::string& lines, const std::string& pages,
                    const std::vector<std::string>& blocks, std::string name = "NAME0001") {
  std::string bes(1025, '\0');
  bes.replace(10, 8, name);
  bes.replace(22, 4, lines);
  bes.replace(31, 4, pages);
  for (const std::string& data : blocks) {
    const std::size_t length = data.size() + 3;
    bes += static_cast<char>(length & 0xFF);
    bes += static_cast<char>(length >> 8);
    bes += '\x00';
    bes += data;
  }
  return bes;
}

struct Converted {
  std::optional<std::string> failure;
  std::string bse;
  BrailleDocument document;
};

Converted Convert(const TempDir& dir, const std::string& bes) {
  Converted result;
  const auto source = dir.Write("in.bes", bes);
  const auto target = dir / "BseForNEF.bse";
  result.failure = ConvertBesToBse(source.string(), target.string(), result.document);
  result.bse = ReadFile(target);
  return result;
}

std::string HeaderOf(const std::string& bse) {
  return bse.substr(0, 514);
}
std::string BodyOf(const std::string& bse) {
  return bse.substr(514);
}

TEST(BesByteToCell, CellsMapThroughTheBrailleAsciiTable) {
  for (int b = 0xA1; b <= 0xDF; ++b) {
    const std::uint8_t cell = BesByteToCell(static_cast<std::uint8_t>(b));
    EXPECT_EQ(CellDots(cell), b - 0xA0) << b;
  }
  EXPECT_EQ(BesByteToCell(0xA1), 'A');
  EXPECT_EQ(BesByteToCell(0xB0), '"');
  EXPECT_EQ(BesByteToCell(0xDF), '=');
  EXPECT_EQ(BesByteToCell(0xD3), '\\');
}

TEST(BesByteToCell, ControlsComeBackAndEverythingElseIsBlank) {
  EXPECT_EQ(BesByteToCell(0x0C), 0x0C);
  EXPECT_EQ(BesByteToCell(0x0D), 0x0D);
  EXPECT_EQ(BesByteToCell(0xFE), 0xFE);
  for (int b : {0x00, 0x0A, 0x20, 0x41, 0x9F, 0xA0, 0xE0, 0xFD, 0xFF}) {
    EXPECT_EQ(BesByteToCell(static_cast<std::uint8_t>(b)), ' ') << b;
  }
}

TEST(BesImport, HeaderCopiesTheNameAndRewritesTheDigits) {
  TempDir dir;
  const Converted c = Convert(dir, BesFile("3322", "41  ", {}));
  ASSERT_FALSE(c.failure);
  EXPECT_EQ(HeaderOf(c.bse), "NAME0001" + std::string(496, ' ') + "00423222\r\n");
  EXPECT_EQ(c.bse.size(), 514u);
  EXPECT_EQ(c.document.path, (dir / "BseForNEF.bse").string());
}

TEST(BesImport, PageCountDigitsStopAtSpaceOrNul) {
  TempDir dir;
  EXPECT_EQ(HeaderOf(Convert(dir, BesFile("1218", std::string("7\0\0\0", 4), {})).bse).substr(504),
            "00081118\r\n");
  EXPECT_EQ(HeaderOf(Convert(dir, BesFile("1218", "9999", {})).bse).substr(504, 4), "0000");
  EXPECT_EQ(HeaderOf(Convert(dir, BesFile("1218", "123 ", {})).bse).substr(504, 4), "0124");
}

TEST(BesImport, DamagedHeaderFieldsStillGiveEightDigits) {
  TempDir dir;
  // Non-digits count as 0, and a 0 at offset 23 stays 0 instead of becoming "-1".
  const Converted c = Convert(dir, BesFile("A0xy", "Z?!!", {}));
  ASSERT_FALSE(c.failure);
  EXPECT_EQ(HeaderOf(c.bse).substr(504), "00010000\r\n");
  BrailleDocument document = c.document;
  EXPECT_FALSE(CheckBseHeader(document).accepted);
}

TEST(BesImport, LineEndsAndBlankLines) {
  TempDir dir;
  const Converted c =
      Convert(dir, BesFile("1118", "0   ", {"\xA1\xA3\xFE\xFE\x0D\xA0\x00\xE0\xFE"s}));
  EXPECT_EQ(BodyOf(c.bse), "AB\r\n  \r\n   \r\n");
}

TEST(BesImport, PageEndFillsThePageWithBlankLines) {
  TempDir dir;
  const Converted c = Convert(dir, BesFile("3322", "0   ", {"\xA1\xFE\xFE\xFE\x0C\xA3"}));
  std::string expected = "A\r\n  \r\n  \r\n";
  for (int i = 0; i < 18; ++i) expected += "  \r\n";
  expected += "B";  // no line end after the last data byte
  EXPECT_EQ(BodyOf(c.bse), expected);
}

TEST(BesImport, LineEndCountRestartsWithEveryBlockButTheLineRunsOn) {
  TempDir dir;
  const Converted c = Convert(dir, BesFile("1118", "0   ", {"\xA1\xFE\xA2", "\xA3\x0C"}));
  // Block 2 saw no line end: the page end writes 17, the first one ending the line "1B".
  std::string expected = "A\r\n1B\r\n";
  for (int i = 0; i < 16; ++i) expected += "  \r\n";
  EXPECT_EQ(BodyOf(c.bse), expected);
}

TEST(BesImport, PageEndAfterAFullPageWritesNothing) {
  TempDir dir;
  std::string data;
  for (int i = 0; i < 18; ++i) data += "\xA1\xFE";
  data += "\x0C";
  const Converted c = Convert(dir, BesFile("1118", "0   ", {data}));
  EXPECT_EQ(BodyOf(c.bse).size(), 18u * 3u);
}

TEST(BesImport, BlockLengthsBelowThreeEndTheConversion) {
  TempDir dir;
  for (int length : {0, 1, 2}) {
    std::string bes = BesFile("1118", "0   ", {"\xA1\xFE"});
    bes += static_cast<char>(length);
    bes += '\0';
    bes += "\x00\xA3\xFE"s;
    const Converted c = Convert(dir, bes);
    EXPECT_FALSE(c.failure);
    EXPECT_EQ(BodyOf(c.bse), "A\r\n") << length;
  }
}

TEST(BesImport, LongBlocksAreConvertedWhole) {
  TempDir dir;
  std::string data;
  for (int i = 0; i < 3000; ++i) data += (i % 100 == 99) ? '\xFE' : '\xA1';
  const Converted c = Convert(dir, BesFile("1118", "0   ", {data, "\xA3"}));
  std::string expected;
  for (int i = 0; i < 30; ++i) expected += std::string(99, 'A') + "\r\n";
  expected += "B";
  EXPECT_EQ(BodyOf(c.bse), expected);
}

TEST(BesImport, TruncatedFilesConvertWhatIsComplete) {
  TempDir dir;
  const std::string full = BesFile("1118", "0   ", {"\xA1\xFE", "\xA3\xA3\xA3\xFE"});
  // Cut inside the second block's data, inside its length, and inside the header.
  EXPECT_EQ(BodyOf(Convert(dir, full.substr(0, full.size() - 2)).bse), "A\r\n");
  EXPECT_EQ(BodyOf(Convert(dir, full.substr(0, 1025 + 5 + 1)).bse), "A\r\n");
  const Converted shortHeader = Convert(dir, full.substr(0, 20));
  EXPECT_FALSE(shortHeader.failure);
  EXPECT_EQ(shortHeader.bse.size(), 514u);
  EXPECT_EQ(Convert(dir, "").bse.size(), 514u);
}

TEST(BesImport, HugeBlockLengthPastTheEndStops) {
  TempDir dir;
  std::string bes = BesFile("1118", "0   ", {"\xA1\xFE"});
  bes += "\xFF\xFF\x00\xA3\xA3"s;
  EXPECT_EQ(BodyOf(Convert(dir, bes).bse), "A\r\n");
}

TEST(BesImport, UnopenableSourceWritesNothing) {
  TempDir dir;
  BrailleDocument document;
  document.path = "previous.bse";
  const auto target = dir / "BseForNEF.bse";
  const auto failure = ConvertBesToBse((dir / "absent.bes").string(), target.string(), document);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->rfind(kCannotOpenFile, 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_EQ(document.path, "previous.bse");
}

TEST(BesImport, UncreatableTargetIsReported) {
  TempDir dir;
  BrailleDocument document;
  const auto source = dir.Write("in.bes", BesFile("1118", "0   ", {"\xA1\xFE"}));
  const auto target = dir / "missing-dir" / "BseForNEF.bse";
  const auto failure = ConvertBesToBse(source.string(), target.string(), document);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->rfind(kCannotCreateBse, 0), 0u);
  EXPECT_TRUE(document.path.empty());
}

}  // namespace
}  // namespace redadado
