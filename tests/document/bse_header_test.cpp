#include "document/bse_header.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace redadado {
namespace {

using test::BseHeaderLine;
using test::TempDir;

// A header line whose bytes from offset 503 on are `tail`, followed by LF and a body line.
std::string HeaderWithTail(const std::string& tail, char filler = ' ') {
  return std::string(503, filler) + tail + "\r\n" + "ABC\r\n";
}

HeaderCheck Check(const TempDir& dir, const std::string& bytes, BrailleDocument& document) {
  document.path = dir.Write("doc.bse", bytes).string();
  return CheckBseHeader(document);
}

TEST(BseHeader, DigitsAreReadFromOffset503SkippingEverythingElse) {
  TempDir dir;
  BrailleDocument document;
  const HeaderCheck check = Check(dir, HeaderWithTail(" 0 0-1x2 3 A2\t2 2"), document);
  ASSERT_TRUE(check.accepted);
  EXPECT_EQ(check.pageCount, 12);
  EXPECT_EQ(check.linesPerPage, 22);
  EXPECT_EQ(document.pageCount, 12);
  EXPECT_EQ(document.linesPerPage, 22);
}

TEST(BseHeader, DigitsBeforeOffset503AreNeverCounted) {
  TempDir dir;
  BrailleDocument document;
  const HeaderCheck check = Check(dir, HeaderWithTail("00050018", '9'), document);
  ASSERT_TRUE(check.accepted);
  EXPECT_EQ(check.pageCount, 5);
  EXPECT_EQ(check.linesPerPage, 18);
}

TEST(BseHeader, ThousandsDigitIsIgnoredAndDigitsAfterTheEighthToo) {
  TempDir dir;
  BrailleDocument document;
  const HeaderCheck check = Check(dir, HeaderWithTail("1234001899"), document);
  ASSERT_TRUE(check.accepted);
  EXPECT_EQ(check.pageCount, 234);
}

TEST(BseHeader, DigitsAfterTheHeaderLineDoNotCount) {
  TempDir dir;
  BrailleDocument document;
  // Seven digits on the header line; the eighth would only come from the body.
  const HeaderCheck check = Check(dir, std::string(503, ' ') + "0001001\n8\n", document);
  EXPECT_FALSE(check.accepted);
  EXPECT_EQ(check.message, kUnsupportedLineCount);
}

TEST(BseHeader, EighteenLinesSelectDoubleSidedPrinting) {
  TempDir dir;
  BrailleDocument document;
  const HeaderCheck check = Check(dir, BseHeaderLine(7, 18), document);
  ASSERT_TRUE(check.accepted);
  EXPECT_EQ(check.linesText, "１８行（両面）");
  EXPECT_TRUE(check.sideLabelEnabled);
  EXPECT_EQ(check.side, SideMode::kFrontAndBack);
  EXPECT_EQ(check.pageCount, 7);
}

TEST(BseHeader, TwentyTwoLinesClearTheSideChoice) {
  TempDir dir;
  BrailleDocument document;
  const HeaderCheck check = Check(dir, BseHeaderLine(3, 22), document);
  ASSERT_TRUE(check.accepted);
  EXPECT_EQ(check.linesText, "２２行（片面）");
  EXPECT_FALSE(check.sideLabelEnabled);
  EXPECT_EQ(check.side, SideMode::kNone);
}

TEST(BseHeader, OtherLineCountsAreRefusedAndChangeNothing) {
  TempDir dir;
  for (int lines : {0, 17, 19, 21, 24, 99}) {
    BrailleDocument document;
    document.linesPerPage = 22;
    document.pageCount = 40;
    const HeaderCheck check = Check(dir, BseHeaderLine(5, lines), document);
    EXPECT_FALSE(check.accepted) << lines;
    EXPECT_EQ(check.message, "行数が不適切です。ＮＥＦでは扱えません。");
    EXPECT_EQ(document.linesPerPage, 22);
    EXPECT_EQ(document.pageCount, 40);
  }
}

TEST(BseHeader, ShortEmptyAndGarbageHeadersAreRefusedWithTheLinesMessage) {
  TempDir dir;
  const std::string cases[] = {
      "",
      "\n",
      std::string(502, ' ') + "00010018\n",  // starts one byte too early
      std::string(503, ' ') + "0001001",     // ends before the eighth digit
      std::string(2000, '\xFF'),
      std::string("\0\0\0\n", 4),
  };
  for (const std::string& bytes : cases) {
    BrailleDocument document;
    const HeaderCheck check = Check(dir, bytes, document);
    EXPECT_FALSE(check.accepted);
    EXPECT_EQ(check.message, kUnsupportedLineCount);
    EXPECT_NE(document.linesPerPage, 0);
  }
}

TEST(BseHeader, MissingFileOrDirectoryCannotBeOpened) {
  TempDir dir;
  BrailleDocument document;
  document.path = (dir / "absent.bse").string();
  EXPECT_EQ(CheckBseHeader(document).message, "ファイルがオープンできませんでした。");
  document.path = dir.path().string();
  EXPECT_EQ(CheckBseHeader(document).message, kCannotOpenFile);
}

TEST(BseHeader, ReadingStopsAfterTheHeaderLine) {
  TempDir dir;
  const auto file = dir.Write("doc.bse", BseHeaderLine(1, 18) + "BODY");
  std::FILE* f = std::fopen(file.string().c_str(), "rb");
  ASSERT_NE(f, nullptr);
  ASSERT_TRUE(ReadBseHeader(f).has_value());
  EXPECT_EQ(std::getc(f), 'B');
  std::fclose(f);
}

}  // namespace
}  // namespace redadado
