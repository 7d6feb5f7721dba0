#include "preview/row_table.h"

#include <gtest/gtest.h>

#include <string>

#include "preview/row_reading.h"
#include "support/temp_dir.h"

namespace redadado {
namespace {

using test::BseHeaderLine;
using test::TempDir;

// The row's bytes up to and including its terminating 0.
std::string RowText(const RowTable::Row& row) {
  const auto end = std::find(row.begin(), row.end(), 0);
  return std::string(row.begin(), end + 1);
}

std::string Lines(int first, int count) {
  std::string body;
  for (int n = first; n < first + count; ++n) body += "L" + std::to_string(n) + "\r\n";
  return body;
}

TEST(RowTable, CountsLinesIntoPagesAndDropsCr) {
  TempDir dir;
  const auto path = dir.Write("doc.bse", BseHeaderLine(3, 18) + Lines(0, 40)).string();
  const auto page2 = ReadPageRows(path, 18, 2);
  ASSERT_TRUE(page2);
  EXPECT_EQ(RowText(page2->rows[0]), std::string("L18\n\0", 5));
  EXPECT_EQ(RowText(page2->rows[17]), std::string("L35\n\0", 5));
  EXPECT_EQ(page2->rows[18][0], 0);

  const auto page3 = ReadPageRows(path, 18, 3);
  ASSERT_TRUE(page3);
  EXPECT_EQ(RowText(page3->rows[3]), std::string("L39\n\0", 5));
  // The body ends with its LF: no line follows it.
  EXPECT_EQ(page3->rows[4][0], 0);
}

TEST(RowTable, ALastLineWithoutLfEndsWithTheEndMarker) {
  TempDir dir;
  const auto path = dir.Write("doc.bse", BseHeaderLine(1, 22) + "AB\r\nCD").string();
  const auto page = ReadPageRows(path, 22, 1);
  ASSERT_TRUE(page);
  EXPECT_EQ(RowText(page->rows[0]), std::string("AB\n\0", 4));
  EXPECT_EQ(RowText(page->rows[1]), std::string("CD\x1A\0", 4));
  EXPECT_EQ(page->rows[2][0], 0);
}

TEST(RowTable, HeaderOnlyAndPagesPastTheBodyAreEmpty) {
  TempDir dir;
  const RowTable empty;
  for (const std::string& bytes : {BseHeaderLine(2, 18), std::string("no header end")}) {
    const auto path = dir.Write("doc.bse", bytes).string();
    EXPECT_EQ(ReadPageRows(path, 18, 1)->rows, empty.rows);
  }
  const auto path = dir.Write("doc.bse", BseHeaderLine(9, 18) + Lines(0, 3)).string();
  EXPECT_EQ(ReadPageRows(path, 18, 2)->rows, empty.rows);
  EXPECT_EQ(ReadPageRows(path, 18, 999)->rows, empty.rows);
  EXPECT_FALSE(ReadPageRows((dir / "absent.bse").string(), 18, 1));
  EXPECT_FALSE(ReadPageRows(dir.path().string(), 18, 1));
}

TEST(RowTable, LongLinesAndSurplusRowsAreCutWithinTheTable) {
  TempDir dir;
  const std::string longLine(60, 'K');
  // 30 lines per page: rows 26..29 have no place and are left out, yet still counted.
  std::string body = longLine + "\r\n" + Lines(1, 59);
  const auto path = dir.Write("doc.bse", BseHeaderLine(2, 30) + body).string();
  const auto pageView = ReadPageRows(path, 30, 1);
  ASSERT_TRUE(pageView);
  EXPECT_EQ(RowText(pageView->rows[0]), std::string(44, 'K') + std::string(1, '\0'));
  EXPECT_EQ(RowCellCount(pageView->rows[0]), 44);
  EXPECT_EQ(RowText(pageView->rows[1]), std::string("L1\n\0", 4));
  EXPECT_EQ(RowText(pageView->rows[25]), std::string("L25\n\0", 5));
  const auto page2 = ReadPageRows(path, 30, 2);
  ASSERT_TRUE(page2);
  EXPECT_EQ(RowText(page2->rows[0]), std::string("L30\n\0", 5));
}

TEST(RowTable, SequentialReadingGivesThePagesOfSingleReads) {
  TempDir dir;
  const auto path = dir.Write("doc.bse", BseHeaderLine(5, 22) + Lines(0, 70) + "END").string();
  auto reader = PageRowReader::Open(path, 22);
  ASSERT_TRUE(reader);
  for (int page = 1; page <= 5; ++page) {
    EXPECT_EQ(reader->NextPage().rows, ReadPageRows(path, 22, page)->rows) << page;
  }
  EXPECT_TRUE(reader->AtEnd());
}

TEST(RowTable, CellsOfARowEndAtLfOrZero) {
  RowTable::Row row{};
  const std::string bytes = "AB\x1A\n";
  std::copy(bytes.begin(), bytes.end(), row.begin());
  EXPECT_EQ(RowCellCount(row), 3);
  row.fill('A');
  EXPECT_EQ(RowCellCount(row), kRowBytes - 1);
}

TEST(RowTable, TheFirstLineOfEvenDoubleSidedPagesIsNotDrawn) {
  EXPECT_EQ(FirstDrawnRow(18, 1), 0);
  EXPECT_EQ(FirstDrawnRow(18, 2), 1);
  EXPECT_EQ(FirstDrawnRow(19, 4), 1);
  EXPECT_EQ(FirstDrawnRow(22, 2), 0);
}

TEST(RowReading, ATwoCellReadingHidesTheNextCell) {
  RowTable::Row row{};
  const std::string bytes = "@K#A A\n";
  std::copy(bytes.begin(), bytes.end(), row.begin());
  KanaReadingState state;
  state.NumberMode = true;  // a row start ends every mode
  std::string shown;
  ReadRowAsKana(state, row, [&](int column, std::uint8_t cell, const KanaReading& reading) {
    shown += std::to_string(column) + static_cast<char>(cell) + std::string(reading.text) + "|";
  });
  EXPECT_EQ(shown, "0@にゃ|2#|3A１|4 |5Aあ|");
}

}  // namespace
}  // namespace redadado
